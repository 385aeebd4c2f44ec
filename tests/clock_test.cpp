#include "input/clock.h"

#include <gtest/gtest.h>

#include "tests/fakes.h"

namespace qm {
namespace {

TEST(HiResSeconds, ReadsFrequencyThenCountEveryTime) {
    test::FakeCounter counter;
    counter.frequency = 4;
    counter.count = 22;
    CounterTimeSource clock(counter);
    EXPECT_EQ(clock.HiResSeconds(), 5.5);
    counter.frequency = 8;  // not kept between calls
    EXPECT_EQ(clock.HiResSeconds(), 2.75);
    EXPECT_EQ(counter.calls, (std::vector<std::string>{"frequency", "count", "frequency", "count"}));
}

TEST(RunClock, StartRoundsHalvesToEven) {
    RunClock run;
    test::ScriptedClock at100_5{100.5}, at101_5{101.5};
    run.Restart(at100_5);
    EXPECT_EQ(run.RunStartSeconds, 100);
    run.Restart(at101_5);
    EXPECT_EQ(run.RunStartSeconds, 102);
}

TEST(RunClock, TickRecomputesPassedSecondsFromTheStart) {
    RunClock run;
    test::ScriptedClock clock{100.4, 160.6, 162.5, 163.5};
    StatRecord current;
    run.Restart(clock);
    ASSERT_EQ(run.RunStartSeconds, 100);
    run.Tick(clock, current);
    EXPECT_EQ(current.PassedSeconds, 61);
    run.Tick(clock, current);
    EXPECT_EQ(current.PassedSeconds, 62);
    run.Tick(clock, current);
    EXPECT_EQ(current.PassedSeconds, 64);
}

TEST(RunClock, RestartAtResetCountsFromTheReset) {
    RunClock run;
    test::ScriptedClock clock{10.0, 500.2, 501.3};
    StatRecord current;
    run.Restart(clock);
    run.Restart(clock);
    EXPECT_EQ(run.RunStartSeconds, 500);
    run.Tick(clock, current);
    EXPECT_EQ(current.PassedSeconds, 1);
}

}  // namespace
}  // namespace qm

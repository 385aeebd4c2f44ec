#include "core/statistics.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/checked.h"
#include "tests/fakes.h"

namespace qm {
namespace {

TEST(Merge, MovesOnlyTheUnsavedPartAndNeverCountsTwice) {
    Statistics s;
    s.CommonStat.KeysPressed = 1000;
    s.CurrentStat.KeysPressed = 50;
    MergeStatistics(s);
    EXPECT_EQ(s.CommonStat.KeysPressed, 1050);
    EXPECT_EQ(s.SavedStat.KeysPressed, 50);

    s.CurrentStat.KeysPressed = 80;
    MergeStatistics(s);
    EXPECT_EQ(s.CommonStat.KeysPressed, 1080);
    EXPECT_EQ(s.SavedStat.KeysPressed, 80);

    s.CurrentStat.KeysPressed = 90;
    EXPECT_EQ(AllTime(s, &StatRecord::KeysPressed), 1090);

    // A second save with nothing counted in between adds nothing.
    s.CurrentStat.KeysPressed = 80;
    StatRecord before = s.CommonStat;
    MergeStatistics(s);
    EXPECT_EQ(s.CommonStat, before);
}

TEST(Merge, CoversEveryFieldIncludingTheHiddenOtherKeysTime) {
    Statistics s;
    s.CommonStat = {10, 20, 1.5, 30, 2.25, 40, 50, "03-14-2024"};
    s.CurrentStat = {1, 2, 0.5, 3, 0.25, 4, 5, "ignored"};
    MergeStatistics(s);
    StatRecord expected{11, 22, 2.0, 33, 2.5, 44, 55, "03-14-2024"};
    EXPECT_EQ(s.CommonStat, expected);
    EXPECT_EQ(s.SavedStat, s.CurrentStat);
}

TEST(Merge, IntermediateOverflowFailsAndChangesNothing) {
    Statistics s;
    s.CommonStat.MousePixels = 2000000000;
    s.CommonStat.KeysPressed = 7;
    s.CurrentStat.MousePixels = 200000000;
    s.CurrentStat.KeysPressed = 5;
    s.SavedStat.MousePixels = 150000000;
    Statistics before = s;
    // 2,050,000,000 would fit, but the sum 2,200,000,000 comes first.
    EXPECT_THROW(MergeStatistics(s), OverflowError);
    EXPECT_EQ(s.CommonStat, before.CommonStat);
    EXPECT_EQ(s.SavedStat, before.SavedStat);
    EXPECT_THROW(AllTime(s, &StatRecord::MousePixels), OverflowError);
}

TEST(ClearStatistics, ZeroesEveryNumberAndDatesToday) {
    test::FakeCalendar calendar;
    calendar.today = {2024, 3, 14};
    StatRecord r{1, 2, 3.0, 4, 5.0, 6, 7, "old"};
    ClearStatistics(r, calendar);
    StatRecord expected{0, 0, 0.0, 0, 0.0, 0, 0, "03-14-2024"};
    EXPECT_EQ(r, expected);
    EXPECT_FALSE(std::signbit(r.TypingTime));
}

}  // namespace
}  // namespace qm

#include "input/sampler.h"

#include <gtest/gtest.h>

#include <limits>

#include "core/checked.h"
#include "tests/fakes.h"

namespace qm {
namespace {

struct SamplerTest : ::testing::Test {
    test::ScriptedInput input;
    test::ScriptedClock clock;
    Statistics stats;
    SamplerState state;

    void SetUp() override {
        state.LastKeyTime = 10.0;
        state.LastCursorPos = {100, 100};
        state.HaveCursorPos = true;
        input.cursor = Point{100, 100};
    }
    // One tick with these codes pressed and the clock giving these readings.
    void Tick(std::vector<int> codes, std::initializer_list<double> readings = {}) {
        input.pressed = std::move(codes);
        clock.readings = readings;
        SamplerTick(state, stats, input, clock);
    }
    const StatRecord& cur() const { return stats.CurrentStat; }
};

TEST_F(SamplerTest, QuietTickChangesNothing) {
    Tick({});
    EXPECT_EQ(cur(), StatRecord{});
    EXPECT_EQ(clock.reads, 0);
    // Every code from 1 to 255 is queried once, in ascending order.
    ASSERT_EQ(input.queried.size(), 255u);
    for (int code = 1; code <= 255; ++code) EXPECT_EQ(input.queried[code - 1], code);
}

TEST_F(SamplerTest, MouseButtonsAreClicksAndLeaveTheBurstAlone) {
    Tick({1, 2});
    EXPECT_EQ(cur().MouseClicks, 2);
    EXPECT_EQ(cur().KeysPressed, 0);
    EXPECT_EQ(state.LastKeyTime, 10.0);
    EXPECT_EQ(clock.reads, 0);

    Tick({4, 5, 6}, {50.0});
    EXPECT_EQ(cur().MouseClicks, 2);
    EXPECT_EQ(cur().KeysPressed, 3);
}

TEST_F(SamplerTest, ClassesOfKeyCodes) {
    for (int c : {1, 2}) EXPECT_EQ(ClassOfKey(c), KeyClass::MouseButton);
    for (int c : {65, 90, 97, 122, 223, 255}) EXPECT_EQ(ClassOfKey(c), KeyClass::Letter) << c;
    for (int c : {3, 4, 5, 6, 16, 64, 91, 96, 123, 160, 222}) EXPECT_EQ(ClassOfKey(c), KeyClass::OtherKey) << c;
}

TEST_F(SamplerTest, LetterInsideABurstAddsItsInterval) {
    for (int code : {65, 97, 223}) {
        stats = {};
        state.LastKeyTime = 10.0;
        // First and second reading for the burst test, the third for the interval, a fourth for LastKeyTime.
        Tick({code}, {10.5, 10.51, 10.52, 10.53});
        EXPECT_EQ(cur().KeysPressed, 1) << code;
        EXPECT_EQ(cur().LettersTyped, 1) << code;
        EXPECT_NEAR(cur().TypingTime, 0.52, 1e-9) << code;
        EXPECT_EQ(cur().OtherKeysTime, 0.0) << code;
        EXPECT_EQ(state.LastKeyTime, 10.53) << code;
    }
}

TEST_F(SamplerTest, OtherKeyInsideABurstAddsToOtherKeysTime) {
    for (int code : {96, 222}) {
        stats = {};
        state.LastKeyTime = 10.0;
        Tick({code}, {10.5, 10.5, 10.5, 10.5});
        EXPECT_EQ(cur().KeysPressed, 1);
        EXPECT_EQ(cur().LettersTyped, 0);
        EXPECT_NEAR(cur().OtherKeysTime, 0.5, 1e-9);
        EXPECT_EQ(cur().TypingTime, 0.0);
    }
}

TEST_F(SamplerTest, BurstBoundsAreStrictAndUseSeparateReadings) {
    struct Case {
        double first, second;
        bool credited;
    } cases[] = {
        // Measured from LastKeyTime 0, so that the readings are the intervals exactly.
        {1.2, 1.2, false},    // exactly 1.2 s
        {1.3, 1.3, false},    // more
        {0.01, 0.01, false},  // exactly 0.01 s
        {0.005, 0.005, false},
        {1.19, 1.21, true},   // the first reading decides the upper bound ...
        {0.009, 0.02, true},  // ... and the second the lower one
    };
    for (const Case& c : cases) {
        stats = {};
        state.LastKeyTime = 0.0;
        if (c.credited)
            Tick({65}, {c.first, c.second, c.second, c.second});
        else
            Tick({65}, {c.first, c.second, 99.0});
        EXPECT_EQ(cur().KeysPressed, 1);
        EXPECT_EQ(cur().LettersTyped, c.credited ? 1 : 0) << c.first << " " << c.second;
        EXPECT_EQ(state.LastKeyTime, c.credited ? c.second : 99.0);
    }
}

TEST_F(SamplerTest, SameTickPressesAfterTheFirstAreTooCloseToCredit) {
    state.LastKeyTime = 10.0;
    // 16 (Shift) then 65 (A), the clock moving less than 0.01 s during the scan.
    Tick({16, 65}, {10.3, 10.3, 10.3, 10.3, 10.302, 10.303, 10.304});
    EXPECT_EQ(cur().KeysPressed, 2);
    EXPECT_NEAR(cur().OtherKeysTime, 0.3, 1e-9);
    EXPECT_EQ(cur().LettersTyped, 0);
    EXPECT_EQ(cur().TypingTime, 0.0);
    EXPECT_EQ(state.LastKeyTime, 10.304);
}

TEST_F(SamplerTest, FirstPressOfARunIsNotCredited) {
    state = {};
    input.cursor = Point{0, 0};
    Tick({65}, {5000.0});
    EXPECT_EQ(cur().KeysPressed, 1);
    EXPECT_EQ(cur().LettersTyped, 0);
    EXPECT_EQ(state.LastKeyTime, 5000.0);
}

TEST_F(SamplerTest, CursorTravelIsTheStraightLineRoundedEachTick) {
    input.cursor = Point{103, 104};
    Tick({});
    EXPECT_EQ(cur().MousePixels, 5);
    Tick({});  // unmoved
    EXPECT_EQ(cur().MousePixels, 5);

    stats = {};
    state.LastCursorPos = {0, 0};
    input.cursor = Point{1, 1};
    Tick({});
    EXPECT_EQ(cur().MousePixels, 1);  // 1.414 rounds to 1 ...
    input.cursor = Point{2, 2};
    Tick({});
    EXPECT_EQ(cur().MousePixels, 2);  // ... and the 0.414 is not carried over

    // Monitors left of or above the primary one have negative coordinates.
    input.cursor = Point{-4, -6};
    Tick({});
    EXPECT_EQ(cur().MousePixels, 12);
}

TEST_F(SamplerTest, FirstCursorReadingOfARunIsNoTravel) {
    state = {};
    input.cursor = Point{300, 400};
    Tick({});
    EXPECT_EQ(cur().MousePixels, 0);
    EXPECT_EQ(state.LastCursorPos, (Point{300, 400}));
    input.cursor = Point{303, 404};
    Tick({});
    EXPECT_EQ(cur().MousePixels, 5);
}

TEST_F(SamplerTest, FailedCursorReadingAddsNothingAndKeepsThePosition) {
    input.cursor = Point{300, 400};
    Tick({});
    int32_t before = cur().MousePixels;
    input.cursor = std::nullopt;  // locked workstation
    Tick({});
    EXPECT_EQ(cur().MousePixels, before);
    EXPECT_EQ(state.LastCursorPos, (Point{300, 400}));
    input.cursor = Point{300, 400};
    Tick({});
    EXPECT_EQ(cur().MousePixels, before);
}

TEST_F(SamplerTest, CounterAtItsLimitStaysThereWhileOthersCount) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    stats.CurrentStat.KeysPressed = kMax;
    input.cursor = Point{103, 104};
    input.pressed = {1, 65};
    clock.readings = {50.0};
    EXPECT_THROW(SamplerTick(state, stats, input, clock), OverflowError);
    EXPECT_EQ(cur().KeysPressed, kMax);
    EXPECT_EQ(cur().MouseClicks, 1);
    EXPECT_EQ(cur().MousePixels, 5);
}

}  // namespace
}  // namespace qm

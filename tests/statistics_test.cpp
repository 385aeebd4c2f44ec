#include "core/statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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

TEST(Merge, IsComputedWideSoOnlyTheFinalValueMeetsTheRange) {
    Statistics s;
    s.CommonStat.MousePixels = 2000000000;
    s.CurrentStat.MousePixels = 200000000;
    s.SavedStat.MousePixels = 150000000;
    // The sum 2,200,000,000 passes 32 bits on the way; the merged value does not.
    EXPECT_EQ(AllTime(s, &StatRecord::MousePixels), 2050000000);
    EXPECT_TRUE(MergeStatistics(s).empty());
    EXPECT_EQ(s.CommonStat.MousePixels, 2050000000);
}

TEST(Merge, AFigureAtTheLimitStaysThereWhileTheOthersMerge) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    Statistics s;
    s.CommonStat = {2147483000, 100, 1.5, 10, 2.0, 20, 30, "03-14-2024"};
    s.CurrentStat = {1000, 7, 0.5, 2, 0.25, 3, 60, ""};
    s.CommonStat.MouseClicks = kMin + 2;
    s.CurrentStat.MouseClicks = -5;
    EXPECT_EQ(AllTime(s, &StatRecord::MousePixels), kMax);  // the screen shows what the save keeps

    std::vector<CappedField> capped = MergeStatistics(s);
    StatRecord expected{kMax, 107, 2.0, 12, 2.25, kMin, 90, "03-14-2024"};
    EXPECT_EQ(s.CommonStat, expected);
    EXPECT_EQ(s.SavedStat, s.CurrentStat);
    ASSERT_EQ(capped.size(), 2u);
    EXPECT_EQ(capped[0].field, StatField::MousePixels);
    EXPECT_TRUE(capped[0].atMaximum);
    EXPECT_FALSE(capped[0].wasAlreadyThere);
    EXPECT_EQ(capped[1].field, StatField::MouseClicks);
    EXPECT_FALSE(capped[1].atMaximum);

    // More counted later: the figure stays, and the save knows it was there already.
    s.CurrentStat.MousePixels = 5000;
    s.CurrentStat.KeysPressed = 9;
    capped = MergeStatistics(s);
    EXPECT_EQ(s.CommonStat.MousePixels, kMax);
    EXPECT_EQ(s.CommonStat.KeysPressed, 109);
    ASSERT_EQ(capped.size(), 1u);
    EXPECT_TRUE(capped[0].wasAlreadyThere);
}

TEST(Merge, NonFiniteSecondsFailAndChangeNothing) {
    Statistics s;
    s.CommonStat.TypingTime = 1.7976931348623157e308;
    s.CurrentStat.TypingTime = 1.7976931348623157e308;
    s.CurrentStat.KeysPressed = 5;
    Statistics before = s;
    EXPECT_THROW(MergeStatistics(s), FloatError);
    EXPECT_EQ(s.CommonStat, before.CommonStat);
    EXPECT_EQ(s.SavedStat, before.SavedStat);
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

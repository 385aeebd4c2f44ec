#include "core/display.h"

#include <gtest/gtest.h>

#include "core/checked.h"
#include "tests/fakes.h"

namespace qm {
namespace {

using L = ValueLabel;

TEST(DisplayTexts, FormatDurationExamples) {
    EXPECT_EQ(FormatDuration(0), "00:00:00");
    EXPECT_EQ(FormatDuration(59), "00:00:59");
    EXPECT_EQ(FormatDuration(3661), "01:01:01");
    EXPECT_EQ(FormatDuration(86399), "23:59:59");
    EXPECT_EQ(FormatDuration(86400), "24:00:00");
    EXPECT_EQ(FormatDuration(360000), "100:00:00");
    EXPECT_EQ(FormatDuration(2147483647), "596523:14:07");
    // Negative: hours and minutes round down, seconds keep the sign.
    EXPECT_EQ(FormatDuration(-1), "-1:-1:-1");
}

TEST(DisplayTexts, PadTwoDigitsAndNonZero) {
    EXPECT_EQ(PadTwoDigits(""), "0");
    EXPECT_EQ(PadTwoDigits("7"), "07");
    EXPECT_EQ(PadTwoDigits("12"), "12");
    EXPECT_EQ(PadTwoDigits("123"), "123");
    EXPECT_EQ(NonZero(0), 1);
    EXPECT_EQ(NonZero(-0.0), 1);
    EXPECT_EQ(NonZero(2.5), 2.5);
}

TEST(DisplayTexts, SpeedIsLettersTimes66OverTimeRoundedDown) {
    EXPECT_EQ(SpeedText(9876, 1543.2), "422");
    EXPECT_EQ(SpeedText(5, 0), "330");
    EXPECT_EQ(SpeedText(0, 0), "0");
    EXPECT_EQ(SpeedText(1, 100), "0");
    EXPECT_EQ(SpeedText(-1, 100), "-1");
    EXPECT_EQ(SpeedText(32537631, 1), "2147483646");
    // Years of typing pass 32 bits in the product, never in the text.
    EXPECT_EQ(SpeedText(32537632, 1e9), "2");
    EXPECT_EQ(SpeedText(40000000, 1000000), "2640");
    EXPECT_EQ(SpeedText(2147483647, 1), "141733920702");
}

TEST(DisplayTexts, MetersFollowTheRegionalFormat) {
    test::FakeNumberFormat us(".", ","), german(",", ".");
    EXPECT_EQ(MetersText(4521873, us), "1,291.96");
    EXPECT_EQ(MetersText(1750, us), "0.50");
    EXPECT_EQ(MetersText(0, us), "0.00");
    EXPECT_EQ(MetersText(4521873, german), "1.291,96");
}

struct DisplayTest : ::testing::Test {
    test::RecordingLabels labels;
    test::FakeNumberFormat format;
    Display display{labels, format};
    Statistics stats;
};

TEST_F(DisplayTest, AllZeroShowsZerosInTheStatedOrder) {
    display.RefreshDisplay(stats);
    std::vector<L> order{L::KeybrdPushed0, L::MouseClicks0, L::MousePixels0, L::MouseMeters0,
                         L::KeybrdSpeed0,  L::KeybrdPushed1, L::MouseClicks1, L::MousePixels1,
                         L::MouseMeters1,  L::KeybrdSpeed1,  L::AllTime,     L::CurTime};
    EXPECT_EQ(labels.writes, order);
    for (L l : {L::KeybrdPushed0, L::MouseClicks0, L::MousePixels0, L::KeybrdSpeed0, L::KeybrdPushed1,
                L::MouseClicks1, L::MousePixels1, L::KeybrdSpeed1})
        EXPECT_EQ(labels.text[l], "0");
    EXPECT_EQ(labels.text[L::MouseMeters0], "0.00");
    EXPECT_EQ(labels.text[L::MouseMeters1], "0.00");
    EXPECT_EQ(labels.text[L::AllTime], "00:00:00");
    EXPECT_EQ(labels.text[L::CurTime], "00:00:00");
}

TEST_F(DisplayTest, AllTimeColumnIsCommonPlusCurrentMinusSaved) {
    stats.CommonStat = {4000000, 100, 0, 9000, 1500.0, 30, 86000, "03-14-2024"};
    stats.CurrentStat = {521873, 40, 0, 900, 50.0, 7, 400, ""};
    stats.SavedStat = {0, 10, 0, 24, 6.8, 2, 0, ""};
    display.RefreshDisplay(stats);
    EXPECT_EQ(labels.text[L::MousePixels1], "4521873");
    EXPECT_EQ(labels.text[L::MouseMeters1], "1,291.96");
    EXPECT_EQ(labels.text[L::KeybrdPushed1], "130");
    EXPECT_EQ(labels.text[L::MouseClicks1], "35");
    EXPECT_EQ(labels.text[L::KeybrdSpeed1], "422");  // 9876 letters in 1543.2 s
    EXPECT_EQ(labels.text[L::AllTime], "24:00:00");
    EXPECT_EQ(labels.text[L::CurTime], "00:06:40");
    EXPECT_EQ(labels.text[L::KeybrdSpeed0], "1188");  // 900 * 66 / 50
}

TEST_F(DisplayTest, UnchangedTextsAreNotRewritten) {
    display.RefreshDisplay(stats);
    labels.writes.clear();
    int formats = format.calls;
    display.RefreshDisplay(stats);
    EXPECT_TRUE(labels.writes.empty());
    EXPECT_EQ(format.calls, formats);  // no regional formatting for unchanged meters

    stats.CurrentStat.KeysPressed = 1;
    display.RefreshDisplay(stats);
    EXPECT_EQ(labels.writes, (std::vector<L>{L::KeybrdPushed0, L::KeybrdPushed1}));

    display.Invalidate();
    labels.writes.clear();
    display.RefreshDisplay(stats);
    EXPECT_EQ(labels.writes.size(), 12u);
}

TEST_F(DisplayTest, AllTimeFigureAtTheLimitShowsTheLimitWhileTheRestRefresh) {
    stats.CommonStat.MousePixels = 2147483000;
    stats.CurrentStat.MousePixels = 1000;
    stats.CurrentStat.KeysPressed = 3;
    stats.CurrentStat.PassedSeconds = 61;
    display.RefreshDisplay(stats);
    EXPECT_EQ(labels.text[L::MousePixels1], "2147483647");
    EXPECT_EQ(labels.text[L::MouseMeters1], "613,566.76");
    EXPECT_EQ(labels.text[L::MousePixels0], "1000");
    EXPECT_EQ(labels.text[L::KeybrdPushed1], "3");
    EXPECT_EQ(labels.text[L::CurTime], "00:01:01");
    EXPECT_EQ(labels.writes.size(), 12u);
}

}  // namespace
}  // namespace qm

// The Programs tab: the ranking and the bar of the rest, its texts, and the
// tab over month files and what they are still owed.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/fakes.h"
#include "ui/programs_view.h"

namespace qm::ui {
namespace {

DayFigures Figures(int64_t keys, int64_t clicks = 0, int64_t letters = 0, double typing = 0) {
    return {keys, clicks, 0, letters, typing};
}

TEST(ProgramsChart, FifteenBarsByRankThenOneSummingTheRestAndCopyListsEveryProgram) {
    const test::FakeNumberFormat numbers;
    std::vector<ProgramTotal> totals;
    for (int i = 0; i < 19; ++i)  // p00 the most; p17 and p18 alike, by name
        totals.push_back({"p" + std::to_string(100 + i).substr(1) + ".exe", "P", Figures(i < 18 ? 100 - i : 83, 1)});
    totals.push_back({"idle.exe", "Idle", Figures(0, 5)});  // no keys: listed, not drawn
    std::reverse(totals.begin(), totals.end());
    const ProgramsChart chart = BuildProgramsChart(totals, ProgramsFigure::Keys, KeysPeriod::AllTime);
    ASSERT_EQ(chart.bars.size(), kProgramBars + 1);
    EXPECT_DOUBLE_EQ(chart.bars[14].fraction, 86.0 / 335);  // of the largest bar, the rest's
    const ProgramBar& other = chart.bars.back();
    EXPECT_TRUE(other.other);
    EXPECT_EQ(other.programs, 4);  // idle.exe is none of them
    EXPECT_EQ(other.figures.KeysPressed, 85 + 84 + 83 + 83);
    int64_t drawn = 0;  // every key of the period is in a bar
    for (const ProgramBar& bar : chart.bars) drawn += bar.figures.KeysPressed;
    EXPECT_EQ(drawn, chart.sums.KeysPressed);
    EXPECT_EQ(chart.ranked[17].program, "p17.exe");
    const std::string copied = ProgramsClipboardText(chart);
    EXPECT_EQ(std::count(copied.begin(), copied.end(), '\n'), 21);
    EXPECT_NE(copied.find("\r\np18.exe\tP\t83\t1\t0\t0\t0\t0\t0\r\nidle.exe\tIdle\t0\t5\t"), std::string::npos);

    // The rest's speed is its letters over its typing time, not the mean of speeds.
    totals.clear();
    for (int i = 0; i < 15; ++i) totals.push_back({"f" + std::to_string(10 + i) + ".exe", "F", Figures(1, 0, 6000, 60)});
    totals.push_back({"a.exe", "A", Figures(1, 0, 600, 60)});  // 660 a minute
    totals.push_back({"b.exe", "B", Figures(1, 0, 10, 600)});  // 1 a minute
    const ProgramsChart speeds = BuildProgramsChart(totals, ProgramsFigure::TypingSpeed, KeysPeriod::Today);
    EXPECT_EQ(speeds.bars.back().value, 61);
    EXPECT_EQ(ProgramsDetailText(speeds, 15, numbers).rfind("Other programs (2 programs): 2 keys", 0), 0u);
}

TEST(ProgramsChart, TextsOfABarOfTheRestAndOfThePeriod) {
    DayFigures f = Figures(1234, 56, 900, 330);
    f.MousePixels = 11235;
    f.PassedSeconds = 3723000;
    const ProgramsChart chart =
        BuildProgramsChart({{"notepad.exe", "Notepad", f}, {"calc.exe", "calc.exe", Figures(1)}},
                           ProgramsFigure::Meters, KeysPeriod::LastSevenDays);
    const test::FakeNumberFormat numbers;
    EXPECT_EQ(ProgramsBarText(chart, 0, numbers), "3.21");
    EXPECT_EQ(ProgramsDetailText(chart, 0, numbers),
              "Notepad (notepad.exe): 1,234 keys, 56 clicks, 3.21 m, 900 letters, 180 letters a minute, active 1:02:03");
    EXPECT_EQ(ProgramsDetailText(chart, -1, numbers),
              "Last 7 days: 2 programs, 3.21 m; the most: Notepad (notepad.exe) with 3.21 m");
    EXPECT_NE(ProgramsClipboardText(chart).find("\r\nnotepad.exe\tNotepad\t1234\t56\t11235\t900\t330\t0\t3723\r\n"),
              std::string::npos);
    for (const auto& [seconds, text] : {std::pair{45.9, "45 s"}, {754.0, "12 min"}, {360000.0, "100:00:00"}})
        EXPECT_EQ(ActiveTimeText(seconds), text);
    EXPECT_EQ(ProgramsDetailText(BuildProgramsChart({}, ProgramsFigure::Keys, KeysPeriod::Today), -1, numbers),
              kNoProgramsText);
}

struct FakeProgramsPort : ProgramsViewPort {
    int redraws = 0;
    bool clipboardFree = true;
    std::string detail, clipboard, told;
    void RedrawPrograms() override { ++redraws; }
    void SetProgramsDetailText(const std::string& text) override { detail = text; }
    void SelectProgramsPeriod(int) override {}
    void SelectProgramsFigure(int) override {}
    bool SetClipboardText(const std::string& text) override { return clipboardFree && (clipboard = text, true); }
    void Tell(const std::string& text) override { told += text; }
};

struct ProgramsViewTest : ::testing::Test, test::FakePlatform {
    AppState app;
    test::FakeDateFormat dates;
    FakeProgramsPort port;
    ProgramsView view{{app, platform.folder, calendar, numbers, dates}, port};
    const std::string december = "C:\\Q\\history\\2026-12-programs.csv", march = "C:\\Q\\history\\2025-03-programs.csv";

    ProgramsViewTest() {
        files.files[december] = ProgramsText({{"2026-12-01", "notepad.exe", "Old name", Figures(5, 1)},
                                              {"2026-12-07", "notepad.exe", "Notepad", Figures(2, 3)},
                                              {"2026-12-07", "word.exe", "Word", Figures(1, 9)}});
        files.files[march] = ProgramsText({{"2025-03-02", "word.exe", "Word", Figures(9)}});
        app.history.unwritten[{"2026-12-07", kWholeDay, 0, "notepad.exe", "Notepad"}] = Figures(3);
        app.history.unwritten[{"2026-12-06", kWholeDay, 0, "paint.exe", "Paint"}] = Figures(4);
    }
    using Keys_ = std::vector<std::pair<std::string, int64_t>>;
    Keys_ Keys() const {
        Keys_ keys;
        for (const ProgramTotal& p : view.Chart().ranked) keys.push_back({p.name, p.figures.KeysPressed});
        return keys;
    }
};

TEST_F(ProgramsViewTest, ThePeriodSumsFileRowsAndOwedRowsOfItsDaysAndFollowsOnlyNews) {
    view.Form_Load();  // All time
    EXPECT_EQ(Keys(), (Keys_{{"Notepad", 10}, {"Word", 10}, {"Paint", 4}}));
    const size_t reads = files.readWhole.size();
    const int redraws = port.redraws;
    view.tmrFollow_Timer();
    EXPECT_EQ(files.readWhole.size(), reads);
    EXPECT_EQ(port.redraws, redraws);

    view.cboProgramsPeriod_Click(static_cast<int>(KeysPeriod::Today));
    EXPECT_EQ(Keys(), (Keys_{{"Notepad", 5}, {"Word", 1}}));
    view.cboProgramsPeriod_Click(static_cast<int>(KeysPeriod::LastTwelveMonths));
    EXPECT_EQ(Keys(), (Keys_{{"Notepad", 10}, {"Paint", 4}, {"Word", 1}}));

    view.cboProgramsPeriod_Click(static_cast<int>(KeysPeriod::AllTime));
    files.files[march] = "date;program\r\n";
    files.written[march] = ++files.writeClock;
    view.tmrFollow_Timer();
    EXPECT_NE(view.Notice().find("2025-03-programs.csv is damaged"), std::string::npos) << view.Notice();
    EXPECT_EQ(port.detail.rfind(view.Notice(), 0), 0u) << port.detail;
    EXPECT_EQ(Keys(), (Keys_{{"Notepad", 10}, {"Paint", 4}, {"Word", 1}}));
}

TEST_F(ProgramsViewTest, ArrowsWalkTheBarsThePointedProgramStaysAndCopySaysWhenTheClipboardIsHeld) {
    view.Form_Load();
    view.ChartKeyDown(ChartKey::Down);  // from none: the first
    EXPECT_EQ(port.detail.rfind("Notepad (notepad.exe): 10 keys", 0), 0u) << port.detail;
    view.ChartKeyDown(ChartKey::Right);
    view.ChartKeyDown(ChartKey::Down);
    view.ChartKeyDown(ChartKey::Down);  // stops at the last
    EXPECT_EQ(view.PointedBar(), 2);
    view.ChartKeyDown(ChartKey::Home);
    view.ChartKeyDown(ChartKey::End);
    view.ChartKeyDown(ChartKey::Left);
    EXPECT_EQ(view.PointedBar(), 1);
    view.ChartKeyDown(ChartKey::Up);
    view.cboProgramsFigure_Click(static_cast<int>(ProgramsFigure::Clicks));  // Word first now
    EXPECT_EQ(view.Chart().bars.at(view.PointedBar()).program, "notepad.exe");

    view.cmdProgramsCopy_Click();
    EXPECT_EQ(port.clipboard, ProgramsClipboardText(view.Chart()));
    port.clipboardFree = false;
    view.cmdProgramsCopy_Click();
    EXPECT_NE(port.told.find("clipboard"), std::string::npos);
}

}  // namespace
}  // namespace qm::ui

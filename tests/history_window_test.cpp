// The History window's behaviour through a fake window: what it reads, what
// it says about a missing, damaged or held history.csv, how it follows the
// run, and its commands. It never writes a file.
#include <gtest/gtest.h>

#include "core/atomic_file.h"
#include "tests/fakes.h"
#include "ui/chart_text.h"
#include "ui/history_window.h"

namespace qm::ui {
namespace {

struct FakeHistoryView : HistoryWindowView {
    int redraws = 0;
    std::vector<std::string> details;
    std::pair<int, int> choices{-1, -1};
    bool clipboardFree = true;
    std::string clipboard;
    std::vector<std::string> opened, told;

    void RedrawChart() override { ++redraws; }
    void SetDetailText(const std::string& text) override { details.push_back(text); }
    void SelectChoices(int figure, int period) override { choices = {figure, period}; }
    bool SetClipboardText(const std::string& text) override {
        if (clipboardFree) clipboard = text;
        return clipboardFree;
    }
    void ShellOpen(const std::string& path) override { opened.push_back(path); }
    void Tell(const std::string& text) override { told.push_back(text); }
    int tab = 0;
    void ShowTab(int t) override { tab = t; }
    std::string hoursDetail;
    void RedrawHoursChart() override {}
    void SetHoursDetailText(const std::string& text) override { hoursDetail = text; }
    void SelectHoursChoices(int, int) override {}
    std::string keysDetail;
    void RedrawKeys() override {}
    void SetKeysDetailText(const std::string& text) override { keysDetail = text; }
    void SelectKeysPeriod(int) override {}
    std::string programsDetail;
    void RedrawPrograms() override {}
    void SetProgramsDetailText(const std::string& text) override { programsDetail = text; }
    void SelectProgramsPeriod(int) override {}
    void SelectProgramsFigure(int) override {}
    void RedrawScreen() override {}
    void SetScreenDetailText(const std::string&) override {}
    void SelectScreenWhat(int) override {}
    void SetScreenPeriods(const std::vector<std::string>&, int) override {}
    std::string AskPictureFile(const std::string&) override { return ""; }
    std::string SavePicture(const std::string&, const ScreenPicture&) override { return ""; }
    bool SetClipboardPicture(const ScreenPicture&, PictureSize) override { return true; }
};

struct HistoryWindowTest : ::testing::Test, test::FakePlatform {
    AppState app;
    test::FakeDateFormat dates;
    FakeHistoryView view;
    HistoryWindow window{{app, platform.folder, calendar, numbers, dates}, view};
    const std::string path = "C:\\Q\\history.csv";

    void SetUp() override { calendar.today = {2026, 12, 7}; }
    void WriteHistory(const std::vector<HistoryRow>& rows) { files.files[path] = HistoryText(rows); }
    const ChartBar& Today() const { return window.Chart().bars.back(); }
    std::string Detail() const { return view.details.empty() ? "" : view.details.back(); }
};

DayFigures Keys(int64_t n) {
    DayFigures f;
    f.KeysPressed = n;
    return f;
}

TEST_F(HistoryWindowTest, OpensOnKeysOfTheLastThirtyDaysWithTheRunsUnsavedFiguresInToday) {
    WriteHistory({{"2026-11-20", Keys(500)}, {"2026-12-07", Keys(100)}});
    app.stats.CurrentStat.KeysPressed = 40;  // counted since the last save
    app.stats.SavedStat.KeysPressed = 10;
    window.Form_Load();
    EXPECT_EQ(view.choices, std::make_pair(0, 0));
    ASSERT_EQ(window.Chart().bars.size(), 30u);
    EXPECT_EQ(Today().sums.KeysPressed, 130);
    EXPECT_TRUE(window.Notice().empty());
    EXPECT_NE(Detail().find("630"), std::string::npos) << Detail();

    // Typing goes on: within a second today's bar agrees with the main window.
    app.stats.CurrentStat.KeysPressed = 45;
    window.tmrFollow_Timer();
    EXPECT_EQ(Today().sums.KeysPressed, 135);
}

TEST_F(HistoryWindowTest, DaysStillOwedToTheFileAreShownWhereTheyBelong) {
    // A spreadsheet held history.csv at the last saves: those days wait in memory.
    WriteHistory({{"2026-12-01", Keys(10)}});
    FileBacklog& owing = app.history.files[kHistoryFile];
    owing.owed[{"2026-12-01"}] = Keys(5);
    owing.owed[{"2026-12-06"}] = Keys(7);
    app.history.unwritten[{"2026-12-07", 9}] = Keys(3);
    // Owed unless history.csv is a certain file: this one, and another.
    owing.owedUnless = {{ContentHash(files.files[path]), {{{"2026-12-02"}, Keys(100)}}},
                        {ContentHash("another"), {{{"2026-12-03"}, Keys(9)}}}};
    window.Form_Load();
    const auto& bars = window.Chart().bars;
    EXPECT_EQ(bars[23].sums.KeysPressed, 15);  // 1 December
    EXPECT_EQ(bars[24].sums.KeysPressed, 0);
    EXPECT_EQ(bars[25].sums.KeysPressed, 9);
    EXPECT_EQ(bars[28].sums.KeysPressed, 7);
    EXPECT_EQ(bars[29].sums.KeysPressed, 3);
}

TEST_F(HistoryWindowTest, FollowsOnlyWhatChangedAndReadsTheFileOnlyWhenASaveChangedIt) {
    WriteHistory({{"2026-12-06", Keys(10)}});
    window.Form_Load();
    const int redraws = view.redraws;
    const size_t reads = files.readWhole.size();
    window.tmrFollow_Timer();
    window.tmrFollow_Timer();
    EXPECT_EQ(view.redraws, redraws);  // nothing new: nothing on screen changes
    EXPECT_EQ(files.readWhole.size(), reads);

    WriteHistory({{"2026-12-06", Keys(10)}, {"2026-12-07", Keys(20)}});  // a save
    window.tmrFollow_Timer();
    EXPECT_EQ(files.readWhole.size(), reads + 1);
    EXPECT_EQ(Today().sums.KeysPressed, 20);

    calendar.today = {2026, 12, 8};  // midnight
    window.tmrFollow_Timer();
    EXPECT_EQ(Today().date.day, 8);
    EXPECT_EQ(window.Chart().bars[28].sums.KeysPressed, 20);
}

TEST_F(HistoryWindowTest, ASaveOfTheSameLengthToARowBeforeTheLastIsSeen) {
    // The clock was set back: today's row is followed by a later date.
    WriteHistory({{"2026-12-07", Keys(1520)}, {"2026-12-09", {123456789, 12345, 123456789, 1234567, 1e5, 1e4, 86400}}});
    window.Form_Load();
    EXPECT_EQ(Today().sums.KeysPressed, 1520);
    app.stats.CurrentStat.KeysPressed = 5;
    SaveProgramStatistics(app, platform.save);  // 1520 becomes 1525: same length, same last bytes
    window.tmrFollow_Timer();
    EXPECT_EQ(Today().sums.KeysPressed, 1525);
}

TEST_F(HistoryWindowTest, AFileTooBigForMemoryIsSaidOnceAndNotReadEverySecond) {
    WriteHistory({{"2026-12-07", Keys(20)}});
    files.outOfMemory.insert(path);
    window.Form_Load();
    EXPECT_NE(window.Notice().find("not enough memory"), std::string::npos) << window.Notice();
    const size_t reads = files.readWhole.size();
    window.tmrFollow_Timer();
    EXPECT_EQ(files.readWhole.size(), reads);
    files.outOfMemory.clear();
    WriteHistory({{"2026-12-07", Keys(21)}});  // changed: read again
    window.tmrFollow_Timer();
    EXPECT_EQ(Today().sums.KeysPressed, 21);
    EXPECT_TRUE(window.Notice().empty());
}

TEST_F(HistoryWindowTest, EmptyDamagedAndHeldHistoriesAreSaidAndLeftAsTheyAre) {
    window.Form_Load();
    EXPECT_EQ(window.Notice(), kHistoryStartsText);
    EXPECT_EQ(Detail().rfind(kHistoryStartsText, 0), 0u) << Detail();

    files.files[path] = "date;keys\r\n2026-01-05;120\r\n";
    const auto before = files.files;
    window.tmrFollow_Timer();
    EXPECT_NE(window.Notice().find("history.csv is damaged (line 1"), std::string::npos) << window.Notice();
    EXPECT_NE(window.Notice().find("next save keeps it aside"), std::string::npos);
    EXPECT_EQ(files.files, before);
    EXPECT_EQ(files.steps, 0);

    // Read once, then held by a spreadsheet: the chart keeps what it read.
    WriteHistory({{"2026-12-07", Keys(20)}});
    window.tmrFollow_Timer();
    EXPECT_TRUE(window.Notice().empty());
    files.held.insert(path);
    window.tmrFollow_Timer();
    EXPECT_NE(window.Notice().find("cannot be read now"), std::string::npos) << window.Notice();
    EXPECT_EQ(Today().sums.KeysPressed, 20);
    const int redraws = view.redraws;
    window.tmrFollow_Timer();  // still held: the same words, no repaint
    EXPECT_EQ(view.redraws, redraws);
    files.held.clear();
    window.tmrFollow_Timer();
    EXPECT_TRUE(window.Notice().empty());
}

TEST_F(HistoryWindowTest, PointingAndKeysNameABarAndChoicesChangeTheBars) {
    WriteHistory({{"2026-12-05", Keys(50)}, {"2026-12-07", Keys(70)}});
    window.Form_Load();
    window.PointAt(27);
    EXPECT_EQ(window.PointedBar(), 27);
    EXPECT_EQ(Detail().rfind("12/5/2026: 50 keys", 0), 0u) << Detail();
    window.ChartKeyDown(ChartKey::Right);
    window.ChartKeyDown(ChartKey::Right);
    window.ChartKeyDown(ChartKey::Right);  // stops at the last bar
    EXPECT_EQ(window.PointedBar(), 29);
    window.ChartKeyDown(ChartKey::Home);
    EXPECT_EQ(window.PointedBar(), 0);
    window.ChartKeyDown(ChartKey::Left);
    EXPECT_EQ(window.PointedBar(), 0);
    window.PointAt(-1);
    EXPECT_EQ(Detail().rfind("Last 30 days", 0), 0u) << Detail();
    window.ChartKeyDown(ChartKey::Left);  // from nothing: the current bar
    EXPECT_EQ(window.PointedBar(), 29);

    window.cboFigure_Click(1);  // mouse clicks: the same bars, the same one pointed at
    EXPECT_EQ(window.Chart().figure, ChartFigure::MouseClicks);
    EXPECT_EQ(window.PointedBar(), 29);
    window.cboPeriod_Click(1);
    EXPECT_EQ(window.Chart().bars.size(), 12u);
    EXPECT_EQ(window.PointedBar(), -1);
    EXPECT_EQ(window.Chart().bars.back().sums.KeysPressed, 120);
    window.cboPeriod_Click(7);  // no such choice
    EXPECT_EQ(window.Chart().period, ChartPeriod::LastTwelveMonths);
}

TEST_F(HistoryWindowTest, CopyAndOpenFile) {
    window.Form_Load();
    window.cmdOpen_Click();  // no history.csv yet
    ASSERT_EQ(view.told.size(), 1u);
    EXPECT_NE(view.told[0].find(kHistoryStartsText), std::string::npos);
    EXPECT_TRUE(view.opened.empty());

    WriteHistory({{"2026-12-07", Keys(70)}});
    window.tmrFollow_Timer();
    window.cmdOpen_Click();
    EXPECT_EQ(view.opened, std::vector<std::string>{path});
    window.cmdCopy_Click();
    EXPECT_EQ(view.clipboard, ClipboardText(window.Chart()));
    EXPECT_NE(view.clipboard.find("2026-12-07\t70\t"), std::string::npos) << view.clipboard;
    view.clipboardFree = false;
    window.cmdCopy_Click();
    EXPECT_NE(view.told.back().find("clipboard"), std::string::npos);
}

TEST_F(HistoryWindowTest, TheHoursTabReadsItsFilesWhenChosenAndEachTabFollowsOnlyWhileShown) {
    WriteHistory({{"2026-12-07", Keys(70)}});
    const std::string december = "C:\\Q\\history\\2026-12-hours.csv";
    files.files[december] = HoursText({{"2026-12-07", 9, Keys(70)}});
    window.Form_Load();
    EXPECT_EQ(std::count(files.readWhole.begin(), files.readWhole.end(), december), 0);

    window.NextTab(false);  // Ctrl+Tab
    EXPECT_EQ(view.tab, kHoursTab);
    EXPECT_EQ(window.Hours().Chart().bars[9].sums.KeysPressed, 70);
    EXPECT_EQ(view.hoursDetail, "Today: busiest hour 09:00-10:00 with 70 Keys pressed");
    window.CopyChart();
    EXPECT_EQ(view.clipboard, HoursClipboardText(window.Hours().Chart()));

    // Hidden, the Days tab reads nothing; shown again, it catches up at once.
    WriteHistory({{"2026-12-07", Keys(90)}});
    const size_t reads = files.readWhole.size();
    window.tmrFollow_Timer();
    EXPECT_EQ(files.readWhole.size(), reads);
    window.NextTab(true);  // Ctrl+Shift+Tab, back to the first
    EXPECT_EQ(view.tab, kDaysTab);
    EXPECT_EQ(Today().sums.KeysPressed, 90);
    window.tabView_Click(kHistoryTabs);  // no such tab
    EXPECT_EQ(window.Tab(), kDaysTab);
    window.CopyChart();
    EXPECT_EQ(view.clipboard, ClipboardText(window.Chart()));
    window.tabView_Click(kProgramsTab);  // read the first time it shows
    EXPECT_EQ(view.programsDetail, kNoProgramsText);
}

}  // namespace
}  // namespace qm::ui

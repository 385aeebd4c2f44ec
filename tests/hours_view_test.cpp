// The Hours tab: its bars over the periods, and its behaviour through a fake
// tab (month files read, damaged ones said and left alone).
#include <gtest/gtest.h>

#include "tests/fakes.h"
#include "ui/hours_view.h"

namespace qm::ui {
namespace {

DayFigures Keys(int64_t n) {
    DayFigures f;
    f.KeysPressed = n;
    return f;
}

TEST(HoursChart, SumsEachHourOverThePeriodWithAveragesPerActiveDayAndTheBusiestHour) {
    // 2 December is Last 7 days' first day when today is 8 December; 30 November lies outside it.
    const std::vector<HourRow> rows = {{"2026-11-30", 9, Keys(1000)}, {"2026-12-02", 9, Keys(30)},
                                       {"2026-12-07", 9, Keys(10)},   {"2026-12-07", 14, Keys(5)},
                                       {"2026-12-08", 14, Keys(4)},   {"2026-12-09", 14, Keys(999)}};
    OwedRows owed{{{"2026-12-08", 14}, Keys(6)}, {{"2026-12-08", 15}, Keys(1)}};  // today, not saved yet
    const LocalDate today{2026, 12, 8};
    const HoursChart week = BuildHoursChart(rows, owed, today, ChartFigure::KeysPressed, HoursPeriod::LastSevenDays);
    EXPECT_EQ(week.bars[9].sums.KeysPressed, 40);
    EXPECT_EQ(week.bars[9].activeDays, 2);
    EXPECT_EQ(week.bars[14].sums.KeysPressed, 15);  // the row of the 9th is after today
    EXPECT_EQ(week.bars[14].activeDays, 2);          // today's row and its unsaved part are one day
    EXPECT_EQ(week.busiest, 9);
    test::FakeNumberFormat numbers;
    EXPECT_EQ(HoursDetailText(week, 9, numbers), "09:00-10:00 (Last 7 days): 40 Keys pressed, 20 a day on 2 active days; the busiest hour");
    EXPECT_EQ(HoursDetailText(week, -1, numbers), "Last 7 days: busiest hour 09:00-10:00 with 40 Keys pressed");
    EXPECT_EQ(HoursDetailText(week, 3, numbers), "03:00-04:00 (Last 7 days): no figures");

    const HoursChart day = BuildHoursChart(rows, owed, today, ChartFigure::KeysPressed, HoursPeriod::Today);
    EXPECT_EQ(day.bars[14].sums.KeysPressed, 10);
    EXPECT_EQ(day.bars[15].sums.KeysPressed, 1);
    EXPECT_EQ(day.bars[9].sums.KeysPressed, 0);
    EXPECT_EQ(BuildHoursChart(rows, owed, today, ChartFigure::KeysPressed, HoursPeriod::Yesterday).bars[14].sums.KeysPressed, 5);
    const HoursChart all = BuildHoursChart(rows, owed, today, ChartFigure::KeysPressed, HoursPeriod::AllTime);
    EXPECT_EQ(all.bars[9].sums.KeysPressed, 1040);
    EXPECT_EQ(BuildHoursChart(std::vector<HourRow>{}, {}, today, ChartFigure::KeysPressed, HoursPeriod::AllTime).busiest, -1);

    // The speed comes from the hour's summed letters and seconds.
    DayFigures typing;
    typing.LettersTyped = 100;
    typing.TypingSeconds = 30;
    const HoursChart speed = BuildHoursChart({{"2026-12-08", 10, typing}, {"2026-12-07", 10, typing}}, {}, today,
                                             ChartFigure::TypingSpeed, HoursPeriod::LastSevenDays);
    EXPECT_EQ(speed.bars[10].value, 220);

    const std::string copied = HoursClipboardText(week);
    EXPECT_EQ(copied.substr(0, copied.find("\r\n")), "Hour\tKeys pressed\tActive days\tAverage per active day");
    EXPECT_NE(copied.find("\r\n09:00-10:00\t40\t2\t20.00\r\n"), std::string::npos) << copied;
    EXPECT_NE(copied.find("\r\n23:00-24:00\t0\t0\t0.00\r\n"), std::string::npos) << copied;
}

struct FakeHoursPort : HoursViewPort {
    int redraws = 0;
    std::string detail, clipboard;
    void RedrawHoursChart() override { ++redraws; }
    void SetHoursDetailText(const std::string& text) override { detail = text; }
    void SelectHoursChoices(int, int) override {}
    bool SetClipboardText(const std::string& text) override { clipboard = text; return true; }
    void Tell(const std::string&) override {}
};

struct HoursViewTest : ::testing::Test, test::FakePlatform {
    AppState app;
    test::FakeDateFormat dates;
    FakeHoursPort port;
    HoursView view{{app, platform.folder, calendar, numbers, dates}, port};
    void Write(const std::string& month, const std::vector<HourRow>& rows) {
        files.files["C:\\Q\\history\\" + month + "-hours.csv"] = HoursText(rows);
        files.written["C:\\Q\\history\\" + month + "-hours.csv"] = ++files.writeClock;
    }
};

TEST_F(HoursViewTest, ReadsTheMonthsOfThePeriodOnlyWhenChangedAndSaysWhichFileIsDamaged) {
    Write("2026-12", {{"2026-12-07", 9, Keys(20)}});
    Write("2025-03", {{"2025-03-02", 9, Keys(7)}});
    files.files["C:\\Q\\history\\notes-hours.csv"] = "not a month";
    app.stats.CurrentStat.KeysPressed = 3;  // counted since the last save, at 5:37
    view.Form_Load();
    EXPECT_EQ(view.Chart().bars[9].sums.KeysPressed, 20);
    EXPECT_EQ(view.Chart().bars[5].sums.KeysPressed, 3);
    const size_t reads = files.readWhole.size();
    const int redraws = port.redraws;
    view.tmrFollow_Timer();
    EXPECT_EQ(files.readWhole.size(), reads);
    EXPECT_EQ(port.redraws, redraws);

    view.cboPeriod_Click(4);  // All time: every month file, nothing else
    EXPECT_EQ(view.Chart().bars[9].sums.KeysPressed, 27);
    EXPECT_TRUE(view.Notice().empty()) << view.Notice();

    files.files["C:\\Q\\history\\2025-03-hours.csv"] = "date;hour\r\n";
    files.written["C:\\Q\\history\\2025-03-hours.csv"] = ++files.writeClock;
    const auto before = files.files;
    view.tmrFollow_Timer();
    EXPECT_NE(view.Notice().find("2025-03-hours.csv is damaged (line 1"), std::string::npos) << view.Notice();
    EXPECT_EQ(port.detail.rfind(view.Notice(), 0), 0u) << port.detail;
    EXPECT_EQ(view.Chart().bars[9].sums.KeysPressed, 20);  // the rest is shown
    EXPECT_EQ(files.files, before);
    EXPECT_EQ(files.steps, 0);

    view.ChartKeyDown(ChartKey::End);
    EXPECT_EQ(port.detail.rfind("23:00-24:00 (All time): no figures", 0), 0u) << port.detail;
    view.cmdCopy_Click();
    EXPECT_EQ(port.clipboard, HoursClipboardText(view.Chart()));
}

}  // namespace
}  // namespace qm::ui

#include "core/hours.h"

#include <gtest/gtest.h>

#include "app/save.h"
#include "core/stat_file.h"
#include "tests/fakes.h"

namespace qm {
namespace {

const std::string kHoursLine = std::string(kHoursHeader) + "\r\n";

struct HoursTest : test::FakePlatform, testing::Test {
    AppState app;
    const std::string folder = "C:\\Q\\";

    HoursTest() {
        files.files[folder + "stat.dat"] = StatFileText(StatRecord{0, 0, 0, 0, 0, 0, 0, "12-01-2026"}, false);
        LoadProgramStatistics(app, platform.save, platform.autorun);
    }
    void At(LocalDate day, int hour, int minute = 0, int second = 0) {
        calendar.today = day;
        calendar.hour = hour, calendar.minute = minute, calendar.second = second;
    }
    // One tick at the clock's time that counts `keys` presses.
    void Tick(int keys) {
        FollowHour(app.hours, app.stats, calendar.Now());
        app.stats.CurrentStat.KeysPressed += keys;
    }
    // date,hour,keys of every row of the month file.
    std::string Keys(const std::string& month) {
        std::string out;
        for (const HourRow& row : ParseHours(files.files[folder + HoursFileName(month)], month))
            out += row.date + "," + std::to_string(row.hour) + ":" + std::to_string(row.figures.KeysPressed) + " ";
        return out;
    }
    std::string DayKeys() {
        std::string out;
        for (const HistoryRow& row : ParseHistory(files.files[folder + "history.csv"]))
            out += row.date + ":" + std::to_string(row.figures.KeysPressed) + " ";
        return out;
    }
};

TEST_F(HoursTest, EachTickCountsInTheHourTheClockShowsAtItsStartEvenWhenTheSaveComesLater) {
    At({2026, 12, 7}, 9, 59, 59);  // 09:59:59.97
    Tick(3);
    At({2026, 12, 7}, 10, 0, 0);  // 10:00:00.03: the three belong to the hour before
    Tick(2);
    At({2026, 12, 7}, 23, 59, 59);
    Tick(4);
    At({2026, 12, 8}, 0, 0, 0);
    Tick(1);
    At({2026, 12, 8}, 0, 0, 30);  // the minute's save, after midnight
    SaveProgramStatistics(app, platform.save);
    EXPECT_EQ(Keys("2026-12"), "2026-12-07,9:3 2026-12-07,10:2 2026-12-07,23:4 2026-12-08,0:1 ");
    EXPECT_EQ(DayKeys(), "2026-12-07:9 2026-12-08:1 ");
    EXPECT_EQ(files.files[folder + HoursFileName("2026-12")].substr(0, kHoursLine.size()), kHoursLine);
}

TEST_F(HoursTest, AnHourTheClockGoesThroughTwiceSumsBothAndASkippedOneHasNoRow) {
    At({2026, 10, 25}, 2, 59);
    Tick(1);
    At({2026, 10, 25}, 2, 0);  // daylight-saving time ends: 02:00 again
    Tick(2);
    At({2026, 10, 25}, 10, 30);
    Tick(4);
    At({2026, 10, 25}, 9, 30);  // set back an hour by hand
    Tick(8);
    At({2026, 10, 25}, 10, 45);
    Tick(16);
    SaveProgramStatistics(app, platform.save);
    At({2026, 3, 29}, 1, 59);  // daylight-saving time starts: 02:00 is skipped
    Tick(32);
    At({2026, 3, 29}, 3, 0);
    Tick(64);
    SaveProgramStatistics(app, platform.save);
    EXPECT_EQ(Keys("2026-10"), "2026-10-25,2:3 2026-10-25,9:8 2026-10-25,10:20 ");
    EXPECT_EQ(Keys("2026-03"), "2026-03-29,1:32 2026-03-29,3:64 ");
    EXPECT_EQ(DayKeys(), "2026-03-29:96 2026-10-25:31 ");
}

TEST_F(HoursTest, ALateMonthWaitsForItsFileWhileTheNewOneIsWrittenAndClosedMonthsAreLeftAlone) {
    const std::string november = folder + HoursFileName("2026-11");
    At({2026, 11, 30}, 23, 59);
    Tick(5);
    SaveProgramStatistics(app, platform.save);
    Tick(6);
    files.held = {november};  // a spreadsheet has November's hours open
    At({2026, 12, 1}, 0, 0);
    Tick(1);
    SaveProgramStatistics(app, platform.save);
    EXPECT_EQ(Keys("2026-11"), "2026-11-30,23:5 ");
    EXPECT_EQ(Keys("2026-12"), "2026-12-01,0:1 ");
    EXPECT_EQ(DayKeys(), "2026-11-30:11 2026-12-01:1 ");
    EXPECT_NE(files.files[folder + "history.pending"].find("for,history\\2026-11-hours.csv\r\n"), std::string::npos);

    // An exit and a new start while it is held: the pending file keeps November's six.
    AppState again;
    LoadProgramStatistics(again, platform.save, platform.autorun);
    files.held.clear();
    files.replaced.clear();
    SaveProgramStatistics(again, platform.save);
    EXPECT_EQ(Keys("2026-11"), "2026-11-30,23:11 ");
    EXPECT_EQ(files.files.count(folder + "history.pending"), 0u);
    // Nothing owed to November any more: a save in December never touches it.
    again.stats.CurrentStat.KeysPressed += 2;
    files.replaced.clear();
    SaveProgramStatistics(again, platform.save);
    for (const auto& [target, patience] : files.replaced) EXPECT_NE(target, november);
    EXPECT_EQ(Keys("2026-12"), "2026-12-01,0:3 ");
}

TEST_F(HoursTest, ADamagedMonthFileIsSetAsideAndNeverBlocksASave) {
    const std::string path = folder + HoursFileName("2026-12");
    files.files[path] = kHoursLine + "2026-12-07,24,1,0,0,0,0,0,1\r\n";
    At({2026, 12, 7}, 8, 15);
    Tick(7);
    SaveProgramStatistics(app, platform.save);
    EXPECT_EQ(Keys("2026-12"), "2026-12-07,8:7 ");
    EXPECT_EQ(files.files[folder + "history\\2026-12-hours-damaged-20261207-081500.csv"],
              kHoursLine + "2026-12-07,24,1,0,0,0,0,0,1\r\n");
    EXPECT_NE(files.files[folder + "DbgFile.dat"].find("history\\2026-12-hours.csv is damaged (line 2"),
              std::string::npos);
}

TEST(HoursFileTest, OnlyRowsOfItsOwnMonthInOrderWithRealHoursRead) {
    const std::string good = kHoursLine + "2026-12-07,0,1,2,3,4,0.5,0.25,60\r\n2026-12-07,23,0,0,0,0,0,0,1\r\n";
    EXPECT_EQ(HoursText(ParseHours(good, "2026-12")), good);
    EXPECT_EQ(HoursWithAdded(good, "2026-12", {{{"2026-12-07", 5}, {1, 0, 0, 0, 0, 0, 0}}}),
              kHoursLine + "2026-12-07,0,1,2,3,4,0.5,0.25,60\r\n2026-12-07,5,1,0,0,0,0,0,0\r\n"
                           "2026-12-07,23,0,0,0,0,0,0,1\r\n");
    for (const char* row : {"2026-12-07,24,1,0,0,0,0,0,1", "2026-12-07,07,1,0,0,0,0,0,1",
                            "2026-11-30,1,1,0,0,0,0,0,1", "2026-12-07,1,1,0,0,0,0,0", "2026-12-07,,1,0,0,0,0,0,1"})
        EXPECT_THROW(ParseHours(kHoursLine + row + "\r\n", "2026-12"), HistoryFormatError) << row;
    EXPECT_THROW(ParseHours(good + "2026-12-07,23,0,0,0,0,0,0,1\r\n", "2026-12"), HistoryFormatError);
    EXPECT_THROW(ParseHours(std::string(kHistoryHeader) + "\r\n", "2026-12"), HistoryFormatError);
    std::string month;
    EXPECT_TRUE(ReadHoursFileName("history\\2026-12-hours.csv", month) && month == "2026-12");
    for (const char* name : {"history\\2026-13-hours.csv", "history\\..\\stat.dat", "2026-12-hours.csv",
                             "history\\2026-12-hours-damaged-20261207-081500.csv"})
        EXPECT_FALSE(ReadHoursFileName(name, month)) << name;
}

}  // namespace
}  // namespace qm

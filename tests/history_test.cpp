#include "core/history.h"
#include "core/pending.h"

#include <gtest/gtest.h>

#include <limits>

#include "app/save.h"
#include "core/stat_file.h"
#include "tests/fakes.h"

namespace qm {
namespace {

const std::string kHeader =
    "date,keys_pressed,mouse_clicks,mouse_pixels,letters_typed,typing_seconds,other_keys_seconds,passed_seconds\r\n";

std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (auto& l : lines) text += l + "\r\n";
    return text;
}

// --- the file's text ----------------------------------------------------------

TEST(HistoryTest, RowsAreWrittenAsPlainCsvAndReadBack) {
    std::vector<HistoryRow> rows = {
        {"2025-12-31", {15234, 3410, 4521873, 9876, 1543.2, 812.37, 86400}},
        {"2026-01-01", {0, 0, 0, 0, 0, 0.06, 0}},
        // A day may hold more than a 32-bit figure could.
        {"2026-12-07", {5000000000, 1, 2, 3, 0.1 + 0.2, 12345678.25, 7}},
    };
    const std::string text = HistoryText(rows);
    EXPECT_EQ(text, kHeader + Lines({"2025-12-31,15234,3410,4521873,9876,1543.2,812.37,86400",
                                     "2026-01-01,0,0,0,0,0,0.06,0", "2026-12-07,5000000000,1,2,3,0.3,12345678.25,7"}));
    rows[2].figures.TypingSeconds = 0.3;
    EXPECT_EQ(ParseHistory(text), rows);
    EXPECT_EQ(HistoryText({}), kHeader);
    EXPECT_TRUE(ParseHistory(kHeader).empty());
    EXPECT_EQ(HistoryDate({2024, 3, 4}), "2024-03-04");
}

TEST(HistoryTest, SecondsAreWrittenExactlyAsInStatDat) {
    std::vector<double> values = {0.0,  0.01,   0.06,       0.1 + 0.2, 1543.2,      812.37, 1.0 / 3,
                                  1e-4, 9.9e-5, 1e-7,       12.5,      99999.99999, 1e14,   999999999999999.9,
                                  1e15, 3e17,   -2.75};
    for (double v = 0.013; v < 1e16; v *= 1.37) values.push_back(v);
    for (double v : values) {
        const std::string text = HistoryText({{"2026-12-07", {0, 0, 0, 0, v, 0, 0}}});
        const size_t start = kHeader.size() + std::string("2026-12-07,0,0,0,0,").size();
        EXPECT_EQ(text.substr(start, text.find(',', start) - start), RealText(v)) << v;
    }
}

TEST(HistoryTest, EveryRowTheProgramCanWriteReadsBack) {
    constexpr int64_t kMost = std::numeric_limits<int64_t>::max(), kLeast = std::numeric_limits<int64_t>::min();
    constexpr double kLargest = std::numeric_limits<double>::max();
    std::vector<HistoryRow> rows = {
        {HistoryDate({1, 1, 1}), {kMost, kLeast, 1000000000000000000, -999999999999999999, 1e16, 1.5e20, 0}},
        {HistoryDate({2026, 12, 7}), {0, 0, 0, 0, kLargest, -kLargest, kMost}},
        {HistoryDate({30827, 12, 31}), {1, 2, 3, 4, 1e-300, 12345678901234567.0, 5}},
    };
    EXPECT_EQ(rows[2].date, "9999-12-31") << "a clock beyond year 9999 files its days on the last one";
    const std::vector<HistoryRow> back = ParseHistory(HistoryText(rows));
    ASSERT_EQ(back.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(back[i].date, rows[i].date);
        EXPECT_EQ(HistoryText({back[i]}), HistoryText({rows[i]})) << i;
    }
    // Sums stop at the ends of their range instead of wrapping or becoming infinite.
    DayFigures sum{kMost - 1, kLeast + 1, 0, 0, kLargest, -kLargest, 0};
    sum += DayFigures{5, -5, 0, 0, kLargest, -kLargest, 0};
    EXPECT_EQ(sum, (DayFigures{kMost, kLeast, 0, 0, kLargest, -kLargest, 0}));
    EXPECT_NO_THROW(ParseHistory(HistoryText({{"2026-12-07", sum}})));
}

TEST(HistoryTest, FilesWithOtherLineEndsReadTheSame) {
    const std::vector<HistoryRow> expected = {{"2026-12-07", {1, 2, 3, 4, 5.5, 6, 7}}};
    EXPECT_EQ(ParseHistory(kHeader + "2026-12-07,1,2,3,4,5.5,6,7"), expected);  // no end on the last line
    EXPECT_EQ(ParseHistory(std::string(kHistoryHeader) + "\n2026-12-07,1,2,3,4,5.5,6,7\n"), expected);
}

TEST(HistoryTest, FiguresAddUpInTheirDaysRowInDateOrder) {
    // Rows of other days keep their bytes, also where they differ from what the
    // program writes; the line ends become CR LF.
    const std::string text = std::string(kHistoryHeader) + "\n2026-12-01,1,1,1,1,1.50,1,1\n2027-05-01,9,9,9,9,9,9,9";
    const DayFigures some{10, 2, 300, 8, 1.5, 0.25, 60};
    DayFigures twice = some;
    twice += some;
    EXPECT_EQ(HistoryWithAdded(text, {{"2026-11-30", some}, {"2026-12-01", some}, {"2026-12-07", twice}}),
              kHeader + Lines({"2026-11-30,10,2,300,8,1.5,0.25,60", "2026-12-01,11,3,301,9,3,1.25,61",
                               // between the two, before the row from a clock set wrong
                               "2026-12-07,20,4,600,16,3,0.5,120", "2027-05-01,9,9,9,9,9,9,9"}));
    EXPECT_EQ(HistoryWithAdded(kHeader, {{"2026-12-07", some}}), kHeader + Lines({"2026-12-07,10,2,300,8,1.5,0.25,60"}));
    EXPECT_EQ(HistoryWithAdded(kHeader + Lines({"2026-12-01,5000000000,0,0,0,0,0,0"}),
                               {{"2026-12-01", {2147483647, 0, 0, 0, 0, 0, 0}}}),
              kHeader + Lines({"2026-12-01,7147483647,0,0,0,0,0,0"}));
}

TEST(HistoryTest, EveryKindOfDamageIsRefusedWithItsLine) {
    const std::string row = "2026-12-07,1,2,3,4,5.5,6,7";
    const struct {
        const char* what;
        std::string text;
        int line;
    } cases[] = {
        {"empty file", "", 1},
        {"another header", Lines({"date,keys,clicks", row}), 1},
        {"header in capitals", Lines({"DATE,KEYS_PRESSED,MOUSE_CLICKS,MOUSE_PIXELS,LETTERS_TYPED,TYPING_SECONDS,"
                                      "OTHER_KEYS_SECONDS,PASSED_SECONDS"}),
         1},
        {"saved with ; separators",
         Lines({"date;keys_pressed;mouse_clicks;mouse_pixels;letters_typed;typing_seconds;other_keys_seconds;"
                "passed_seconds",
                "2026-12-07;1;2;3;4;5,5;6;7"}),
         1},
        {"; separated rows", kHeader + Lines({"2026-12-07;1;2;3;4;5,5;6;7"}), 2},
        {"too few fields", kHeader + Lines({"2026-12-07,1,2,3,4,5.5,6"}), 2},
        {"too many fields", kHeader + Lines({row + ",8"}), 2},
        {"a date as a spreadsheet shows it", kHeader + Lines({"12/07/2026,1,2,3,4,5.5,6,7"}), 2},
        {"a day that does not exist", kHeader + Lines({"2026-02-29,1,2,3,4,5.5,6,7"}), 2},
        {"month 13", kHeader + Lines({"2026-13-01,1,2,3,4,5.5,6,7"}), 2},
        {"text for a count", kHeader + Lines({"2026-12-07,many,2,3,4,5.5,6,7"}), 2},
        {"a fraction for a count", kHeader + Lines({"2026-12-07,1.5,2,3,4,5.5,6,7"}), 2},
        {"grouped digits", kHeader + Lines({"2026-12-07,\"1,000\",2,3,4,5.5,6,7"}), 2},
        {"a decimal comma", kHeader + Lines({"2026-12-07,1,2,3,4,\"5,5\",6,7"}), 2},
        {"an exponent for a count", kHeader + Lines({"2026-12-07,5e3,2,3,4,5.5,6,7"}), 2},
        {"an exponent in capitals", kHeader + Lines({"2026-12-07,1,2,3,4,5E3,6,7"}), 2},
        {"seconds beyond a double", kHeader + Lines({"2026-12-07,1,2,3,4,1e309,6,7"}), 2},
        {"a blank in a field", kHeader + Lines({"2026-12-07, 1,2,3,4,5.5,6,7"}), 2},
        {"an empty field", kHeader + Lines({"2026-12-07,1,2,3,4,,6,7"}), 2},
        {"a count beyond 64 bits", kHeader + Lines({"2026-12-07,9223372036854775808,2,3,4,5.5,6,7"}), 2},
        {"a year of five digits", kHeader + Lines({"10000-01-01,1,2,3,4,5.5,6,7"}), 2},
        {"a blank line", kHeader + Lines({row, "", "2026-12-08,1,2,3,4,5.5,6,7"}), 3},
        {"a lone CR inside", kHeader + "2026-12-07,1,2,3,4\r,5.5,6,7\r\n", 2},
        {"a date twice", kHeader + Lines({row, row}), 3},
        {"dates out of order", kHeader + Lines({row, "2026-12-06,1,2,3,4,5.5,6,7"}), 3},
    };
    for (const auto& c : cases) {
        try {
            ParseHistory(c.text);
            ADD_FAILURE() << c.what << ": read without complaint";
        } catch (const HistoryFormatError& e) {
            EXPECT_EQ(e.line, c.line) << c.what << ": " << e.what();
        }
        EXPECT_THROW(HistoryWithAdded(c.text, {{"2026-12-09", {1, 0, 0, 0, 0, 0, 0}}}), HistoryFormatError) << c.what;
    }
}

// --- saving: stat.dat first, then the day's row --------------------------------

struct HistorySaveTest : ::testing::Test, test::FakePlatform {
    AppState app;
    const std::string statPath = "C:\\Q\\stat.dat";
    const std::string historyPath = "C:\\Q\\history.csv";
    const std::string logPath = "C:\\Q\\DbgFile.dat";
    const std::string pendingPath = "C:\\Q\\history.pending";

    std::string& History() { return files.files[historyPath]; }
    int LogLines() {
        const std::string& log = files.files[logPath];
        return static_cast<int>(std::count(log.begin(), log.end(), '\n'));
    }
    void FailHistoryWriteOfNextSave() { files.failWrites = {historyPath}; }
    // A run of the program that starts from the files as they are.
    std::unique_ptr<AppState> Start() {
        auto run = std::make_unique<AppState>();
        LoadProgramStatistics(*run, platform.save, platform.autorun);
        return run;
    }
    int64_t HistoryKeys() {
        int64_t sum = 0;
        for (const HistoryRow& row : ParseHistory(History())) sum += row.figures.KeysPressed;
        return sum;
    }
    int64_t StatDatKeys() { return std::stoll(files.files[statPath]); }
};

TEST_F(HistorySaveTest, EachSaveAddsWhatItMergedToTodaysRow) {
    app.stats.CommonStat.KeysPressed = 1000;
    app.stats.CurrentStat = {400, 50, 2.5, 30, 12.25, 7, 60, ""};
    SaveProgramStatistics(app, platform.save);
    EXPECT_EQ(History(), kHeader + Lines({"2026-12-07,50,7,400,30,12.25,2.5,60"}));

    app.stats.CurrentStat = {500, 80, 3, 40, 20, 9, 120, ""};
    SaveProgramStatistics(app, platform.save);
    EXPECT_EQ(app.stats.CommonStat.KeysPressed, 1080);
    EXPECT_EQ(History(), kHeader + Lines({"2026-12-07,80,9,500,40,20,3,120"}));
}

TEST_F(HistorySaveTest, ASaveAfterMidnightStartsTheNextDaysRow) {
    calendar.today = {2026, 12, 31};
    app.stats.CurrentStat = {0, 50, 0, 0, 0, 0, 3000, ""};
    SaveProgramStatistics(app, platform.save);
    calendar.today = {2027, 1, 1};
    app.stats.CurrentStat = {0, 80, 0, 0, 0, 0, 3060, ""};
    SaveProgramStatistics(app, platform.save);
    EXPECT_EQ(History(), kHeader + Lines({"2026-12-31,50,0,0,0,0,0,3000", "2027-01-01,30,0,0,0,0,0,60"}));
}

TEST_F(HistorySaveTest, TwoRunsOnOneDayShareItsRow) {
    app.stats.CurrentStat = {100, 10, 0, 5, 1.5, 2, 600, ""};
    SaveProgramStatistics(app, platform.save);

    AppState second;
    LoadProgramStatistics(second, platform.save, platform.autorun);
    second.stats.CurrentStat = {50, 4, 0, 3, 1, 1, 30, ""};
    SaveProgramStatistics(second, platform.save);
    EXPECT_EQ(History(), kHeader + Lines({"2026-12-07,14,3,150,8,2.5,0,630"}));
}

TEST_F(HistorySaveTest, ASaveWithNothingNewDoesNotTouchTheHistory) {
    // Start-up's first file: all zero, so no history is made.
    SaveProgramStatistics(app, platform.save);
    EXPECT_EQ(files.files.count(historyPath), 0u);

    app.stats.CurrentStat.KeysPressed = 5;
    SaveProgramStatistics(app, platform.save);
    const std::string before = History();
    const int steps = files.steps;
    SaveProgramStatistics(app, platform.save);
    EXPECT_EQ(files.steps - steps, 5) << "only stat.dat was written";
    EXPECT_EQ(History(), before);
}

TEST_F(HistorySaveTest, ResetsAddOnlyWhatTheirSaveMerged) {
    files.files[historyPath] = kHeader + Lines({"2026-12-06,7,0,0,0,0,0,0"});
    app.stats.CommonStat.KeysPressed = 900;
    app.stats.CurrentStat.KeysPressed = 120;
    app.stats.SavedStat.KeysPressed = 100;
    ResetCommonStatistics(app, platform.save);
    app.stats.CurrentStat.KeysPressed = 125;
    ResetCurrentStatistics(app, platform.save, clock);
    app.stats.CurrentStat.KeysPressed = 3;
    SaveProgramStatistics(app, platform.save);
    EXPECT_EQ(History(), kHeader + Lines({"2026-12-06,7,0,0,0,0,0,0", "2026-12-07,28,0,0,0,0,0,0"}));
}

TEST_F(HistorySaveTest, AFailedHistoryWriteIsLoggedOnceAndItsFiguresOwedToTheNextSave) {
    calendar.today = {2026, 12, 6};
    app.stats.CurrentStat.KeysPressed = 10;
    FailHistoryWriteOfNextSave();
    SaveProgramStatistics(app, platform.save);  // does not raise: stat.dat is saved
    EXPECT_EQ(files.files[statPath].substr(0, 4), "10\r\n");
    EXPECT_EQ(files.files.count(historyPath), 0u);
    EXPECT_EQ(LogLines(), 1);
    EXPECT_NE(files.files[logPath].find("history.csv"), std::string::npos) << files.files[logPath];

    // After midnight, the same failure again: no second line.
    calendar.today = {2026, 12, 7};
    app.stats.CurrentStat.KeysPressed = 15;
    FailHistoryWriteOfNextSave();
    SaveProgramStatistics(app, platform.save);
    EXPECT_EQ(LogLines(), 1);

    // Nothing new, but the history is still owed: this save writes it.
    files.failWrites.clear();
    SaveProgramStatistics(app, platform.save);
    EXPECT_EQ(History(), kHeader + Lines({"2026-12-06,10,0,0,0,0,0,0", "2026-12-07,5,0,0,0,0,0,0"}));
    app.stats.CurrentStat.KeysPressed = 16;
    SaveProgramStatistics(app, platform.save);
    EXPECT_EQ(History(), kHeader + Lines({"2026-12-06,10,0,0,0,0,0,0", "2026-12-07,6,0,0,0,0,0,0"}));

    // Failing again after a success is news again.
    app.stats.CurrentStat.KeysPressed = 17;
    FailHistoryWriteOfNextSave();
    SaveProgramStatistics(app, platform.save);
    EXPECT_EQ(LogLines(), 2);
}

TEST_F(HistorySaveTest, FiguresMergedByASaveWhoseStatDatWriteFailedReachTheHistoryWithTheNextSave) {
    app.stats.CurrentStat.KeysPressed = 10;
    files.failWrites = {statPath};
    EXPECT_THROW(SaveProgramStatistics(app, platform.save), FileError);
    EXPECT_EQ(files.files.count(historyPath), 0u);
    files.failWrites.clear();
    app.stats.CurrentStat.KeysPressed = 12;
    SaveProgramStatistics(app, platform.save);
    EXPECT_EQ(History(), kHeader + Lines({"2026-12-07,12,0,0,0,0,0,0"}));
}

TEST_F(HistorySaveTest, AnOverflowingSaveAddsNothing) {
    app.stats.CommonStat.MousePixels = 2000000000;
    app.stats.CurrentStat.MousePixels = 200000000;
    app.stats.SavedStat.MousePixels = 150000000;
    app.stats.CurrentStat.KeysPressed = 4;
    try {
        SaveProgramStatistics(app, platform.save);
    } catch (const std::exception&) {
        // Whether the merge refuses or keeps the figure at its limit, the
        // history may only hold what a written stat.dat holds.
        EXPECT_EQ(files.files.count(historyPath), 0u);
        EXPECT_TRUE(app.history.files.empty());
        return;
    }
    EXPECT_EQ(History(), kHeader + Lines({"2026-12-07,4,0,50000000,0,0,0,0"}));
}

TEST_F(HistorySaveTest, ADamagedHistoryIsMovedAsideAndANewOneStarts) {
    const std::string damaged[] = {
        Lines({"date,keys", "2026-12-01,5"}),
        kHeader + Lines({"2026-12-01,5,0,0,0,0,0,0", "2026-12-02,five,0,0,0,0,0,0"}),
        Lines({"date;keys_pressed;mouse_clicks;mouse_pixels;letters_typed;typing_seconds;other_keys_seconds;"
               "passed_seconds",
               "2026-12-01;5;0;0;0;0;0;0"}),
    };
    int round = 0;
    for (const std::string& bytes : damaged) {
        ++round;
        calendar.second = 10 + round;
        files.files[historyPath] = bytes;
        app.stats.CurrentStat.KeysPressed += 3;
        SaveProgramStatistics(app, platform.save);
        const std::string kept = "history-damaged-20261207-0537" + std::to_string(10 + round) + ".csv";
        EXPECT_EQ(files.files["C:\\Q\\" + kept], bytes) << kept;
        EXPECT_EQ(History(), kHeader + Lines({"2026-12-07,3,0,0,0,0,0,0"}));
        EXPECT_EQ(LogLines(), round);
        EXPECT_NE(files.files[logPath].find(kept), std::string::npos) << files.files[logPath];
        EXPECT_EQ(files.files[statPath].substr(0, files.files[statPath].find('\r')), std::to_string(3 * round));
    }
    // Damaged twice within one second: the first copy stays.
    files.files[historyPath] = "junk";
    app.stats.CurrentStat.KeysPressed += 1;
    SaveProgramStatistics(app, platform.save);
    EXPECT_EQ(files.files["C:\\Q\\history-damaged-20261207-053713.csv"], damaged[2]);
    EXPECT_EQ(files.files["C:\\Q\\history-damaged-20261207-053713-2.csv"], "junk");
}

TEST_F(HistorySaveTest, ARowFromAClockSetWrongIsKept) {
    files.files[historyPath] = kHeader + Lines({"2026-12-01,1,0,0,0,0,0,0", "2031-01-01,2,0,0,0,0,0,0"});
    app.stats.CurrentStat.KeysPressed = 5;
    SaveProgramStatistics(app, platform.save);
    EXPECT_EQ(History(), kHeader + Lines({"2026-12-01,1,0,0,0,0,0,0", "2026-12-07,5,0,0,0,0,0,0",
                                          "2031-01-01,2,0,0,0,0,0,0"}));
}

TEST_F(HistorySaveTest, StatDatIsTheSameWithOrWithoutAHistory) {
    const StatRecord current{4521873, 15234, 812.37, 9876, 1543.2, 3410, 86400, ""};
    Statistics plain;
    plain.CommonStat.SinceDate = "03-14-2024";
    plain.CurrentStat = current;
    test::MemoryFileSystem plainFiles;
    SaveStatistics(plain, plainFiles, statPath);

    app.stats.CommonStat.SinceDate = "03-14-2024";
    app.stats.CurrentStat = current;
    files.files[historyPath] = "damaged";
    SaveProgramStatistics(app, platform.save);
    EXPECT_EQ(files.files[statPath], plainFiles.files[statPath]);
    EXPECT_EQ(app.stats.CommonStat, plain.CommonStat);
}

TEST_F(HistorySaveTest, AHistoryHeldOpenBySpreadsheetLosesNothingAcrossExitsAndRestarts) {
    files.files[historyPath] = kHeader + Lines({"2026-12-06,1,0,0,0,0,0,0"});
    files.held = {historyPath};
    app.stats.CommonStat.KeysPressed = 1;
    app.stats.CurrentStat.KeysPressed = 5000;
    SaveProgramStatistics(app, platform.save);
    EXPECT_EQ(StatDatKeys(), 5001);
    EXPECT_EQ(files.files[historyPath], kHeader + Lines({"2026-12-06,1,0,0,0,0,0,0"}));

    // Exit, and a run the next day while the spreadsheet still has the file.
    calendar.today = {2026, 12, 8};
    auto second = Start();
    second->stats.CurrentStat.KeysPressed = 3;
    SaveProgramStatistics(*second, platform.save);
    // The spreadsheet is closed; the next run's first save catches up.
    files.held.clear();
    auto third = Start();
    third->stats.CurrentStat.KeysPressed = 7;
    SaveProgramStatistics(*third, platform.save);
    EXPECT_EQ(History(), kHeader + Lines({"2026-12-06,1,0,0,0,0,0,0", "2026-12-07,5000,0,0,0,0,0,0",
                                          "2026-12-08,10,0,0,0,0,0,0"}));
    EXPECT_EQ(StatDatKeys(), 5011);
    EXPECT_EQ(files.files.count(pendingPath), 0u) << "nothing is owed any more";
    // While it was held, one line in the log a run, not one a minute.
    EXPECT_EQ(LogLines(), 2) << files.files[logPath];
}

TEST_F(HistorySaveTest, AKillAtAnyStepOfASaveNeitherLosesNorDoublesItsFigures) {
    for (bool held : {false, true}) {
        for (int step = 1;; ++step) {
            files.files = {{statPath, "100\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n12-01-2026\r\nFalse\r\n"},
                           {historyPath, kHeader + Lines({"2026-12-01,100,0,0,0,0,0,0"})}};
            files.held.clear();
            if (held) files.held = {historyPath};
            auto run = Start();
            run->stats.CurrentStat.KeysPressed = 20;
            SaveProgramStatistics(*run, platform.save);  // one save that owes the history, when it is held
            run->stats.CurrentStat.KeysPressed = 50;
            files.killAtStep = files.steps + step;
            try {
                SaveProgramStatistics(*run, platform.save);
            } catch (const test::Killed&) {
            }
            const bool finished = !files.killed;
            files.killAtStep = 0;
            files.killed = false;
            for (bool heldAtStart : {false, true}) {
                // The next start, perhaps while a spreadsheet holds history.csv until after its first save.
                const auto files_ = files.files;
                files.held.clear();
                if (heldAtStart) files.held = {historyPath};
                auto after = Start();
                SaveProgramStatistics(*after, platform.save);
                files.held.clear();
                SaveProgramStatistics(*after, platform.save);  // nothing new: brings the history what it is owed
                EXPECT_EQ(HistoryKeys(), StatDatKeys()) << "killed at step " << step << (held ? ", history held" : "")
                                                        << (heldAtStart ? ", and at the next start" : "");
                EXPECT_EQ(files.files[logPath].find("not added"), std::string::npos) << files.files[logPath];
                files.files = files_;
            }
            if (finished) break;
        }
    }
}

TEST_F(HistorySaveTest, FiguresOfSavesThatFailedAreFiledUnderTheDaysTheyWereMerged) {
    files.failWrites = {statPath};
    app.stats.CurrentStat = {0, 4000, 0, 0, 0, 0, 10000, ""};
    EXPECT_THROW(SaveProgramStatistics(app, platform.save), FileError);
    app.stats.CurrentStat = {0, 9000, 0, 0, 0, 0, 20000, ""};
    EXPECT_THROW(SaveProgramStatistics(app, platform.save), FileError);
    calendar.today = {2026, 12, 8};
    files.failWrites.clear();
    app.stats.CurrentStat = {0, 9010, 0, 0, 0, 0, 20060, ""};
    SaveProgramStatistics(app, platform.save);
    EXPECT_EQ(History(), kHeader + Lines({"2026-12-07,9000,0,0,0,0,0,20000", "2026-12-08,10,0,0,0,0,0,60"}));
}

TEST_F(HistorySaveTest, ASaveIsFiledUnderTheDayOnWhichItStarted) {
    files.onStep = [&](const std::string& what) {
        if (what == "flush " + statPath + ".tmp") calendar.today = {2026, 12, 8};
    };
    app.stats.CurrentStat.KeysPressed = 9;
    SaveProgramStatistics(app, platform.save);
    EXPECT_EQ(calendar.today.day, 8);
    EXPECT_EQ(History(), kHeader + Lines({"2026-12-07,9,0,0,0,0,0,0"}));
}

TEST_F(HistorySaveTest, AHistoryTooLargeToBeRealIsSetAsideUnread) {
    files.files[historyPath] = std::string(kLargestHistoryBytes + 1, 'x');
    app.stats.CurrentStat.KeysPressed = 3;
    SaveProgramStatistics(app, platform.save);
    EXPECT_EQ(std::count(files.readWhole.begin(), files.readWhole.end(), historyPath), 0);
    EXPECT_EQ(files.files["C:\\Q\\history-damaged-20261207-053726.csv"].size(), kLargestHistoryBytes + 1);
    EXPECT_EQ(History(), kHeader + Lines({"2026-12-07,3,0,0,0,0,0,0"}));
    EXPECT_NE(files.files[logPath].find("bytes long"), std::string::npos) << files.files[logPath];
}

TEST_F(HistorySaveTest, OnlyStatDatWaitsForAFileThatIsBusyForAMoment) {
    // A file a spreadsheet holds stays held for hours: waiting for it at every
    // save would stall counting.
    files.files[historyPath] = "junk";  // set aside, too
    app.stats.CurrentStat.KeysPressed = 3;
    SaveProgramStatistics(app, platform.save);
    app.stats.CurrentStat.KeysPressed = 4;
    files.held = {historyPath};
    SaveProgramStatistics(app, platform.save);
    ASSERT_FALSE(files.replaced.empty());
    for (const auto& [path, whenBusy] : files.replaced)
        EXPECT_EQ(whenBusy, path == statPath ? WhenBusy::RetryBriefly : WhenBusy::FailAtOnce) << path;
    EXPECT_EQ(StatDatKeys(), 4);
}

TEST_F(HistorySaveTest, APendingFileOfAnotherStatDatIsLoggedAndNotAdded) {
    app.stats.CurrentStat.KeysPressed = 3;
    files.held = {historyPath};
    SaveProgramStatistics(app, platform.save);
    // stat.dat copied over from elsewhere while Quillmark was not running.
    files.files[statPath] = "77\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n12-01-2026\r\nFalse\r\n";
    files.held.clear();
    auto run = Start();
    EXPECT_TRUE(run->history.files.empty());
    EXPECT_NE(files.files[logPath].find("belongs to another stat.dat"), std::string::npos) << files.files[logPath];
    files.files[pendingPath] = "rubbish";
    run = Start();
    EXPECT_NE(files.files[logPath].find("history.pending cannot be used"), std::string::npos) << files.files[logPath];
    files.files[pendingPath] = std::string(kLargestPendingBytes + 1, '\n');
    files.readWhole.clear();
    run = Start();
    EXPECT_EQ(std::count(files.readWhole.begin(), files.readWhole.end(), pendingPath), 0);
    EXPECT_NE(files.files[logPath].find("history.pending is " + std::to_string(kLargestPendingBytes + 1) + " bytes long"),
              std::string::npos);
}

TEST(PendingTest, SectionsAreWrittenAndReadBack) {
    std::vector<PendingSection> sections(2);
    sections[0] = {0x8f3a0c5d9e1b2a47, kHistoryFile, true, 0x0c1d2e3f40516273,
                   {{{"2026-12-07"}, {50, 7, 400, 30, 12.25, 2.5, 60}}, {{"2026-12-08"}, {1, 0, 0, 0, 0, 0, 1}}}};
    sections[1] = {1, "history\\2026-12-hours.csv", true, 2, {{{"2026-12-07", 23}, {1, 0, 0, 0, 0, 0, 1}}}};
    const std::string text = PendingText(sections);
    EXPECT_EQ(text, kHeader + Lines({"if stat.dat is,8f3a0c5d9e1b2a47", "unless history.csv is,0c1d2e3f40516273",
                                     "2026-12-07,50,7,400,30,12.25,2.5,60", "2026-12-08,1,0,0,0,0,0,1",
                                     "if stat.dat is,0000000000000001", "for,history\\2026-12-hours.csv",
                                     "unless it is,0000000000000002", "2026-12-07,23,1,0,0,0,0,0,1"}));
    EXPECT_EQ(ParsePending(text), sections);
    for (const std::string& bad : {std::string(), Lines({"2026-12-07,1,0,0,0,0,0,1"}),
                                   kHeader + Lines({"2026-12-07,1,0,0,0,0,0,1"}),
                                   kHeader + Lines({"if stat.dat is,8F3A0C5D9E1B2A47"}),
                                   kHeader + Lines({"if stat.dat is,1", "unless history.csv is,0000000000000002"}),
                                   kHeader + Lines({"if stat.dat is,0000000000000001", "2026-12-08,1,0,0,0,0,0,1",
                                                    "unless history.csv is,0000000000000002"}),
                                   kHeader + Lines({"if stat.dat is,0000000000000001", "2026-12-08,1,0,0,0,0,0,1",
                                                    "2026-12-08,1,0,0,0,0,0,1"}),
                                   // Rows go only to month files in the history folder, each of its own month.
                                   kHeader + Lines({"if stat.dat is,0000000000000001", "for,..\\stat.dat"}),
                                   kHeader + Lines({"if stat.dat is,0000000000000001", "for,history\\2026-13-hours.csv"}),
                                   kHeader + Lines({"if stat.dat is,0000000000000001", "for,history\\2026-12-hours.csv",
                                                    "2026-11-30,1,1,0,0,0,0,0,1"})})
        EXPECT_THROW(ParsePending(bad), HistoryFormatError) << bad;
}

}  // namespace
}  // namespace qm

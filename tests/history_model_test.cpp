// The daily history against a randomised life of the program: counting,
// saves, writes of stat.dat or history.csv that fail, a spreadsheet holding
// history.csv (at a start, too), the clock moving forward and back, resets,
// exits, and kills at any step of a save. After each start, once a save has brought history.csv
// what it is owed, each of its columns adds up to the matching all-time
// figure in stat.dat, plus what the common figures held when they were reset,
// and each day's hours, keys and programs in the month files add up to its row.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "app/save.h"
#include "core/history.h"
#include "core/hours.h"
#include "core/keys.h"
#include "core/programs.h"
#include "core/screen_map.h"
#include "core/stat_file.h"
#include "tests/fakes.h"

namespace qm {
namespace {

DayFigures Figures(const StatRecord& r) {
    return {r.KeysPressed, r.MouseClicks, r.MousePixels, r.LettersTyped, r.TypingTime, r.OtherKeysTime, r.PassedSeconds};
}

struct ProgramLife : test::FakePlatform {
    const std::string statPath = "C:\\Q\\stat.dat", historyPath = "C:\\Q\\history.csv";
    std::unique_ptr<AppState> app;
    std::mt19937 random;
    // What history.csv holds beyond stat.dat: the common figures at each reset.
    DayFigures resetAway;
    int starts = 0, kills = 0;

    explicit ProgramLife(unsigned number) : random(number) {
        foreground.programs[101] = {"quillmark.exe", "Quillmark"};
        foreground.programs[102] = {"my, \"app\".exe", ""};  // 103 cannot be named
    }

    int Below(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }

    DayFigures StatDat() {
        Statistics s;
        LoadStatistics(s, files, statPath, calendar, nullptr);
        return Figures(s.CommonStat);
    }
    DayFigures HistorySums() {
        DayFigures sum;
        if (files.files.count(historyPath))
            for (const HistoryRow& row : ParseHistory(files.files[historyPath])) sum += row.figures;
        return sum;
    }

    std::string MonthPath() {
        return "C:\\Q\\" + HoursFileName(MonthOf(HistoryDate(calendar.today)));
    }

    std::string KeysPath() { return "C:\\Q\\" + KeysFileName(MonthOf(HistoryDate(calendar.today))); }
    std::string ProgramsPath() { return "C:\\Q\\" + ProgramsFileName(MonthOf(HistoryDate(calendar.today))); }

    // Three programs, one that cannot be named, and now and then none in front.
    test::FakeForeground foreground;
    uint32_t nowMs = 0;

    // Each day's rows of history.csv against the sums of its hours, and
    // against its keys: codes 3 to 255 its keys pressed, 1 and 2 its clicks.
    void CheckHoursAgainstDays() {
        std::map<std::string, DayFigures> hours, keys, programs;
        for (const auto& [path, text] : files.files) {
            std::string month;
            if (path.starts_with("C:\\Q\\") && ReadProgramsFileName(path.substr(5), month))
                for (const ProgramRow& row : ParsePrograms(text, month)) programs[row.date] += row.figures;
            if (path.starts_with("C:\\Q\\") && ReadKeysFileName(path.substr(5), month))
                for (const KeyRow& row : ParseKeys(text, month))
                    (row.code <= 2 ? keys[row.date].MouseClicks : keys[row.date].KeysPressed) += row.presses;
            if (!path.starts_with("C:\\Q\\") || !ReadHoursFileName(path.substr(5), month)) continue;
            for (const HourRow& row : ParseHours(text, month)) hours[row.date] += row.figures;
        }
        std::map<std::string, DayFigures> days;
        std::map<std::string, int64_t> monthClicks;
        if (files.files.count(historyPath))
            for (const HistoryRow& row : ParseHistory(files.files[historyPath])) {
                days[row.date] = row.figures;
                monthClicks[MonthOf(row.date)] += row.figures.MouseClicks;
            }
        ASSERT_EQ(hours.size(), days.size()) << Where();
        // Each month's left and right clicks on its maps, every arrangement together.
        for (const std::string& month : ScreenMonths(platform.folder)) {
            int64_t onMaps = 0;
            for (const ArrangementMap& map : ReadScreenMonth(platform.folder, month))
                for (int layer : {kLeftLayer, kRightLayer})
                    for (const CellCount& cell : map.layers[layer]) onMaps += cell.count;
            ASSERT_EQ(onMaps, monthClicks[month]) << "clicks on the maps of " << month << Where();
        }
        for (const auto& [date, day] : days) {
            const DayFigures& h = hours[date];
            ASSERT_EQ(keys[date].KeysPressed, day.KeysPressed) << "keys of " << date << Where();
            ASSERT_EQ(keys[date].MouseClicks, day.MouseClicks) << "clicks of " << date << Where();
            const DayFigures& p = programs[date];
            ASSERT_EQ(p.KeysPressed, day.KeysPressed) << "programs' keys of " << date << Where();
            ASSERT_EQ(p.MouseClicks, day.MouseClicks) << "programs' clicks of " << date << Where();
            ASSERT_EQ(p.MousePixels, day.MousePixels) << "programs' pixels of " << date << Where();
            ASSERT_EQ(p.LettersTyped, day.LettersTyped) << "programs' letters of " << date << Where();
            ASSERT_NEAR(p.TypingSeconds, day.TypingSeconds, 1e-6) << date << Where();
            ASSERT_NEAR(p.OtherKeysSeconds, day.OtherKeysSeconds, 1e-6) << date << Where();
            ASSERT_EQ(h.KeysPressed, day.KeysPressed) << date << Where();
            ASSERT_EQ(h.MouseClicks, day.MouseClicks) << date << Where();
            ASSERT_EQ(h.MousePixels, day.MousePixels) << date << Where();
            ASSERT_EQ(h.LettersTyped, day.LettersTyped) << date << Where();
            ASSERT_EQ(h.PassedSeconds, day.PassedSeconds) << date << Where();
            ASSERT_NEAR(h.TypingSeconds, day.TypingSeconds, 1e-6) << date << Where();
            ASSERT_NEAR(h.OtherKeysSeconds, day.OtherKeysSeconds, 1e-6) << date << Where();
        }
    }

    // Some ticks' counting, now and then across the turn of an hour (or of
    // the clock, set back).
    void Count() {
        for (int ticks = 1 + Below(3); ticks > 0; --ticks) {
            if (Below(3) == 0) calendar.hour = (calendar.hour + (Below(5) == 0 ? 23 : 1)) % 24;
            FollowHour(app->hours, app->stats, calendar.Now());
            CountATick();
        }
    }

    void CountATick() {
        StatRecord& c = app->stats.CurrentStat;
        const DayFigures before = FiguresOf(c);
        // Each press under a code, as the key scan counts it.
        const int keys = Below(40), clicks = Below(5);
        c.KeysPressed += keys;
        c.MouseClicks += clicks;
        for (int i = 0; i < keys; ++i) ++app->hours.keys[static_cast<size_t>(3 + Below(253))];
        int left = 0, right = 0;
        for (int i = 0; i < clicks; ++i) ++(Below(2) ? left : right);
        app->hours.keys[1] += left;
        app->hours.keys[2] += right;
        // The same clicks on the map, now and then on another arrangement of monitors.
        if (Below(20) == 0)
            SetArrangement(app->screen, UsableArrangement({{0, 0, 1920, 1080}, {Below(2) ? -1280 : 1920, 0, Below(2) ? 0 : 3200, 1024}}));
        const Point from{Below(3000) - 1000, Below(1200)}, to{Below(3000) - 1000, Below(1200)};
        NoteTick(app->screen, app->hours.current.date, from, to, true, left, right, 0);
        c.MousePixels += Below(3000);
        c.LettersTyped += Below(30);
        c.TypingTime += Below(1000) / 100.0;
        c.OtherKeysTime += Below(300) / 100.0;
        if (Below(4) == 0) foreground.window = Below(6) == 0 ? ForegroundWindow{} : ForegroundWindow{1, 100u + Below(4)};
        nowMs += 60 + static_cast<uint32_t>(Below(3) == 0 ? Below(90000) : 0);
        CreditProgram(app->focus, app->hours, before, FiguresOf(c), foreground, nowMs);
        c.PassedSeconds += Below(90);
    }

    // A save that may be cut off: false when the program was killed.
    template <typename Action>
    bool Try(Action&& action) {
        try {
            action();
        } catch (const FileError&) {
            // A failed write of stat.dat: the figures stay in memory.
        } catch (const test::Killed&) {
            return false;
        }
        return !files.killed;
    }

    // The program starts anew on the files as they are and the disk works;
    // the other programs have let go of history.csv, or do so after the first
    // save. Once a save has brought history.csv what is owed, the columns
    // must add up.
    void Start() {
        files.killAtStep = 0;
        files.killed = false;
        files.failWrites.clear();
        files.held.clear();
        // Now and then the spreadsheet still has history.csv at the start, and lets go after the first save.
        const bool heldAtStart = Below(3) == 0 && files.files.count(historyPath);
        if (heldAtStart) {
            const std::string path = Below(3) == 0 ? KeysPath() : Below(2) == 0 ? ProgramsPath() : MonthPath();
            files.held.insert(Below(2) && files.files.count(path) ? path : historyPath);
        }
        app = std::make_unique<AppState>();
        LoadProgramStatistics(*app, platform.save, platform.autorun);
        SaveProgramStatistics(*app, platform.save);
        if (heldAtStart) {
            files.held.clear();
            Count();
            SaveProgramStatistics(*app, platform.save);
        }
        ++starts;
        const DayFigures history = HistorySums(), stat = StatDat();
        DayFigures expected = stat;
        expected += resetAway;
        ASSERT_EQ(history.KeysPressed, expected.KeysPressed) << Where();
        ASSERT_EQ(history.MouseClicks, expected.MouseClicks) << Where();
        ASSERT_EQ(history.MousePixels, expected.MousePixels) << Where();
        ASSERT_EQ(history.LettersTyped, expected.LettersTyped) << Where();
        ASSERT_EQ(history.PassedSeconds, expected.PassedSeconds) << Where();
        // Seconds within the rounding of the real text, save after save.
        ASSERT_NEAR(history.TypingSeconds, expected.TypingSeconds, 1e-6 + 1e-12 * std::fabs(expected.TypingSeconds)) << Where();
        ASSERT_NEAR(history.OtherKeysSeconds, expected.OtherKeysSeconds, 1e-6) << Where();
        ASSERT_EQ(files.files["C:\\Q\\DbgFile.dat"].find("not added"), std::string::npos) << Where();
        CheckHoursAgainstDays();
    }

    std::string Where() {
        return "after " + std::to_string(starts) + " starts and " + std::to_string(kills) + " kills\n" +
               files.files[historyPath] + "\n" + files.files[statPath] + "\n" + files.files["C:\\Q\\DbgFile.dat"];
    }

    void Step() {
        switch (Below(12)) {
            case 0: case 1: case 2: case 3:
                Count();
                Try([&] { SaveProgramStatistics(*app, platform.save); });
                break;
            case 4: {  // the clock moves, mostly forward
                LocalDate& d = calendar.today;
                d.day += Below(4) == 0 ? -1 : 1;
                if (d.day < 1) d.day = 28, d.month = d.month == 1 ? 12 : d.month - 1;
                if (d.day > 28) d.day = 1, d.month = d.month == 12 ? 1 : d.month + 1;
                break;
            }
            case 5:  // a file cannot be written for a while, or a spreadsheet has the history
                files.failWrites.clear();
                files.held.clear();
                if (Below(2))
                    files.failWrites.insert(Below(3) == 0 ? statPath : Below(2) ? historyPath : Below(2) ? MonthPath() : KeysPath());
                if (Below(2) && files.files.count(historyPath)) files.held.insert(historyPath);
                if (Below(3) == 0 && files.files.count(MonthPath())) files.held.insert(MonthPath());
                if (Below(4) == 0 && files.files.count(KeysPath())) files.held.insert(KeysPath());
                break;
            case 6:
                Count();
                Try([&] { ResetCurrentStatistics(*app, platform.save, clock); });
                break;
            case 7: {
                Count();
                const std::string before = files.files[statPath];
                const DayFigures common = Figures(app->stats.CommonStat);
                const bool alive = Try([&] { ResetCommonStatistics(*app, platform.save); });
                // Landed when stat.dat was written: what the common figures
                // held then stays in the history only.
                if (files.files[statPath] != before) resetAway += common;
                if (!alive) ++kills, Start();
                break;
            }
            case 8: case 9: {  // killed at some step of a save
                Count();
                files.killAtStep = files.steps + 1 + Below(24);
                if (!Try([&] { SaveProgramStatistics(*app, platform.save); })) ++kills;
                Start();
                break;
            }
            default:  // Exit, and a new start
                Count();
                Try([&] { SaveProgramStatistics(*app, platform.save); });
                Start();
                break;
        }
    }
};

TEST(HistoryModelTest, ColumnsAddUpToStatDatWhateverHappens) {
    for (unsigned number = 1; number <= 60; ++number) {
        ProgramLife life(number);
        life.files.files[life.statPath] = StatFileText(StatRecord{0, 0, 0, 0, 0, 0, 0, "12-01-2026"}, false);
        life.Start();
        for (int i = 0; i < 300 && !testing::Test::HasFatalFailure(); ++i) life.Step();
        ASSERT_FALSE(testing::Test::HasFatalFailure()) << "life " << number;
        EXPECT_GT(life.kills, 10) << "life " << number;
    }
}

}  // namespace
}  // namespace qm

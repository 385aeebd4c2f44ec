// Ten years kept: history.csv with 3,650 days, a month file of hours, one
// of keys and one of programs for each of its 120 months (every hour of
// every day counted, 80 keys and 30 programs a day), and a busy current month. save_us_10y: the CPU time of one save, which must not grow with the
// years (the closed months are never read or written); target under 5 ms.
// save_bytes_10y: what that save writes, pending file included; under 1 MB.
// hours_view_us: the Hours tab opened and set to All time, every month file
// read and checked and the 24 bars built; under 100 ms. keys_view_us: the
// Keys tab opened on All time over the same years; under 100 ms.
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "core/hours.h"
#include "core/keys.h"
#include "core/programs.h"
#include "ui/hours_view.h"
#include "ui/keys_view.h"

namespace qm::bench {
namespace {

// 2026-12-07 05:37 is the fake calendar's now: December's file holds the six
// days before today, every hour of them.
std::vector<HourRow> MonthOfHours(int year, int month, int days) {
    std::vector<HourRow> rows;
    char date[16];
    for (int day = 1; day <= days; ++day) {
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", year, month, day);
        for (int hour = 0; hour < 24; ++hour)
            rows.push_back({date, hour, {977, 144, 97736, 745, 97.74, 19.03, 1200 + hour}});
    }
    return rows;
}

// A busy day's keys: 80 codes, one row each.
std::vector<KeyRow> MonthOfKeys(int year, int month, int days) {
    std::vector<KeyRow> rows;
    char date[16];
    for (int day = 1; day <= days; ++day) {
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", year, month, day);
        for (int code = 0x20; code < 0x20 + 80; ++code) rows.push_back({date, code, 100 + code});
    }
    return rows;
}

// Returns the number of days the month files hold.
int WriteTenYearsOfHours(NativePlatform& native, AppState& app) {
    int written = 6;
    StartWithHistory(native, app, TenYearHistory());
    const std::string folder = native.folder.Path() + "\\" + kHistoryFolder;
    native.files.CreateFolder(folder);
    const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int year = 2016; year <= 2026; ++year)
        for (int month = 1; month <= 12; ++month) {
            if ((year == 2016 && month < 12) || (year == 2026 && month == 12)) continue;
            const int days = kDays[month - 1] + (month == 2 && year % 4 == 0 ? 1 : 0);
            const std::string name = MonthOf(HistoryDate({year, month, 1}));
            WriteWholeFile(native.files, native.folder.Path() + "\\" + HoursFileName(name),
                           HoursText(MonthOfHours(year, month, days)));
            WriteWholeFile(native.files, native.folder.Path() + "\\" + KeysFileName(name),
                           KeysText(MonthOfKeys(year, month, days)));
            WriteWholeFile(native.files, native.folder.Path() + "\\" + ProgramsFileName(name),
                           ProgramsText(MonthOfPrograms(year, month, days)));
            written += days;
        }
    WriteWholeFile(native.files, native.folder.Path() + "\\" + HoursFileName("2026-12"),
                   HoursText(MonthOfHours(2026, 12, 6)));
    WriteWholeFile(native.files, native.folder.Path() + "\\" + KeysFileName("2026-12"),
                   KeysText(MonthOfKeys(2026, 12, 6)));
    WriteWholeFile(native.files, native.folder.Path() + "\\" + ProgramsFileName("2026-12"),
                   ProgramsText(MonthOfPrograms(2026, 12, 6)));
    return written;
}

void BM_SaveWithTenYearsOfHours(benchmark::State& state) {
    NativePlatform native;
    AppState app;
    WriteTenYearsOfHours(native, app);
    SaveProgramStatistics(app, native.platform.save);  // the first save reads what is there
    native.files.bytesWritten = 0;
    for (auto _ : state) {
        CountAMinute(app);
        for (int code = 0x41; code < 0x41 + 26; ++code) app.hours.keys[static_cast<size_t>(code)] += 4;
        // A minute's figures shared by three programs; keys, clicks and
        // the rest need not match here, only the rows' number does.
        for (const char* program : {"program00.exe", "program07.exe", "quillmark.exe"}) {
            ProgramShare& share = app.hours.programs[program];
            share.name = program;
            share.figures += {35, 4, 1200, 30, 6.5, 1.25, 20000};
        }
        SaveProgramStatistics(app, native.platform.save);
    }
    state.counters["save_bytes_10y"] =
        benchmark::Counter(static_cast<double>(native.files.bytesWritten), benchmark::Counter::kAvgIterations);
    const std::string december = native.files.ReadAll(native.folder.Path() + "\\" + HoursFileName("2026-12"));
    if (ParseHours(december, "2026-12").size() != 6 * 24 + 1) state.SkipWithError("the month file lost hours");
    const std::string programs = native.files.ReadAll(native.folder.Path() + "\\" + ProgramsFileName("2026-12"));
    if (ParsePrograms(programs, "2026-12").size() != 6 * kProgramsADay + 3)
        state.SkipWithError("the month file of programs lost programs");
    ReportAs(state, "save_us_10y");
}
BENCHMARK(BM_SaveWithTenYearsOfHours)->Unit(benchmark::kMicrosecond);

// The tabs' ports, drawing nothing.
struct NoTabs : ui::HoursViewPort, ui::KeysViewPort {
    void RedrawHoursChart() override {}
    void SetHoursDetailText(const std::string&) override {}
    void SelectHoursChoices(int, int) override {}
    void RedrawKeys() override {}
    void SetKeysDetailText(const std::string&) override {}
    void SelectKeysPeriod(int) override {}
    bool SetClipboardText(const std::string&) override { return true; }
    void Tell(const std::string&) override {}
};

// A tab opened on All time over the ten years, anew at each iteration;
// `check` reads what it shows and says what is wrong, if anything.
template <class View, class Open, class Check>
void OpenOnTenYears(benchmark::State& state, Open&& open, Check&& check) {
    NativePlatform native;
    AppState app;
    const int days = WriteTenYearsOfHours(native, app);
    const test::FakeDateFormat dates;
    NoTabs tabs;
    std::string problem;
    for (auto _ : state) {
        View view({app, native.platform.folder, native.calendar, native.numbers, dates}, tabs);
        open(view);
        problem = view.Notice().empty() ? check(view, days) : view.Notice();
    }
    if (!problem.empty()) state.SkipWithError(problem.c_str());
}

void BM_HoursViewAllTime(benchmark::State& state) {
    OpenOnTenYears<ui::HoursView>(
        state,
        [](ui::HoursView& view) {
            view.Form_Load();
            view.cboPeriod_Click(static_cast<int>(ui::HoursPeriod::AllTime));
        },
        [](const ui::HoursView& view, int days) {
            // 977 keys at midnight of each day.
            return view.Chart().bars[0].sums.KeysPressed == int64_t{977} * days ? "" : "the bars lost hours";
        });
    ReportAs(state, "hours_view_us");
}
BENCHMARK(BM_HoursViewAllTime)->Unit(benchmark::kMicrosecond);

void BM_KeysViewAllTime(benchmark::State& state) {
    OpenOnTenYears<ui::KeysView>(
        state, [](ui::KeysView& view) { view.Form_Load(); },  // All time
        [](const ui::KeysView& view, int days) {
            const auto space = view.Chart().totals.find(' ');
            return space != view.Chart().totals.end() && space->second == int64_t{100 + ' '} * days
                       ? ""
                       : "the keys lost presses";
        });
    ReportAs(state, "keys_view_us");
}
BENCHMARK(BM_KeysViewAllTime)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qm::bench

// programs_view_us: the Programs tab opened on All time over ten years of
// month files of programs (120 months before a busy December, 30 programs
// every day), every file read and checked, each program summed and the
// chart built; under 100 ms.
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "core/programs.h"
#include "ui/programs_view.h"

namespace qm::bench {
namespace {

// Returns the number of days the files hold; 2026-12-07 is the fake calendar's today.
int WriteTenYearsOfPrograms(NativePlatform& native) {
    native.files.CreateFolder(native.folder.Path() + "\\" + kHistoryFolder);
    const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int written = 0;
    for (int year = 2016; year <= 2026; ++year)
        for (int month = 1; month <= 12; ++month) {
            if ((year == 2016 && month < 12) || (year == 2026 && month == 12)) continue;
            const int days = kDays[month - 1] + (month == 2 && year % 4 == 0 ? 1 : 0);
            WriteWholeFile(native.files,
                           native.folder.Path() + "\\" + ProgramsFileName(MonthOf(HistoryDate({year, month, 1}))),
                           ProgramsText(MonthOfPrograms(year, month, days)));
            written += days;
        }
    WriteWholeFile(native.files, native.folder.Path() + "\\" + ProgramsFileName("2026-12"),
                   ProgramsText(MonthOfPrograms(2026, 12, 6)));
    return written + 6;
}

struct NoTab : ui::ProgramsViewPort {
    void RedrawPrograms() override {}
    void SetProgramsDetailText(const std::string&) override {}
    void SelectProgramsPeriod(int) override {}
    void SelectProgramsFigure(int) override {}
    bool SetClipboardText(const std::string&) override { return true; }
    void Tell(const std::string&) override {}
};

void BM_ProgramsViewAllTime(benchmark::State& state) {
    NativePlatform native;
    AppState app;
    const int days = WriteTenYearsOfPrograms(native);
    const test::FakeDateFormat dates;
    NoTab tab;
    std::string problem;
    for (auto _ : state) {
        ui::ProgramsView view({app, native.platform.folder, native.calendar, native.numbers, dates}, tab);
        view.Form_Load();  // All time, Keys pressed
        const ui::ProgramsChart& chart = view.Chart();
        problem = !view.Notice().empty()                        ? view.Notice()
                  : chart.ranked.size() != kProgramsADay        ? "programs went missing"
                  : chart.bars.size() != ui::kProgramBars + 1   ? "the bars are not fifteen and the rest"
                  : chart.bars[0].figures.KeysPressed != int64_t{520 + kProgramsADay - 1} * days
                      ? "the first program lost keys"
                      : "";
    }
    if (!problem.empty()) state.SkipWithError(problem.c_str());
    ReportAs(state, "programs_view_us");
}
BENCHMARK(BM_ProgramsViewAllTime)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qm::bench

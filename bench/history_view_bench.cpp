// The History window over ten years of days (3,650 rows). history_view_us:
// what opening it costs before the first paint, history.csv's text read and
// checked and the chart built, here for each of the three periods (keys
// pressed); the target is well under 50 ms. history_paint_us: the layout of
// one paint of a 900 x 400 chart at 96 dpi, for the years and for the last
// 30 days, text measured at 6 pixels a character; the target is well under
// 5 ms. Both CPU time; the window's own drawing calls are not in them.
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "core/history.h"
#include "ui/chart_paint.h"
#include "ui/chart_text.h"
#include "ui/history_chart.h"

namespace qm::bench {
namespace {

// The fixture's last day is 2026-12-05: today has no row yet, only what the
// running program has counted.
const LocalDate kToday{2026, 12, 7};
const DayFigures kUnsaved{1520, 310, 84211, 1002, 301.5, 40.02, 3600};

void BM_HistoryView(benchmark::State& state) {
    const std::string text = TenYearHistory();
    int64_t bars = 0;
    for (auto _ : state) {
        const std::vector<HistoryRow> rows = ParseHistory(text);
        for (ui::ChartPeriod period : ui::kChartPeriods) {
            const ui::HistoryChart chart =
                ui::BuildHistoryChart(rows, kUnsaved, kToday, ui::ChartFigure::KeysPressed, period);
            bars += chart.bars.size();
            benchmark::DoNotOptimize(chart.maxValue);
        }
    }
    if (bars != state.iterations() * (30 + 12 + 11)) state.SkipWithError("the charts lost bars");
    ReportAs(state, "history_view_us");
}
BENCHMARK(BM_HistoryView);

void BM_HistoryPaint(benchmark::State& state) {
    const std::vector<HistoryRow> rows = ParseHistory(TenYearHistory());
    const ui::HistoryChart years =
        ui::BuildHistoryChart(rows, kUnsaved, kToday, ui::ChartFigure::KeysPressed, ui::ChartPeriod::AllYears);
    const ui::HistoryChart days = ui::BuildHistoryChart(rows, kUnsaved, kToday, ui::ChartFigure::KeysPressed,
                                                        ui::ChartPeriod::LastThirtyDays);
    const test::FakeNumberFormat numbers;
    const ui::TextWidth width = [](const std::string& text) { return static_cast<int>(text.size()) * 6; };
    size_t labels = 0;
    for (auto _ : state) {
        for (const ui::HistoryChart* chart : {&years, &days}) {
            const ui::ChartPaint paint = ui::LayOutChart(*chart, 900, 400, 96, 13, width, numbers);
            labels += paint.labels.size();
            benchmark::DoNotOptimize(paint.bars.data());
        }
    }
    if (labels == 0) state.SkipWithError("no labels laid out");
    ReportAs(state, "history_paint_us");
}
BENCHMARK(BM_HistoryPaint);

}  // namespace
}  // namespace qm::bench

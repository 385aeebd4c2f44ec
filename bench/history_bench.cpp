// The cost of a save once history.csv holds ten years of days (3,650 rows):
// history.csv read, checked and its last row added to, history.pending
// written, stat.dat written, the whole history written again and the pending
// file removed, through real files in a temporary folder. The
// target is well under 5 ms a save; `history_save_us` is the CPU time, which
// is what grows with the history (the disk's own waits are save_us').
#include <string>

#include "app/save.h"
#include "bench/bench_support.h"
#include "core/history.h"
#include "core/stat_file.h"

namespace qm::bench {
namespace {

void SaveWithTenYearHistory(benchmark::State& state) {
    NativePlatform native;
    AppState app;
    const std::string history = StartWithHistory(native, app, TenYearHistory());
    for (auto _ : state) {
        CountAMinute(app);
        SaveProgramStatistics(app, native.platform.save);
    }
    if (ParseHistory(native.files.ReadAll(history)).size() != 3651) state.SkipWithError("history lost rows");
    ReportAs(state, "history_save_us");
}
BENCHMARK(SaveWithTenYearHistory);

}  // namespace
}  // namespace qm::bench

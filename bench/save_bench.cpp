// One save of the statistics: the merge of the unsaved part of the run and
// the atomic rewrite of stat.dat (temporary file, forced to the disk, put in
// place, folder synced) through real files in a temporary folder.
#include "bench/bench_support.h"
#include "core/stat_file.h"

namespace qm::bench {
namespace {

void SaveStatisticsToDisk(benchmark::State& state) {
    NativePlatform native;
    Statistics stats;
    FillWithEverydayFigures(stats);
    const std::string path = native.platform.folder.StatFile();
    SaveStatistics(stats, native.files, path);  // the file exists, as it does after the first start
    for (auto _ : state) {
        // A minute of work since the last save, so the merge has something to move.
        stats.CurrentStat.KeysPressed += 90;
        stats.CurrentStat.MousePixels += 20000;
        stats.CurrentStat.PassedSeconds += 60;
        SaveStatistics(stats, native.files, path);
    }
    // A save that went somewhere else would be timed for nothing.
    if (native.files.ReadAll(path) != StatFileText(stats.CommonStat, stats.AutorunEnabled))
        state.SkipWithError("stat.dat does not hold the figures saved last");
    ReportAs(state, "save_us");
}
BENCHMARK(SaveStatisticsToDisk)->UseRealTime();

}  // namespace
}  // namespace qm::bench

// The save's share of the maps of the screen: a minute of ticks (1,000) on
// three 4K monitors side by side, the cursor crossing them all at every tick
// and a click now and then, noted as the tick notes them; the save then
// takes the notes and works out the cells their paths entered.
//
// screen_settle_us      what TakeUnsaved costs that save (CPU time, median)
// screen_ledger_bytes   what the ledger holds between saves: its grid and
//                       the room for a minute's notes
#include <map>
#include <string>

#include "bench/bench_support.h"
#include "input/screen_ledger.h"

namespace qm::bench {
namespace {

constexpr int kTicksAMinute = 1000;
constexpr int32_t kWidth = 3840, kHeight = 2160;

void NoteAMinute(ScreenLedger& ledger, Point& cursor, int& step) {
    for (int tick = 0; tick < kTicksAMinute; ++tick, ++step) {
        // From one long edge to the other, a little further along each time,
        // so that the paths do not all enter the same cells.
        const int32_t shift = static_cast<int32_t>((step * 97) % kWidth);
        const Point to = step % 2 ? Point{3 * kWidth - 1 - shift, kHeight - 1} : Point{shift, 0};
        NoteTick(ledger, "2026-12-07", cursor, to, true, step % 50 == 0 ? 1 : 0, 0, 0);
        cursor = to;
    }
}

void SettleAMinuteOnThree4kMonitors(benchmark::State& state) {
    ScreenLedger ledger;
    std::vector<Monitor> monitors;
    for (int32_t i = 0; i < 3; ++i) monitors.push_back({i * kWidth, 0, (i + 1) * kWidth, kHeight, 597, 336});
    SetArrangement(ledger, UsableArrangement(monitors));
    Point cursor{0, 0};
    int step = 0;
    bool counted = true;
    for (auto _ : state) {
        state.PauseTiming();
        NoteAMinute(ledger, cursor, step);
        state.ResumeTiming();
        std::map<std::string, ScreenMaps> unsaved = TakeUnsaved(ledger);
        benchmark::DoNotOptimize(unsaved);
        state.PauseTiming();
        // A save that settled nothing would be timed for nothing.
        const auto month = unsaved.find("2026-12");
        counted = counted && month != unsaved.end() && month->second.size() == 1 &&
                  month->second[0].layers[kTravelLayer].size() > 1000 && !month->second[0].layers[kLeftLayer].empty();
        state.ResumeTiming();
    }
    if (!counted) state.SkipWithError("a save took no travel or no clicks from the minute's notes");
    state.counters["screen_ledger_bytes"] = benchmark::Counter(static_cast<double>(
        ledger.grid.capacity() * sizeof(uint32_t) + ledger.notes.capacity() * sizeof(ScreenNote)));
    ReportAs(state, "screen_settle_us");
}
BENCHMARK(SettleAMinuteOnThree4kMonitors);

}  // namespace
}  // namespace qm::bench

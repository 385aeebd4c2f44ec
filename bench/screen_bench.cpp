// screen_view_us: the Screen tab opened on this month of three 4K monitors
// side by side, every cell of the travel map counted and a few thousand
// clicks: the month's map file read and checked, the counts of the choice
// made, each monitor drawn at a pixel a cell and fitted to its place in the
// chart; under 100 ms.
// screen_picture_us: every row of that month's picture at its full size
// (11520 x 2160), band by band as Save picture hands them to the encoder.
// screen_follow_us: the tab's once-a-second look on All time over a year of
// such months, when no save has changed a file: what the run counted since
// added to the files' sum, nothing read again.
#include <vector>

#include "bench/bench_support.h"
#include "core/hours.h"
#include "ui/screen_view.h"

namespace qm::bench {
namespace {

Arrangement ThreeMonitors() {
    return UsableArrangement({{0, 0, 3840, 2160, 600, 340}, {3840, 0, 7680, 2160, 600, 340}, {7680, 0, 11520, 2160}});
}

ArrangementMap BusyMonth() {
    ArrangementMap map;
    map.arrangement = ThreeMonitors();
    const uint32_t cells = map.arrangement.CellCount();
    uint32_t noise = 12345;  // a fixed run of varied counts
    const auto next = [&] { return noise = noise * 1664525u + 1013904223u; };
    for (uint32_t cell = 0; cell < cells; ++cell) map.layers[kTravelLayer].push_back({cell, 1 + (next() >> 8) % 2000});
    for (uint32_t cell = 0; cell < cells; cell += 97) map.layers[kLeftLayer].push_back({cell, 1 + next() % 40});
    for (uint32_t cell = 0; cell < cells; cell += 701) map.layers[kRightLayer].push_back({cell, 1 + next() % 9});
    map.travelPixels = {90'000'000, 40'000'000, 7'000'000};
    return map;
}

struct NoTab : ui::ScreenViewPort {
    void RedrawScreen() override {}
    void SetScreenDetailText(const std::string&) override {}
    void SelectScreenWhat(int) override {}
    void SetScreenPeriods(const std::vector<std::string>&, int) override {}
    std::string AskPictureFile(const std::string&) override { return ""; }
    std::string SavePicture(const std::string&, const ui::ScreenPicture&) override { return ""; }
    bool SetClipboardPicture(const ui::ScreenPicture&, ui::PictureSize) override { return true; }
    void Tell(const std::string&) override {}
};

struct BusyScreen {
    NativePlatform native;
    AppState app;
    const test::FakeDateFormat dates;
    NoTab tab;

    explicit BusyScreen(int months = 1) {
        app.screen.arrangement = ThreeMonitors();
        native.files.CreateFolder(native.folder.Path() + "\\" + kHistoryFolder);
        ScreenFile file;
        file.base = true;
        file.maps = {BusyMonth()};
        const std::string bytes = ScreenFileBytes(file);
        for (int month = 12; month > 12 - months; --month)
            WriteWholeFile(native.files,
                           native.folder.Path() + "\\" + ScreenBaseName("2026-" + std::string(month < 10 ? "0" : "") +
                                                                        std::to_string(month)),
                           bytes);
    }
    ui::HistorySources Sources() { return {app, native.platform.folder, native.calendar, native.numbers, dates}; }
};

void BM_ScreenView(benchmark::State& state) {
    BusyScreen screen;
    std::string problem;
    for (auto _ : state) {
        ui::ScreenView view(screen.Sources(), screen.tab);
        view.Form_Load();  // Travel, this month
        view.SetArea(688, 270, 8, 33);
        problem = !view.Notice().empty()                              ? view.Notice()
                  : view.Counts().cells.size() != 3u * 480 * 270      ? "cells went missing"
                  : view.Picture().monitors.size() != 3               ? "monitors went missing"
                  : view.Picture().monitors[2].pixels[100] == 0       ? "a monitor was not drawn"
                                                                      : "";
    }
    if (!problem.empty()) state.SkipWithError(problem.c_str());
    ReportAs(state, "screen_view_us");
}
BENCHMARK(BM_ScreenView)->Unit(benchmark::kMicrosecond);

void BM_ScreenPicture(benchmark::State& state) {
    BusyScreen screen;
    ui::ScreenView view(screen.Sources(), screen.tab);
    view.Form_Load();
    const ui::ScreenPicture& picture = view.Picture();
    // The encoder's bands: some 2 MB of rows each.
    const size_t stride = (static_cast<size_t>(picture.width) * 3 + 3) & ~size_t{3};
    const int32_t band = static_cast<int32_t>((2u << 20) / stride);
    std::vector<uint8_t> rows(stride * static_cast<size_t>(band));
    uint64_t sum = 0;
    for (auto _ : state) {
        for (int32_t first = 0; first < picture.height; first += band) {
            picture.Rows(picture.width, picture.height, first, std::min(band, picture.height - first), rows.data(),
                         stride);
            sum += rows[stride / 2];
        }
        benchmark::DoNotOptimize(sum);
    }
    if (picture.width != 11520 || picture.height != 2160) state.SkipWithError("the picture is not 11520 x 2160");
    ReportAs(state, "screen_picture_us");
}
BENCHMARK(BM_ScreenPicture)->Unit(benchmark::kMicrosecond);

void BM_ScreenFollowAllTime(benchmark::State& state) {
    BusyScreen screen(12);
    ui::ScreenView view(screen.Sources(), screen.tab);
    view.Form_Load();
    view.cboScreenPeriod_Click(static_cast<int>(view.PeriodNames().size()) - 1);  // All time
    // The run's last minute, not yet saved.
    ArrangementMap minute;
    minute.arrangement = ThreeMonitors();
    for (uint32_t cell = 5000; cell < 5400; ++cell) minute.layers[kTravelLayer].push_back({cell, 1});
    minute.travelPixels = {3000, 0, 0};
    screen.app.screen.unsaved["2026-12"] = {minute};
    for (auto _ : state) view.tmrFollow_Timer();
    if (view.Counts().cells[5000] < 12) state.SkipWithError("the months were not summed");
    ReportAs(state, "screen_follow_us");
}
BENCHMARK(BM_ScreenFollowAllTime)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qm::bench

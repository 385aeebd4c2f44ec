// The Screen tab's maps as pictures: one choice of a map as a count a cell,
// each monitor drawn at one pixel a cell for the window (which stretches
// it), the whole arrangement at its full resolution for a file or the
// clipboard, band by band, and where the monitors lie in the chart.
#pragma once

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "core/screen_map.h"
#include "ui/chart_paint.h"
#include "ui/keyboard_map.h"

namespace qm::ui {

enum class ScreenWhat { Travel, Clicks, Left, Right, Middle };
inline constexpr ScreenWhat kScreenWhats[] = {ScreenWhat::Travel, ScreenWhat::Clicks, ScreenWhat::Left,
                                              ScreenWhat::Right, ScreenWhat::Middle};
inline constexpr const char* kScreenWhatNames[] = {"Travel", "Clicks (all buttons)", "Left clicks", "Right clicks",
                                                   "Middle clicks"};
static_assert(std::size(kScreenWhatNames) == std::size(kScreenWhats));

// One choice of a map: a count for every cell of its arrangement.
struct ScreenCounts {
    Arrangement arrangement;
    std::vector<uint32_t> cells;        // arrangement.CellCount() of them
    uint32_t highest = 0;
    uint64_t total = 0;
    std::vector<uint64_t> travelPixels;  // one for each monitor
};
ScreenCounts CountsOf(const ArrangementMap& map, ScreenWhat what);

// A cell nothing was counted in: a quiet dark grey. Counted cells run from
// the palette's blue (one count) to its light end (the highest), on the log
// scale of the Keys tab.
inline constexpr Rgb kQuietCell{38, 40, 46};
Rgb CellColour(uint32_t count, uint32_t highest);
// The colour at a point of the scale, 0 (one count) to 1 (the highest): the legend's.
Rgb ScaleColour(double fraction);
// The counts the legend names, at their points of the scale: 1, the middle
// of the scale and the highest (fewer when they would be the same).
struct LegendMark {
    double fraction = 0;
    uint32_t count = 0;
};
std::vector<LegendMark> LegendMarks(uint32_t highest);

// A monitor's cells, one pixel each, as 0x00RRGGBB from its top row down:
// the pixels of a 32-bit top-down DIB.
struct MonitorImage {
    Monitor monitor;
    int32_t columns = 0, rows = 0;
    std::vector<uint32_t> pixels;
};

// The arrangement drawn: its monitors in their bounding box of physical
// pixels, black between them.
struct ScreenPicture {
    int32_t left = 0, top = 0, width = 0, height = 0;
    std::vector<MonitorImage> monitors;

    // Rows `first` to `first + count - 1` of the picture scaled to width x
    // height (each physical pixel the colour of its cell at full size, the
    // nearest pixel's when smaller), 3 bytes a pixel in the order B, G, R,
    // `stride` bytes apart. Only the rows asked for are made.
    void Rows(int32_t outWidth, int32_t outHeight, int32_t first, int32_t count, uint8_t* out, size_t stride) const;
};
ScreenPicture DrawScreen(const ScreenCounts& counts);

// Monitor `monitor` drawn for a place of width x height pixels: its cells a
// pixel each where they fit, else each pixel the colour of the busiest cell
// under it, so that a lone click still shows when four cells share a pixel.
MonitorImage FitMonitor(const ScreenCounts& counts, size_t monitor, int width, int height);

// The largest size of the same proportions whose 24-bit bitmap (rows of 4
// bytes' multiples) takes at most `mostBytes`: the picture's own when it fits.
struct PictureSize {
    int32_t width = 0, height = 0;
    bool operator==(const PictureSize&) const = default;
};
PictureSize FitPicture(int32_t width, int32_t height, uint64_t mostBytes);
inline constexpr uint64_t kMostClipboardBytes = 64ull << 20;

// Where the monitors lie in an area of width x height pixels: the
// arrangement scaled to fit keeping its proportions, centred, each monitor
// `gap` pixels smaller on every side than its place, for its frame.
struct ScreenPaint {
    std::vector<PixelRect> monitors;  // as the arrangement's; empty rectangles when too small
};
ScreenPaint LayOutScreen(const Arrangement& arrangement, int width, int height, int gap);

// What a pixel of the chart shows: a monitor, the cell and the cell's top
// left on that monitor, in its pixels.
struct ScreenSpot {
    int monitor = -1;  // -1: off the maps
    int64_t cell = -1;
    Point at;
};
ScreenSpot SpotAt(const ScreenPaint& paint, const Arrangement& arrangement, int x, int y);

}  // namespace qm::ui

// Maps of the screen: where the cursor went and where each button was
// clicked, in cells of kCellPixels x kCellPixels physical pixels on each
// monitor of one arrangement.
//
// Cells are numbered monitor by monitor, in the arrangement's order: the
// cells of a monitor W x H pixels are ceil(W/8) columns by ceil(H/8) rows,
// row by row from its top left; the next monitor's cells follow. A cell at
// the right or bottom edge of a monitor whose size is no multiple of 8 is
// smaller. No cell lies outside a monitor, so nothing is ever drawn between
// monitors or onto the wrong one.
//
// The files, in the folder "history" beside history.csv:
//   2026-12-screen.map          the month's maps up to a segment (the base)
//   2026-12-screen-000042.map   what one save added (a segment)
// Both have one format, little-endian, every number after the first 16
// bytes an unsigned LEB128 varint (signed ones zigzag-coded):
//   "QMSCREEN"                  8 bytes
//   version                     1 byte, 1
//   kind                        1 byte, 'B' (base) or 'S' (segment)
//   reserved                    6 bytes, 0
//   stamp                       8 bytes: in a base, the last segment it
//                               holds; in a segment, the ContentHash of the
//                               stat.dat its save wrote
//   arrangements                varint, then for each:
//     monitors                  varint (1 to kMostMonitors), then for each:
//       left top right bottom   zigzag varints, physical pixels
//       widthMm heightMm        varints, 0 when not known
//       travelPixels            varint: the cursor's path on it, in pixels
//     4 layers (travel, left, right, middle button), for each:
//       cells                   varint, then for each: the cell's number
//                               (the first as it is, then the step from the
//                               one before, at least 1) and its count (>= 1)
//   check                       8 bytes: ContentHash of every byte before
// A month's maps are its base and its segments above the base's stamp. The
// travel layer counts how often the cursor's path entered a cell; a button's
// layer counts its clicks at the cursor.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/input_devices.h"
#include "core/platform/screens.h"

namespace qm {

inline constexpr int kCellPixels = 8;
inline constexpr size_t kMostMonitors = 16;
// Some 3 MB hold a month on three 4K monitors with every cell used.
inline constexpr uint64_t kLargestScreenBytes = 64ull << 20;

enum MapLayer { kTravelLayer, kLeftLayer, kRightLayer, kMiddleLayer, kMapLayers };

// The monitors' rectangles, in the order the system gave them; their sizes
// in millimetres ride along and are no part of what tells arrangements apart.
struct Arrangement {
    std::vector<Monitor> monitors;

    bool SameAs(const Arrangement& o) const;
    // The cells of all monitors, and where each monitor's cells begin.
    uint32_t CellCount() const;
    uint32_t FirstCell(size_t monitor) const;
    // The cells of a monitor across and down.
    static int32_t Columns(const Monitor& m) { return (m.Width() + kCellPixels - 1) / kCellPixels; }
    static int32_t Rows(const Monitor& m) { return (m.Height() + kCellPixels - 1) / kCellPixels; }
    // The monitor a point lies on; -1 when on none.
    int MonitorAt(Point p) const;
    // The cell of a point on a monitor; -1 when on none.
    int64_t CellAt(Point p) const;
    // The monitor of a cell and the cell's rectangle in pixels.
    size_t MonitorOfCell(uint32_t cell) const;
    Monitor CellRect(uint32_t cell) const;
};

// The arrangement's monitors as a usable map: at least one monitor, none
// empty or larger than 65536 pixels a side, at most kMostMonitors; a list
// that cannot be used becomes one 1 x 1 monitor at the origin.
Arrangement UsableArrangement(std::vector<Monitor> monitors);

// Calls `cell(number)` for each cell that the straight path from `from` to
// `to` enters, each once, monitor by monitor: the cell of `from` is not one
// (the path was in it already), that of `to` is unless it is the cell of
// `from`. Cells between monitors are none.
void ForEachCellEntered(const Arrangement& arrangement, Point from, Point to, const auto& cell);

// Counts by cell, ascending, none zero.
struct CellCount {
    uint32_t cell = 0;
    uint32_t count = 0;
    bool operator==(const CellCount&) const = default;
};
using Layer = std::vector<CellCount>;

struct ArrangementMap {
    Arrangement arrangement;
    std::array<Layer, kMapLayers> layers;
    std::vector<uint64_t> travelPixels;  // one for each monitor

    bool IsEmpty() const;
    bool operator==(const ArrangementMap& o) const {
        return arrangement.monitors == o.arrangement.monitors && layers == o.layers && travelPixels == o.travelPixels;
    }
};

// The maps of one month (or of a save), one for each arrangement.
using ScreenMaps = std::vector<ArrangementMap>;

// Adds `more` to the map of its arrangement in `to`, created when missing.
void AddMaps(ScreenMaps& to, const ScreenMaps& more);
void AddLayer(Layer& to, const Layer& more);

class ScreenFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ScreenFile {
    bool base = false;
    uint64_t stamp = 0;
    ScreenMaps maps;
};

std::string ScreenFileBytes(const ScreenFile& file);
// Raises ScreenFormatError unless the bytes are what ScreenFileBytes writes
// (cells on their arrangement, ascending; the check right).
ScreenFile ParseScreenFile(std::string_view bytes);

// history\2026-12-screen.map, history\2026-12-screen-000042.map.
std::string ScreenBaseName(std::string_view month);
std::string ScreenSegmentName(std::string_view month, uint32_t segment);
// A segment written before its save's stat.dat, until that lands:
// history\2026-12-screen-000042.new.
inline constexpr char kWrittenSuffix[] = ".new";
std::string ScreenWrittenName(std::string_view month, uint32_t segment);
// A name in the history folder (no folder): the month and the segment (0:
// the base) of a map file; false for any other name. With `written`, a .new
// segment is one too, and *written tells which it is.
bool ReadScreenFileName(std::string_view name, std::string& month, uint32_t& segment, bool* written = nullptr);

// ---- the path's cells, here for the compiler to inline into its callers ----

// Calls `step(cx, cy)` for each cell of the grid of kCellPixels whose
// origin is (ox, oy) that the line between the pixel centres of `from` and
// `to` enters after leaving the cell of `from`. Through a corner, the step
// across goes first.
void WalkCells(int64_t ox, int64_t oy, Point from, Point to, const auto& step) {
    const int64_t x0 = from.x - ox, y0 = from.y - oy, x1 = to.x - ox, y1 = to.y - oy;
    const int64_t dx = x1 - x0, dy = y1 - y0;
    const auto cellOf = [](int64_t a) { return a >= 0 ? a / kCellPixels : -((-a + kCellPixels - 1) / kCellPixels); };
    int64_t cx = cellOf(x0), cy = cellOf(y0);
    const int64_t ex = cellOf(x1), ey = cellOf(y1);
    const int sx = dx > 0 ? 1 : dx < 0 ? -1 : 0, sy = dy > 0 ? 1 : dy < 0 ? -1 : 0;
    const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    // The path's parameter at the next border across and down, scaled by
    // 2 * |dx| * |dy| to stay in integers.
    int64_t nextX = sx > 0 ? (2 * (cx + 1) * kCellPixels - 2 * x0 - 1) * ady : (2 * x0 + 1 - 2 * cx * kCellPixels) * ady;
    int64_t nextY = sy > 0 ? (2 * (cy + 1) * kCellPixels - 2 * y0 - 1) * adx : (2 * y0 + 1 - 2 * cy * kCellPixels) * adx;
    const int64_t deltaX = 2 * kCellPixels * ady, deltaY = 2 * kCellPixels * adx;
    // Without a branch on the direction, which a diagonal would make the
    // processor guess wrong every other cell.
    for (int64_t left = (ex - cx) * sx + (ey - cy) * sy; left > 0; --left) {
        const bool across = cy == ey || (cx != ex && nextX <= nextY);
        cx += across ? sx : 0;
        cy += across ? 0 : sy;
        nextX += across ? deltaX : 0;
        nextY += across ? 0 : deltaY;
        step(cx, cy);
    }
}

void ForEachCellEntered(const Arrangement& arrangement, Point from, Point to, const auto& cell) {
    if (from == to) return;
    // Monitors are rectangles: a path from one point of a monitor to another
    // lies on it all along, the common case, with no cell to check.
    if (const int on = arrangement.MonitorAt(from); on >= 0 && on == arrangement.MonitorAt(to)) {
        const Monitor& m = arrangement.monitors[static_cast<size_t>(on)];
        const int64_t columns = Arrangement::Columns(m);
        const uint32_t first = arrangement.FirstCell(static_cast<size_t>(on));
        WalkCells(m.left, m.top, from, to,
                  [&](int64_t cx, int64_t cy) { cell(first + static_cast<uint32_t>(cy * columns + cx)); });
        return;
    }
    const int32_t minX = std::min(from.x, to.x), maxX = std::max(from.x, to.x);
    const int32_t minY = std::min(from.y, to.y), maxY = std::max(from.y, to.y);
    for (size_t i = 0; i < arrangement.monitors.size(); ++i) {
        const Monitor& m = arrangement.monitors[i];
        if (maxX < m.left || minX >= m.right || maxY < m.top || minY >= m.bottom) continue;
        // Each monitor's cells start at its own corner: walk its grid.
        const int64_t columns = Arrangement::Columns(m), rows = Arrangement::Rows(m);
        const uint32_t first = arrangement.FirstCell(i);
        WalkCells(m.left, m.top, from, to, [&](int64_t cx, int64_t cy) {
            if (cx >= 0 && cy >= 0 && cx < columns && cy < rows) cell(first + static_cast<uint32_t>(cy * columns + cx));
        });
    }
}

}  // namespace qm

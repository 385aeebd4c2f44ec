#include "input/screen_ledger.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace qm {

namespace {

// Enough notes for an hour of a cursor that never rests; a save settles
// them every minute long before.
constexpr size_t kMostNotes = 1u << 16;

// The cell of a point, or of the nearest point on a monitor when it lies
// between monitors: every counted click is on the map.
uint32_t CellNearest(const Arrangement& arrangement, Point p) {
    if (const int64_t cell = arrangement.CellAt(p); cell >= 0) return static_cast<uint32_t>(cell);
    int64_t best = INT64_MAX;
    Point nearest;
    for (const Monitor& m : arrangement.monitors) {
        const Point in{std::clamp(p.x, m.left, m.right - 1), std::clamp(p.y, m.top, m.bottom - 1)};
        const int64_t dx = int64_t{in.x} - p.x, dy = int64_t{in.y} - p.y;
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            nearest = in;
        }
    }
    return static_cast<uint32_t>(arrangement.CellAt(nearest));
}

// The length of the line from a to b that lies on monitor m.
double LengthOn(const Monitor& m, double ax, double ay, double bx, double by) {
    double t0 = 0, t1 = 1;
    const double d[2] = {bx - ax, by - ay}, lo[2] = {double(m.left), double(m.top)},
                 hi[2] = {double(m.right), double(m.bottom)}, a[2] = {ax, ay};
    for (int k = 0; k < 2; ++k) {
        if (d[k] == 0) {
            if (a[k] < lo[k] || a[k] >= hi[k]) return 0;
            continue;
        }
        double e0 = (lo[k] - a[k]) / d[k], e1 = (hi[k] - a[k]) / d[k];
        if (e0 > e1) std::swap(e0, e1);
        t0 = std::max(t0, e0);
        t1 = std::min(t1, e1);
    }
    return t1 > t0 ? (t1 - t0) * std::hypot(d[0], d[1]) : 0;
}

}  // namespace

void SettleNotes(ScreenLedger& ledger) {
    if (ledger.notes.empty()) return;
    const Arrangement& arrangement = ledger.arrangement;
    const size_t monitors = arrangement.monitors.size();
    ArrangementMap map{arrangement, {}, std::vector<uint64_t>(monitors)};
    ledger.grid.resize(arrangement.CellCount());
    std::vector<double> travel(monitors);
    std::vector<CellCount> clicks;  // by layer, one for each click
    for (const ScreenNote& note : ledger.notes) {
        if (note.layer != kTravelLayer) {
            clicks.push_back({CellNearest(arrangement, note.to), static_cast<uint32_t>(note.layer)});
            continue;
        }
        ForEachCellEntered(arrangement, note.from, note.to, [&](uint32_t cell) { ++ledger.grid[cell]; });
        // The path's pixels on each monitor; a stretch between monitors goes
        // to the one it ends on, so that every pixel is somewhere.
        const double length = std::hypot(double(note.to.x) - note.from.x, double(note.to.y) - note.from.y);
        double placed = 0;
        for (size_t i = 0; i < monitors; ++i) {
            const double on = LengthOn(arrangement.monitors[i], note.from.x + 0.5, note.from.y + 0.5,
                                       note.to.x + 0.5, note.to.y + 0.5);
            travel[i] += on;
            placed += on;
        }
        if (placed < length) {
            const int end = arrangement.MonitorAt(note.to);
            travel[end >= 0 ? static_cast<size_t>(end) : arrangement.MonitorOfCell(CellNearest(arrangement, note.to))] +=
                length - placed;
        }
    }
    for (uint32_t cell = 0; cell < ledger.grid.size(); ++cell) {
        if (ledger.grid[cell] == 0) continue;
        map.layers[kTravelLayer].push_back({cell, ledger.grid[cell]});
        ledger.grid[cell] = 0;
    }
    std::sort(clicks.begin(), clicks.end(), [](const CellCount& a, const CellCount& b) { return a.cell < b.cell; });
    for (const CellCount& click : clicks) {
        Layer& layer = map.layers[click.count];
        if (!layer.empty() && layer.back().cell == click.cell)
            ++layer.back().count;
        else
            layer.push_back({click.cell, 1});
    }
    for (size_t i = 0; i < monitors; ++i) map.travelPixels[i] = static_cast<uint64_t>(std::llround(travel[i]));
    ledger.notes.clear();
    if (!map.IsEmpty()) AddMaps(ledger.unsaved[ledger.month], {std::move(map)});
}

void SetArrangement(ScreenLedger& ledger, Arrangement arrangement) {
    if (ledger.arrangement.SameAs(arrangement)) {
        ledger.arrangement.monitors = std::move(arrangement.monitors);  // the sizes, should they be new
        return;
    }
    SettleNotes(ledger);
    ledger.arrangement = std::move(arrangement);
}

void NoteTick(ScreenLedger& ledger, std::string_view date, Point from, Point to, bool moved, int left, int right,
              int middle) {
    if (!moved && left == 0 && right == 0 && middle == 0) return;
    const std::string_view month = date.substr(0, 7);
    if (ledger.month != month) {
        SettleNotes(ledger);
        ledger.month = month;
    }
    if (moved) ledger.notes.push_back({from, to, kTravelLayer});
    for (int i = 0; i < left; ++i) ledger.notes.push_back({to, to, kLeftLayer});
    for (int i = 0; i < right; ++i) ledger.notes.push_back({to, to, kRightLayer});
    for (int i = 0; i < middle; ++i) ledger.notes.push_back({to, to, kMiddleLayer});
    if (ledger.notes.size() >= kMostNotes) SettleNotes(ledger);
}

std::map<std::string, ScreenMaps> TakeUnsaved(ScreenLedger& ledger) {
    SettleNotes(ledger);
    return std::exchange(ledger.unsaved, {});
}

std::map<std::string, ScreenMaps> UnsavedNow(const ScreenLedger& ledger) {
    if (ledger.notes.empty()) return ledger.unsaved;
    ScreenLedger copy{ledger.arrangement, ledger.month, ledger.notes, ledger.unsaved, {}};
    SettleNotes(copy);
    return std::move(copy.unsaved);
}

}  // namespace qm

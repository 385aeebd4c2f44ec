#include "ui/screen_picture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

namespace qm::ui {

namespace {

uint32_t Packed(Rgb c) { return static_cast<uint32_t>(c.r) << 16 | static_cast<uint32_t>(c.g) << 8 | c.b; }

// The palette at 1024 points of the scale, and each count's colour once
// worked out: a picture of a million cells makes a few thousand colours,
// not a million.
class ScaleTable {
public:
    explicit ScaleTable(uint32_t highest) : highest_(highest), byCount_(std::min(highest, 65535u) + 1, kUnknown) {}
    uint32_t operator()(uint32_t count) {
        if (count == 0) return Packed(kQuietCell);
        if (count < byCount_.size()) {
            uint32_t& known = byCount_[count];
            if (known == kUnknown) known = Look(count, highest_);
            return known;
        }
        return Look(count, highest_);
    }
    static double Fraction(uint32_t count, uint32_t highest) {
        // One count is the scale's start, the highest its end.
        if (highest <= 1) return 1;
        return std::clamp(std::log(static_cast<double>(count)) / std::log(static_cast<double>(highest)), 0.0, 1.0);
    }

    static uint32_t Look(uint32_t count, uint32_t highest) {
        // Made at the first use, on the heap: a static table is 4 KB of the exe.
        static const std::vector<uint32_t> palette = [] {
            std::vector<uint32_t> colours(1024);
            for (size_t i = 0; i < colours.size(); ++i)
                colours[i] = Packed(ScaleColour(static_cast<double>(i) / (colours.size() - 1)));
            return colours;
        }();
        return palette[static_cast<size_t>(std::lround(Fraction(count, highest) * (palette.size() - 1)))];
    }

private:
    static constexpr uint32_t kUnknown = 0xFFFFFFFF;  // no colour has its top byte set
    uint32_t highest_;
    std::vector<uint32_t> byCount_;
};

}  // namespace

ScreenCounts CountsOf(const ArrangementMap& map, ScreenWhat what) {
    ScreenCounts counts;
    counts.arrangement = map.arrangement;
    counts.travelPixels = map.travelPixels;
    counts.travelPixels.resize(map.arrangement.monitors.size());
    counts.cells.assign(map.arrangement.CellCount(), 0);
    const auto add = [&](MapLayer layer) {
        for (const CellCount& c : map.layers[layer])
            if (c.cell < counts.cells.size()) {
                uint32_t& cell = counts.cells[c.cell];
                cell = c.count > UINT32_MAX - cell ? UINT32_MAX : cell + c.count;
            }
    };
    switch (what) {
        case ScreenWhat::Travel: add(kTravelLayer); break;
        case ScreenWhat::Clicks:
            add(kLeftLayer);
            add(kRightLayer);
            add(kMiddleLayer);
            break;
        case ScreenWhat::Left: add(kLeftLayer); break;
        case ScreenWhat::Right: add(kRightLayer); break;
        case ScreenWhat::Middle: add(kMiddleLayer); break;
    }
    for (uint32_t c : counts.cells) {
        counts.highest = std::max(counts.highest, c);
        counts.total += c;
    }
    return counts;
}

Rgb ScaleColour(double fraction) {
    // From the palette's blue for the fewest to its light end for the most:
    // on the quiet cells the busy ones stand out most, and a lone pass or
    // click still shows (the darker purples would all but vanish there).
    return PaletteColour(0.75 * (1 - std::clamp(fraction, 0.0, 1.0)));
}

Rgb CellColour(uint32_t count, uint32_t highest) {
    if (count == 0 || highest == 0) return kQuietCell;
    const uint32_t c = ScaleTable::Look(std::min(count, highest), highest);
    return {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)};
}

std::vector<LegendMark> LegendMarks(uint32_t highest) {
    std::vector<LegendMark> marks;
    if (highest == 0) return marks;
    marks.push_back({highest == 1 ? 1.0 : 0.0, 1});
    if (highest == 1) return marks;
    const uint32_t middle = static_cast<uint32_t>(std::lround(std::sqrt(static_cast<double>(highest))));
    if (middle > 1 && middle < highest) marks.push_back({ScaleTable::Fraction(middle, highest), middle});
    marks.push_back({1.0, highest});
    return marks;
}

ScreenPicture DrawScreen(const ScreenCounts& counts) {
    ScreenPicture picture;
    const std::vector<Monitor>& monitors = counts.arrangement.monitors;
    if (monitors.empty()) return picture;
    int32_t right = monitors[0].right, bottom = monitors[0].bottom;
    picture.left = monitors[0].left;
    picture.top = monitors[0].top;
    ScaleTable colour(counts.highest);
    for (size_t i = 0; i < monitors.size(); ++i) {
        const Monitor& m = monitors[i];
        picture.left = std::min(picture.left, m.left);
        picture.top = std::min(picture.top, m.top);
        right = std::max(right, m.right);
        bottom = std::max(bottom, m.bottom);
        MonitorImage image{m, Arrangement::Columns(m), Arrangement::Rows(m), {}};
        const size_t cells = static_cast<size_t>(image.columns) * static_cast<size_t>(image.rows);
        image.pixels.resize(cells);
        const size_t first = counts.arrangement.FirstCell(i);
        for (size_t c = 0; c < cells; ++c)
            image.pixels[c] = first + c < counts.cells.size() ? colour(counts.cells[first + c]) : Packed(kQuietCell);
        picture.monitors.push_back(std::move(image));
    }
    picture.width = right - picture.left;
    picture.height = bottom - picture.top;
    return picture;
}

MonitorImage FitMonitor(const ScreenCounts& counts, size_t monitor, int width, int height) {
    const Monitor& m = counts.arrangement.monitors.at(monitor);
    const int32_t columns = Arrangement::Columns(m), rows = Arrangement::Rows(m);
    MonitorImage image{m, std::clamp(width, 1, columns), std::clamp(height, 1, rows), {}};
    std::vector<uint32_t> busiest(static_cast<size_t>(image.columns) * static_cast<size_t>(image.rows));
    const uint32_t* cells = counts.cells.data() + counts.arrangement.FirstCell(monitor);
    for (int32_t y = 0; y < rows; ++y) {
        const auto pixelRow = static_cast<size_t>(static_cast<int64_t>(y) * image.rows / rows);
        uint32_t* row = busiest.data() + pixelRow * static_cast<size_t>(image.columns);
        for (int32_t x = 0; x < columns; ++x) {
            uint32_t& at = row[static_cast<int64_t>(x) * image.columns / columns];
            at = std::max(at, *cells++);
        }
    }
    ScaleTable colour(counts.highest);
    image.pixels.resize(busiest.size());
    std::transform(busiest.begin(), busiest.end(), image.pixels.begin(), std::ref(colour));
    return image;
}

void ScreenPicture::Rows(int32_t outWidth, int32_t outHeight, int32_t first, int32_t count, uint8_t* out,
                         size_t stride) const {
    if (outWidth <= 0 || outHeight <= 0 || width <= 0 || height <= 0) return;
    // The picture's column of each column made, and where each monitor's run of them lies.
    std::vector<int32_t> sourceX(static_cast<size_t>(outWidth));
    for (int32_t x = 0; x < outWidth; ++x)
        sourceX[static_cast<size_t>(x)] = left + static_cast<int32_t>(static_cast<int64_t>(x) * width / outWidth);
    struct Run {
        size_t from = 0, to = 0;
    };
    std::vector<Run> runs(monitors.size());
    for (size_t i = 0; i < monitors.size(); ++i) {
        const Monitor& m = monitors[i].monitor;
        runs[i].from = static_cast<size_t>(std::lower_bound(sourceX.begin(), sourceX.end(), m.left) - sourceX.begin());
        runs[i].to = static_cast<size_t>(std::lower_bound(sourceX.begin(), sourceX.end(), m.right) - sourceX.begin());
    }
    const size_t rowBytes = static_cast<size_t>(outWidth) * 3;
    // Rows of the same cell row on every monitor are the same: made once, copied after.
    std::vector<int32_t> cellRows(monitors.size()), previous;
    for (int32_t y = first; y < first + count && y < outHeight; ++y) {
        uint8_t* row = out + static_cast<size_t>(y - first) * stride;
        const int32_t sy = top + static_cast<int32_t>(static_cast<int64_t>(y) * height / outHeight);
        for (size_t i = 0; i < monitors.size(); ++i) {
            const Monitor& m = monitors[i].monitor;
            cellRows[i] = sy >= m.top && sy < m.bottom ? (sy - m.top) / kCellPixels : -1;
        }
        if (y > first && cellRows == previous) {
            std::memcpy(row, row - stride, rowBytes);
            continue;
        }
        previous = cellRows;
        std::memset(row, 0, rowBytes);
        for (size_t i = 0; i < monitors.size(); ++i) {
            if (cellRows[i] < 0) continue;
            const MonitorImage& image = monitors[i];
            const uint32_t* cells = image.pixels.data() + static_cast<size_t>(cellRows[i]) * image.columns;
            for (size_t x = runs[i].from; x < runs[i].to; ++x) {
                const uint32_t c = cells[(sourceX[x] - image.monitor.left) / kCellPixels];
                uint8_t* px = row + x * 3;
                px[0] = static_cast<uint8_t>(c);
                px[1] = static_cast<uint8_t>(c >> 8);
                px[2] = static_cast<uint8_t>(c >> 16);
            }
        }
    }
}

PictureSize FitPicture(int32_t width, int32_t height, uint64_t mostBytes) {
    const auto bytes = [](int64_t w, int64_t h) { return static_cast<uint64_t>((w * 3 + 3) / 4 * 4 * h); };
    if (width <= 0 || height <= 0) return {};
    if (bytes(width, height) <= mostBytes) return {width, height};
    double scale = std::sqrt(static_cast<double>(mostBytes) / static_cast<double>(bytes(width, height)));
    PictureSize size;
    do {
        size = {std::max<int32_t>(1, static_cast<int32_t>(width * scale)),
                std::max<int32_t>(1, static_cast<int32_t>(height * scale))};
        scale *= 0.99;
    } while (bytes(size.width, size.height) > mostBytes && (size.width > 1 || size.height > 1));
    return size;
}

ScreenPaint LayOutScreen(const Arrangement& arrangement, int width, int height, int gap) {
    ScreenPaint paint;
    const std::vector<Monitor>& monitors = arrangement.monitors;
    paint.monitors.resize(monitors.size());
    if (monitors.empty() || width <= 0 || height <= 0) return paint;
    int64_t left = monitors[0].left, top = monitors[0].top, right = monitors[0].right, bottom = monitors[0].bottom;
    for (const Monitor& m : monitors) {
        left = std::min<int64_t>(left, m.left), top = std::min<int64_t>(top, m.top);
        right = std::max<int64_t>(right, m.right), bottom = std::max<int64_t>(bottom, m.bottom);
    }
    const double scale = std::min(static_cast<double>(width) / static_cast<double>(right - left),
                                  static_cast<double>(height) / static_cast<double>(bottom - top));
    const double x0 = (width - (right - left) * scale) / 2, y0 = (height - (bottom - top) * scale) / 2;
    auto px = [&](double origin, int64_t at) { return static_cast<int>(std::lround(origin + at * scale)); };
    for (size_t i = 0; i < monitors.size(); ++i) {
        const Monitor& m = monitors[i];
        PixelRect r{px(x0, m.left - left) + gap, px(y0, m.top - top) + gap, px(x0, m.right - left) - gap,
                    px(y0, m.bottom - top) - gap};
        if (r.right > r.left && r.bottom > r.top) paint.monitors[i] = r;
    }
    return paint;
}

ScreenSpot SpotAt(const ScreenPaint& paint, const Arrangement& arrangement, int x, int y) {
    ScreenSpot spot;
    for (size_t i = 0; i < paint.monitors.size() && i < arrangement.monitors.size(); ++i) {
        const PixelRect& r = paint.monitors[i];
        if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) continue;
        const Monitor& m = arrangement.monitors[i];
        // The physical pixel under the middle of the chart's pixel.
        const auto along = [](int at, int from, int size, int32_t pixels) {
            const double p = (at - from + 0.5) * pixels / size;
            return std::clamp(static_cast<int32_t>(p), 0, pixels - 1);
        };
        const Point on{along(x, r.left, r.Width(), m.Width()), along(y, r.top, r.Height(), m.Height())};
        spot.monitor = static_cast<int>(i);
        spot.cell = arrangement.CellAt({m.left + on.x, m.top + on.y});
        spot.at = {on.x / kCellPixels * kCellPixels, on.y / kCellPixels * kCellPixels};
        return spot;
    }
    return spot;
}

}  // namespace qm::ui

#include "ui/chart_paint.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "core/display.h"
#include "ui/chart_text.h"

namespace qm::ui {

namespace {

// Pixels at 96 dpi, scaled to the dpi.
int Scaled(int pixels, int dpi) { return static_cast<int>((int64_t{pixels} * dpi + 48) / 96); }

// count * step. A decimal step as whole units over a power of ten: one
// rounding, so that each value is the double nearest to its decimal text.
double Multiple(int count, double step, int decimals) {
    if (decimals > 0 && decimals <= 22) {
        const double scale = std::pow(10.0, decimals);
        return count * std::round(step * scale) / scale;
    }
    return count * step;
}

// Gridlines keep at least two text lines apart, and five steps are plenty
// for a chart of a few hundred pixels.
constexpr int kMostIntervals = 5;

}  // namespace

double ValueAxis::Value(int gridline) const {
    return gridline >= intervals ? top : Multiple(gridline, step, decimals);
}

ValueAxis RoundAxis(double maxValue, int mostIntervals, bool wholeNumbers) {
    const int most = std::max(mostIntervals, 1);
    double max = maxValue > 0 ? std::min(maxValue, std::numeric_limits<double>::max()) : 0;
    if (max == 0) max = 1;
    // From a power of ten below the step's size, as log10 may miss an exact power by a hair.
    int exponent = static_cast<int>(std::floor(std::log10(max / most))) - 1;
    if (wholeNumbers) exponent = std::max(exponent, 0);
    for (; exponent <= std::numeric_limits<double>::max_exponent10; ++exponent) {
        for (int mantissa : {1, 2, 5}) {
            ValueAxis axis;
            axis.decimals = std::max(0, -exponent);
            axis.step = exponent >= 0 ? mantissa * std::pow(10.0, exponent) : mantissa / std::pow(10.0, -exponent);
            // A maximum a rounding error above a multiple of the step is that multiple.
            const double steps = std::max(1.0, std::ceil(max / axis.step * (1 - 1e-12)));
            if (steps > most) continue;
            axis.intervals = static_cast<int>(steps);
            axis.top = Multiple(axis.intervals, axis.step, axis.decimals);
            if (std::isfinite(axis.top)) return axis;
        }
    }
    // Near the largest double no round top exists: the maximum itself is the top.
    ValueAxis axis;
    axis.intervals = most;
    axis.top = max;
    axis.step = max / most;
    return axis;
}

namespace {

// What a chart's bars are to be laid out: whatever they stand for, a figure,
// the largest value, and a value and a label for each.
struct Bars {
    ChartFigure figure;
    double maxValue;
    size_t count;
    std::function<double(size_t)> value;
    std::function<std::string(size_t)> label;
};

ChartPaint LayOutBars(const Bars& chart, int width, int height, int dpi, int textHeight, const TextWidth& textWidth,
                      const NumberFormat& numbers) {
    ChartPaint paint;
    const int margin = Scaled(8, dpi), axisGap = Scaled(6, dpi), labelGap = Scaled(4, dpi);
    const int labelSpacing = Scaled(6, dpi), widestBar = Scaled(64, dpi);
    const int line = std::max(textHeight, 1);

    // Half a line above the plot for the top gridline's label, centred on
    // it; a line below the zero line for the period labels.
    PixelRect plot;
    plot.top = margin + line / 2;
    plot.bottom = height - margin - line - labelGap - 1;
    const int most = std::clamp(std::max(plot.Height(), 0) / (2 * line), 1, kMostIntervals);
    paint.axis = RoundAxis(chart.maxValue, most, WholeNumbers(chart.figure));
    const ValueAxis& axis = paint.axis;

    std::vector<std::string> axisTexts;
    std::vector<int> axisWidths;
    for (int i = 0; i <= axis.intervals; ++i) {
        axisTexts.push_back(numbers.Format(axis.Value(i), axis.decimals));
        axisWidths.push_back(textWidth(axisTexts.back()));
    }
    const int widest = *std::max_element(axisWidths.begin(), axisWidths.end());
    plot.left = margin + widest + axisGap;
    plot.right = width - margin;
    if (plot.Width() <= 0 || plot.Height() <= 0 || chart.count == 0) return paint;
    paint.plot = plot;

    const int64_t plotHeight = plot.Height();
    for (int i = 0; i <= axis.intervals; ++i) {
        Gridline g;
        // i / intervals of the height, rounded: the top gridline lies on plot.top exactly.
        g.y = plot.bottom - static_cast<int>((2 * i * plotHeight + axis.intervals) / (2 * axis.intervals));
        g.value = axis.Value(i);
        const int right = plot.left - axisGap, top = g.y - line / 2;
        g.label = {std::move(axisTexts[i]), {right - axisWidths[i], top, right, top + line}};
        paint.gridlines.push_back(std::move(g));
    }

    // Each bar owns an equal column (to the pixel) of the plot and stands in
    // its middle. All bars are as wide, a quarter of the narrower columns
    // left as the gap, and never wider than a few labels, so that a lone
    // year is no wall.
    const size_t n = chart.count;
    const int64_t plotWidth = plot.Width();
    const int column = static_cast<int>(plotWidth / static_cast<int64_t>(n));
    const int gap = column >= 3 ? std::max(column / 4, 1) : 0;
    const int barWidth = std::clamp(column - gap, 1, std::max(widestBar, 1));
    for (size_t i = 0; i < n; ++i) {
        BarPlace place;
        place.slotLeft = plot.left + static_cast<int>(static_cast<int64_t>(i) * plotWidth / static_cast<int64_t>(n));
        place.slotRight =
            plot.left + static_cast<int>(static_cast<int64_t>(i + 1) * plotWidth / static_cast<int64_t>(n));
        const int left = place.slotLeft + std::max(place.slotRight - place.slotLeft - barWidth, 0) / 2;
        // A figure above 0 shows, however small beside the others.
        const double share = std::min(chart.value(i) / axis.top, 1.0);
        int barHeight = share > 0 ? static_cast<int>(std::llround(share * static_cast<double>(plotHeight))) : 0;
        if (share > 0 && barHeight == 0) barHeight = 1;
        place.bar = {left, plot.bottom - barHeight, left + barWidth, plot.bottom};
        paint.bars.push_back(place);
    }

    // Period labels centred under their bars, pushed inside the area at its
    // ends (but not under the axis labels). Every k-th from the current bar
    // back, with the least k at which none touches the next.
    std::vector<ChartText> labels(n);
    std::vector<bool> fits(n);
    const int lowest = plot.left, labelTop = plot.bottom + 1 + labelGap;
    for (size_t i = 0; i < n; ++i) {
        ChartText& label = labels[i];
        label.text = chart.label(i);
        const int w = textWidth(label.text);
        const PixelRect& bar = paint.bars[i].bar;
        const int left = std::clamp((bar.left + bar.right - w) / 2, lowest, std::max(width - w, lowest));
        label.rect = {left, labelTop, left + w, labelTop + line};
        fits[i] = label.rect.right <= width;
    }
    for (size_t k = 1; k <= n && paint.labelEvery == 0; ++k) {
        bool clear = true;
        int nextLeft = std::numeric_limits<int>::max();
        for (size_t back = 0; back < n && clear; back += k) {
            const size_t i = n - 1 - back;
            const PixelRect& rect = labels[i].rect;
            clear = fits[i] && (back == 0 || rect.right + labelSpacing <= nextLeft);
            nextLeft = rect.left;
        }
        if (clear) paint.labelEvery = static_cast<int>(k);
    }
    if (paint.labelEvery > 0)
        for (size_t i = (n - 1) % static_cast<size_t>(paint.labelEvery); i < n; i += paint.labelEvery)
            paint.labels.push_back({static_cast<int>(i), std::move(labels[i])});
    return paint;
}

}  // namespace

ChartPaint LayOutChart(const HistoryChart& chart, int width, int height, int dpi, int textHeight,
                       const TextWidth& textWidth, const NumberFormat& numbers) {
    return LayOutBars({chart.figure, chart.maxValue, chart.bars.size(), [&](size_t i) { return chart.bars[i].value; },
                       [&](size_t i) { return BarLabel(chart, static_cast<int>(i)); }},
                      width, height, dpi, textHeight, textWidth, numbers);
}

ChartPaint LayOutChart(const HoursChart& chart, int width, int height, int dpi, int textHeight,
                       const TextWidth& textWidth, const NumberFormat& numbers) {
    return LayOutBars({chart.figure, chart.maxValue, chart.bars.size(), [&](size_t i) { return chart.bars[i].value; },
                       [](size_t i) { return std::to_string(i); }},
                      width, height, dpi, textHeight, textWidth, numbers);
}

int BarAt(const ChartPaint& paint, int x, int y) {
    const PixelRect& plot = paint.plot;
    if (paint.bars.empty() || x < plot.left || x >= plot.right || y < plot.top || y >= plot.bottom) return -1;
    // The last column that starts at or before x; columns of no width (more
    // bars than pixels) start where the next one does and hold no point.
    auto after = std::upper_bound(paint.bars.begin(), paint.bars.end(), x,
                                  [](int px, const BarPlace& place) { return px < place.slotLeft; });
    if (after == paint.bars.begin()) return -1;
    const int index = static_cast<int>(after - paint.bars.begin()) - 1;
    return x < paint.bars[index].slotRight ? index : -1;
}

std::vector<ProgramRowPlace> LayOutProgramRows(const std::vector<double>& fractions, int width, int height,
                                               int textHeight, int iconSize, int margin, int widestName,
                                               int widestValue) {
    std::vector<ProgramRowPlace> places;
    if (fractions.empty() || width <= 4 * margin || height <= 2 * margin || textHeight <= 0) return places;
    const int rowHeight = std::max(std::min((height - 2 * margin) / static_cast<int>(fractions.size()), 2 * textHeight),
                                   std::max(textHeight, iconSize) + 2);
    const int icon = std::min(iconSize, rowHeight - 2);
    const int nameLeft = margin + icon + margin / 2;
    const int nameRight = nameLeft + std::min(widestName, (width - 2 * margin) / 3);
    const int barLeft = nameRight + margin;
    const int barRoom = std::max(0, width - margin - widestValue - margin / 2 - barLeft);
    for (size_t i = 0; i < fractions.size(); ++i) {
        const int top = margin + static_cast<int>(i) * rowHeight;
        if (top + rowHeight > height - margin / 2) break;
        ProgramRowPlace place;
        place.row = {0, top, width, top + rowHeight};
        const int iconTop = top + (rowHeight - icon) / 2;
        place.icon = {margin, iconTop, margin + icon, iconTop + icon};
        const int textTop = top + (rowHeight - textHeight) / 2;
        place.name = {nameLeft, textTop, nameRight, textTop + textHeight};
        const double fraction = std::clamp(fractions[i], 0.0, 1.0);
        const int barHeight = std::max(2, rowHeight * 3 / 5);
        const int barTop = top + (rowHeight - barHeight) / 2;
        const int barRight = barLeft + static_cast<int>(std::lround(fraction * barRoom));
        place.bar = {barLeft, barTop, barRight, barTop + barHeight};
        place.value = {barRight + margin / 2, textTop, width - margin, textTop + textHeight};
        places.push_back(place);
    }
    return places;
}

int ProgramRowAt(const std::vector<ProgramRowPlace>& rows, int x, int y) {
    for (size_t i = 0; i < rows.size(); ++i)
        if (x >= rows[i].row.left && x < rows[i].row.right && y >= rows[i].row.top && y < rows[i].row.bottom)
            return static_cast<int>(i);
    return -1;
}

}  // namespace qm::ui

// Where the History window's chart lies for one paint: the value axis with
// round steps, the bars' columns, the gridlines and the period labels, and
// which bar a point is on.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/platform/number_format.h"
#include "ui/history_chart.h"
#include "ui/hours_chart.h"

namespace qm::ui {

// A value axis from 0 with round steps: 1, 2 or 5 times a power of ten.
struct ValueAxis {
    double step = 1;     // between two gridlines
    double top = 1;      // the value at the top of the plot, step * intervals
    int intervals = 1;   // gridlines are 0 to intervals
    int decimals = 0;    // what the labels need to tell the steps apart

    // The value of gridline i, 0 at the bottom; decimal steps are exact to
    // the last digit (3 * 0.1 is 0.3, not 0.30000000000000004).
    double Value(int gridline) const;
};

// The smallest round step that covers maxValue in at most `mostIntervals`
// steps (at least 1). Whole-number figures get steps of at least 1. A
// maximum of 0 (or below) gives an axis from 0 to 1.
ValueAxis RoundAxis(double maxValue, int mostIntervals, bool wholeNumbers);

// Pixels of the chart area; right and bottom lie just outside, as in Win32's RECT.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const PixelRect&) const = default;
};

// A text and the rectangle it is drawn in, its width as measured.
struct ChartText {
    std::string text;
    PixelRect rect;
};

struct BarPlace {
    PixelRect bar;        // empty (no height) for a value of 0
    int slotLeft = 0;     // the bar's column with half the gap on either side:
    int slotRight = 0;    // what points at the bar
};

struct Gridline {
    int y = 0;            // the pixel row of the line; 0's lies on plot.bottom, just under the bars
    double value = 0;
    ChartText label;      // right-aligned left of the plot, centred on the line
};

struct PeriodLabel {
    int bar = 0;          // the bar it names
    ChartText label;      // under the plot, centred under its bar where the area allows
};

struct ChartPaint {
    PixelRect plot;                     // the bars' area; empty when the chart area is too small
    ValueAxis axis;
    std::vector<BarPlace> bars;         // as the chart's bars; none when the plot is empty
    std::vector<Gridline> gridlines;    // from the bottom up
    std::vector<PeriodLabel> labels;    // left to right, never overlapping
    int labelEvery = 0;                 // every k-th bar has its label, counted back from the last; 0: none fits
};

// Width in pixels of a text in the window's font at the paint's dpi.
using TextWidth = std::function<int(const std::string&)>;

// Where the chart lies in an area of width x height pixels at `dpi`, with
// text `textHeight` pixels high: the axis labels take what the widest needs
// at the left, the period labels a line at the bottom, margins grow with the
// dpi. Gridlines keep at least two text lines apart.
ChartPaint LayOutChart(const HistoryChart& chart, int width, int height, int dpi, int textHeight,
                       const TextWidth& textWidth, const NumberFormat& numbers);
// The same for the Hours tab's 24 bars, labelled 0 to 23.
ChartPaint LayOutChart(const HoursChart& chart, int width, int height, int dpi, int textHeight,
                       const TextWidth& textWidth, const NumberFormat& numbers);

// The bar whose slot holds x, when (x, y) lies in the plot; otherwise -1.
int BarAt(const ChartPaint& paint, int x, int y);

// The Programs tab's rows: one per bar from the top, each with the
// program's icon, its name at the left, and its bar from the names' column
// to the value written at the bar's end.
struct ProgramRowPlace {
    PixelRect row;    // the whole row: what points at it
    PixelRect icon;   // a square, centred in the row's height
    PixelRect name;   // the name, cut with an ellipsis where it is wider
    PixelRect bar;    // of no width for a value of 0
    PixelRect value;  // right of the bar's end
};

// Rows of at most two text lines each, as many as the area holds of
// `rows`; the names' column as wide as the widest name needs, up to a third
// of the width; room for the widest value at the right.
std::vector<ProgramRowPlace> LayOutProgramRows(const std::vector<double>& fractions, int width, int height,
                                               int textHeight, int iconSize, int margin, int widestName,
                                               int widestValue);
// The row that (x, y) is on, or -1.
int ProgramRowAt(const std::vector<ProgramRowPlace>& rows, int x, int y);

}  // namespace qm::ui

// The History window's chart as plain data: one figure of history.csv over
// one period as a bar for each day, month or year, its value axis, where
// everything lies for a paint, which bar a point is on, and the texts the
// window shows and copies. The Win32 window draws what this says and decides
// nothing itself, so all of it is tested without a screen.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/history.h"
#include "core/platform/clock.h"
#include "core/platform/date_format.h"
#include "core/platform/number_format.h"

namespace qm::ui {

// What the bars show, in the order of the window's list.
enum class ChartFigure { KeysPressed, MouseClicks, MouseMeters, LettersTyped, TypingSpeed, HoursMeasured };
inline constexpr ChartFigure kChartFigures[] = {ChartFigure::KeysPressed, ChartFigure::MouseClicks,
                                                ChartFigure::MouseMeters, ChartFigure::LettersTyped,
                                                ChartFigure::TypingSpeed, ChartFigure::HoursMeasured};

// Which bars: a day each for the last 30 days, a calendar month each for the
// last 12 months, a year each from the first year of the history.
enum class ChartPeriod { LastThirtyDays, LastTwelveMonths, AllYears };
inline constexpr ChartPeriod kChartPeriods[] = {ChartPeriod::LastThirtyDays, ChartPeriod::LastTwelveMonths,
                                                ChartPeriod::AllYears};

// "Keys pressed", "Last 30 days" and so on, as the window lists them.
const char* FigureName(ChartFigure figure);
const char* PeriodName(ChartPeriod period);

// "Jan" to "Dec".
const char* MonthAbbrev(int month);

// Letters a minute as the main window computes them, floor(letters * 66 /
// typing seconds), from the sums of whatever span; 0 without typing seconds.
double TypingSpeed(const DayFigures& sums);

// The figure of a span (a day, a month, a year, a period) from its sums:
// counts as they are, meters at 3500 pixels each, hours of measured time.
double FigureValue(ChartFigure figure, const DayFigures& sums);

// Counts and speeds are whole numbers; meters and hours have fractions.
bool WholeNumbers(ChartFigure figure);

// Decimals of the figure in the window's texts.
int FigureDecimals(ChartFigure figure);

struct ChartBar {
    LocalDate date;          // the day; the first day of a month's or a year's bar
    DayFigures sums;         // of the days of its span, today's unsaved figures included
    int activeDays = 0;      // days of the span with a figure other than zero
    double value = 0;        // the chosen figure of `sums`
    bool current = false;    // today, this month or this year
};

struct HistoryChart {
    ChartFigure figure = ChartFigure::KeysPressed;
    ChartPeriod period = ChartPeriod::LastThirtyDays;
    LocalDate today;
    std::vector<ChartBar> bars;  // oldest first; the last one is the current one
    double maxValue = 0;         // of the bars, never below 0
    DayFigures sums;             // of the whole period
    int activeDays = 0;
    // The single day of the period with the highest figure (for the speed,
    // the day's own speed); the earliest of equal ones. None when no day's
    // figure is above 0.
    bool hasBestDay = false;
    LocalDate bestDay;
    double bestValue = 0;
};

// The chart of `figure` over `period` ending today. `rows` are history.csv's
// rows (ascending, as ParseHistory gives them; another order gives the same
// chart). `unsaved` is what the program has counted since its last save,
// which history.csv does not hold yet: it belongs to today. Days without a
// row are bars of zero. Rows dated after today (the clock was put back) lie
// in none of the periods, which all end today: they are left out until their
// day comes.
HistoryChart BuildHistoryChart(const std::vector<HistoryRow>& rows, const DayFigures& unsaved,
                               const LocalDate& today, ChartFigure figure, ChartPeriod period);

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

// The bar whose slot holds x, when (x, y) lies in the plot; otherwise -1.
int BarAt(const ChartPaint& paint, int x, int y);

// A bar's label: the day of the month ("7"), the month ("Dec") or the year ("2026").
std::string BarLabel(const HistoryChart& chart, int bar);

// The line under the chart. With a bar (0 and up): its day, month or year and
// all of its figures. With -1: the period's total of the figure, its average
// per active day and its best day.
std::string DetailText(const HistoryChart& chart, int bar, const NumberFormat& numbers, const DateFormat& dates);

// The bars as a spreadsheet takes them: a header line, then per bar its date
// (YYYY-MM-DD, YYYY-MM or YYYY) and every figure, separated by tabs, with
// "." decimals and no grouping whatever the region; lines end in CR LF.
std::string ClipboardText(const HistoryChart& chart);

}  // namespace qm::ui

// The History window's chart as plain data: one figure of history.csv over
// one period as a bar for each day, month or year. Where everything lies for
// a paint is in chart_paint.h, the texts the window shows and copies in
// chart_text.h. The Win32 window draws what these say and decides nothing
// itself, so all of it is tested without a screen.
#pragma once

#include <string>
#include <vector>

#include "core/history.h"
#include "core/platform/clock.h"

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

}  // namespace qm::ui

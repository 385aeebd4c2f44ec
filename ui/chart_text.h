// The texts of the History window's chart: the names in its lists, the bars'
// labels, the line under the chart and what Copy puts on the clipboard.
#pragma once

#include <iterator>
#include <string>

#include "core/platform/date_format.h"
#include "core/platform/number_format.h"
#include "ui/history_chart.h"

namespace qm::ui {

// "Keys pressed", "Last 30 days" and so on, as the window lists them: one
// name for each figure and period, in the order of the enums.
inline constexpr const char* kFigureNames[] = {"Keys pressed",  "Mouse clicks", "Meters of mouse travel",
                                               "Letters typed", "Typing speed", "Time measured (hours)"};
inline constexpr const char* kPeriodNames[] = {"Last 30 days", "Last 12 months", "All years"};
static_assert(std::size(kFigureNames) == std::size(kChartFigures));
static_assert(std::size(kPeriodNames) == std::size(kChartPeriods));
inline const char* FigureName(ChartFigure figure) { return kFigureNames[static_cast<int>(figure)]; }
inline const char* PeriodName(ChartPeriod period) { return kPeriodNames[static_cast<int>(period)]; }

// "Jan" to "Dec".
const char* MonthAbbrev(int month);

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

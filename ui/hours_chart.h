// The Hours tab's chart as plain data: one figure as 24 bars, one per hour
// of the day, each the period's total for that hour, from the month files
// of hours. Its texts (the detail line, Copy) are here too.
#pragma once

#include <string>
#include <vector>

#include "core/hours.h"
#include "core/platform/number_format.h"
#include "ui/history_chart.h"

namespace qm::ui {

enum class HoursPeriod { Today, Yesterday, LastSevenDays, LastThirtyDays, AllTime };
inline constexpr HoursPeriod kHoursPeriods[] = {HoursPeriod::Today, HoursPeriod::Yesterday, HoursPeriod::LastSevenDays,
                                                HoursPeriod::LastThirtyDays, HoursPeriod::AllTime};
inline constexpr const char* kHoursPeriodNames[] = {"Today", "Yesterday", "Last 7 days", "Last 30 days", "All time"};
static_assert(std::size(kHoursPeriodNames) == std::size(kHoursPeriods));

struct HourBar {
    DayFigures sums;      // of the hour over the period's days
    int activeDays = 0;   // days of the period on which the hour had any figure
    double value = 0;     // the figure of `sums`
};

struct HoursChart {
    ChartFigure figure = ChartFigure::KeysPressed;
    HoursPeriod period = HoursPeriod::Today;
    std::vector<HourBar> bars = std::vector<HourBar>(24);
    double maxValue = 0;
    int busiest = -1;  // the hour with the highest value above 0, the earliest of equal ones; -1: none
};

// The first and last day of the period ending today; AllTime starts at day 0.
int64_t FirstDayOf(HoursPeriod period, const LocalDate& today);

// Rows of the month files (any months, any order) and the rows the files
// are still owed (what saves owe and the run has counted since the last
// save), summed by hour over the period's days. Rows dated after today lie
// in no period.
HoursChart BuildHoursChart(const std::vector<HourRow>& rows, const OwedRows& owed, const LocalDate& today,
                           ChartFigure figure, HoursPeriod period);
// The same over the rows of several month files, each file's rows distinct
// (as ParseHours gives them), without copying them.
HoursChart BuildHoursChart(const std::vector<const std::vector<HourRow>*>& files, const OwedRows& owed,
                           const LocalDate& today, ChartFigure figure, HoursPeriod period);

// "09:00-10:00".
std::string HourName(int hour);

// With an hour: its name, total and average per active day. With -1: the
// busiest hour of the period.
std::string HoursDetailText(const HoursChart& chart, int hour, const NumberFormat& numbers);

// A header and the 24 hours, tab-separated, "." decimals, CR LF.
std::string HoursClipboardText(const HoursChart& chart);

}  // namespace qm::ui

#include "ui/hours_chart.h"

#include <cstdio>

#include "core/dates.h"
#include "ui/chart_text.h"

namespace qm::ui {

int64_t FirstDayOf(HoursPeriod period, const LocalDate& today) {
    const int64_t last = DayNumber(today);
    switch (period) {
        case HoursPeriod::Today: return last;
        case HoursPeriod::Yesterday: return last - 1;
        case HoursPeriod::LastSevenDays: return last - 6;
        case HoursPeriod::LastThirtyDays: return last - 29;
        case HoursPeriod::AllTime: return 0;
    }
    return last;
}

HoursChart BuildHoursChart(const std::vector<HourRow>& rows, const OwedRows& owed, const LocalDate& today,
                           ChartFigure figure, HoursPeriod period) {
    return BuildHoursChart(std::vector<const std::vector<HourRow>*>{&rows}, owed, today, figure, period);
}

HoursChart BuildHoursChart(const std::vector<const std::vector<HourRow>*>& files, const OwedRows& owed,
                           const LocalDate& today, ChartFigure figure, HoursPeriod period) {
    HoursChart chart;
    chart.figure = figure;
    chart.period = period;
    const LocalDate now = HistoryDay(today);
    const int64_t first = FirstDayOf(period, now);
    const int64_t last = period == HoursPeriod::Yesterday ? DayNumber(now) - 1 : DayNumber(now);
    auto inPeriod = [&](const std::string& date, int hour) {
        LocalDate d;
        if (hour < 0 || hour > 23 || !ReadHistoryDate(date, d)) return false;
        const int64_t number = DayNumber(d);
        return number >= first && number <= last;
    };
    auto add = [&](int hour, const DayFigures& figures) {
        if (figures.IsZero()) return;
        HourBar& bar = chart.bars[static_cast<size_t>(hour)];
        bar.sums += figures;
        ++bar.activeDays;
    };
    // A file's row and what it is still owed for the same hour are one hour
    // of one day. What is owed is a few rows; the files may hold years.
    OwedRows pending;
    for (const auto& [key, figures] : owed)
        if (inPeriod(key.date, key.hour)) pending[key] += figures;
    for (const std::vector<HourRow>* rows : files)
        for (const HourRow& row : *rows) {
            if (!inPeriod(row.date, row.hour)) continue;
            if (!pending.empty()) {
                auto it = pending.find(RowKey{row.date, row.hour});
                if (it != pending.end()) {
                    DayFigures both = row.figures;
                    both += it->second;
                    pending.erase(it);
                    add(row.hour, both);
                    continue;
                }
            }
            add(row.hour, row.figures);
        }
    for (const auto& [key, figures] : pending) add(key.hour, figures);
    for (int h = 0; h < 24; ++h) {
        HourBar& bar = chart.bars[static_cast<size_t>(h)];
        bar.value = FigureValue(figure, bar.sums);
        if (bar.value > chart.maxValue) {
            chart.maxValue = bar.value;
            chart.busiest = h;
        }
    }
    return chart;
}

std::string HourName(int hour) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:00-%02d:00", hour, (hour + 1) % 24 == 0 ? 24 : hour + 1);
    return text;
}

namespace {

std::string Plain(double value, int decimals) {
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Days(int days) { return std::to_string(days) + (days == 1 ? " active day" : " active days"); }

}  // namespace

std::string HoursDetailText(const HoursChart& chart, int hour, const NumberFormat& numbers) {
    const ChartFigure f = chart.figure;
    auto number = [&](double value) { return numbers.Format(value, FigureDecimals(f)); };
    const std::string period = kHoursPeriodNames[static_cast<int>(chart.period)];
    if (hour < 0 || hour > 23) {
        if (chart.busiest < 0) return period + ": no figures";
        const HourBar& bar = chart.bars[static_cast<size_t>(chart.busiest)];
        return period + ": busiest hour " + HourName(chart.busiest) + " with " + number(bar.value) + " " +
               FigureName(f);
    }
    const HourBar& bar = chart.bars[static_cast<size_t>(hour)];
    std::string text = HourName(hour) + " (" + period + ")";
    if (bar.activeDays == 0) return text + ": no figures";
    text += ": " + number(bar.value) + " " + FigureName(f);
    // A speed adds up to no total: the hour's own speed is its average too.
    if (f != ChartFigure::TypingSpeed) text += ", " + number(bar.value / bar.activeDays) + " a day";
    text += " on " + Days(bar.activeDays);
    if (hour == chart.busiest) text += "; the busiest hour";
    return text;
}

std::string HoursClipboardText(const HoursChart& chart) {
    const ChartFigure f = chart.figure;
    const int decimals = FigureDecimals(f);
    std::string text = std::string("Hour\t") + FigureName(f) + "\tActive days\tAverage per active day\r\n";
    for (int h = 0; h < 24; ++h) {
        const HourBar& bar = chart.bars[static_cast<size_t>(h)];
        const double average = bar.activeDays == 0 ? 0
                               : f == ChartFigure::TypingSpeed ? bar.value
                                                              : bar.value / bar.activeDays;
        text += HourName(h) + "\t" + Plain(bar.value, decimals) + "\t" + std::to_string(bar.activeDays) + "\t" +
                Plain(average, f == ChartFigure::TypingSpeed || decimals > 0 ? decimals : 2) + "\r\n";
    }
    return text;
}

}  // namespace qm::ui

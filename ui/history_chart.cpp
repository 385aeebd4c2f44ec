#include "ui/history_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "core/dates.h"
#include "core/figure_text.h"

namespace qm::ui {

double TypingSpeed(const DayFigures& sums) { return LettersPerMinute(sums.LettersTyped, sums.TypingSeconds); }

double FigureValue(ChartFigure figure, const DayFigures& sums) {
    switch (figure) {
        case ChartFigure::KeysPressed: return static_cast<double>(sums.KeysPressed);
        case ChartFigure::MouseClicks: return static_cast<double>(sums.MouseClicks);
        case ChartFigure::MouseMeters: return static_cast<double>(sums.MousePixels) / kPixelsPerMeter;
        case ChartFigure::LettersTyped: return static_cast<double>(sums.LettersTyped);
        case ChartFigure::TypingSpeed: return TypingSpeed(sums);
        case ChartFigure::HoursMeasured: return static_cast<double>(sums.PassedSeconds) / 3600.0;
    }
    return 0;
}

bool WholeNumbers(ChartFigure figure) {
    return figure != ChartFigure::MouseMeters && figure != ChartFigure::HoursMeasured;
}

int FigureDecimals(ChartFigure figure) {
    switch (figure) {
        case ChartFigure::MouseMeters: return 2;  // as the main window shows them
        case ChartFigure::HoursMeasured: return 1;
        default: return 0;
    }
}

HistoryChart BuildHistoryChart(const std::vector<HistoryRow>& rows, const DayFigures& unsaved,
                               const LocalDate& today, ChartFigure figure, ChartPeriod period) {
    HistoryChart chart;
    chart.figure = figure;
    chart.period = period;
    // Today as the program files its figures: a clock beyond the history's
    // four-digit years saves under 9999-12-31, and its bar is that day's.
    const LocalDate now = HistoryDay(today);
    chart.today = now;
    const int64_t todayNumber = DayNumber(now);

    // The bars, oldest first, and a day's bar from its date.
    std::vector<ChartBar>& bars = chart.bars;
    std::function<int64_t(const LocalDate&)> indexOf;
    switch (period) {
        case ChartPeriod::LastThirtyDays: {
            bars.resize(30);
            LocalDate day = now;
            for (int i = 29; i >= 0; --i, day = DayBefore(day)) bars[i].date = day;
            const int64_t first = DayNumber(bars[0].date);
            indexOf = [first](const LocalDate& d) { return DayNumber(d) - first; };
            break;
        }
        case ChartPeriod::LastTwelveMonths: {
            bars.resize(12);
            const int64_t first = MonthNumber(now) - 11;
            for (int i = 0; i < 12; ++i) {
                const int64_t month = first + i;  // today is in year 1 or later: never below 0
                bars[i].date = {static_cast<int>(month / 12), static_cast<int>(month % 12) + 1, 1};
            }
            indexOf = [first](const LocalDate& d) { return MonthNumber(d) - first; };
            break;
        }
        case ChartPeriod::AllYears: {
            int firstYear = now.year;
            for (const HistoryRow& row : rows) {
                LocalDate d;
                if (ReadHistoryDate(row.date, d) && DayNumber(d) <= todayNumber) firstYear = std::min(firstYear, d.year);
            }
            bars.resize(static_cast<size_t>(now.year - firstYear + 1));
            for (size_t i = 0; i < bars.size(); ++i) bars[i].date = {firstYear + static_cast<int>(i), 1, 1};
            indexOf = [firstYear](const LocalDate& d) { return int64_t{d.year} - firstYear; };
            break;
        }
    }
    bars.back().current = true;

    int64_t bestNumber = 0;
    auto addDay = [&](const LocalDate& date, int64_t number, const DayFigures& figures) {
        const int64_t index = indexOf(date);
        if (index < 0 || index >= static_cast<int64_t>(bars.size()) || figures.IsZero()) return;
        ChartBar& bar = bars[static_cast<size_t>(index)];
        bar.sums += figures;
        ++bar.activeDays;
        chart.sums += figures;
        ++chart.activeDays;
        const double value = FigureValue(figure, figures);
        if (value > 0 && (!chart.hasBestDay || value > chart.bestValue ||
                          (value == chart.bestValue && number < bestNumber))) {
            chart.hasBestDay = true;
            chart.bestDay = date;
            chart.bestValue = value;
            bestNumber = number;
        }
    };
    // Today's row and what has been counted since the last save are one day.
    DayFigures todayFigures = unsaved;
    for (const HistoryRow& row : rows) {
        LocalDate date;
        if (!ReadHistoryDate(row.date, date)) continue;
        const int64_t number = DayNumber(date);
        if (number == todayNumber)
            todayFigures += row.figures;
        else if (number < todayNumber)
            addDay(date, number, row.figures);
    }
    addDay(now, todayNumber, todayFigures);

    for (ChartBar& bar : bars) {
        bar.value = FigureValue(figure, bar.sums);
        chart.maxValue = std::max(chart.maxValue, bar.value);
    }
    return chart;
}

}  // namespace qm::ui

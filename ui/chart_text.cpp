#include "ui/chart_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "core/display.h"

namespace qm::ui {

namespace {

std::string Padded(int value, int width) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    return buffer;
}

// A bar's date as the clipboard writes it: YYYY-MM-DD, YYYY-MM or YYYY.
std::string DateKey(ChartPeriod period, const LocalDate& date) {
    std::string key = Padded(date.year, 4);
    if (period == ChartPeriod::AllYears) return key;
    key += '-';
    key += Padded(date.month, 2);
    if (period == ChartPeriod::LastTwelveMonths) return key;
    key += '-';
    key += Padded(date.day, 2);
    return key;
}

// A count of small units as "123.45" of a unit 100 * perHundredth of them
// (35 pixels make a hundredth of a meter, 36 seconds one of an hour), half
// away from zero: exact for every 64-bit count, where a double would lose
// the last digits.
std::string Hundredths(int64_t value, uint64_t perHundredth) {
    const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    uint64_t hundredths = magnitude / perHundredth;
    if (2 * (magnitude % perHundredth) >= perHundredth) ++hundredths;
    std::string text = value < 0 && hundredths > 0 ? "-" : "";
    text += std::to_string(hundredths / 100) + "." + Padded(static_cast<int>(hundredths % 100), 2);
    return text;
}

// A whole number held in a double, digits only (the speed).
std::string WholeText(double value) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.0f", value);
    return buffer;
}

// What the period's total of a figure counts ("45,600 keys pressed in total"), by figure.
constexpr const char* kTotalOf[] = {"keys pressed",  "mouse clicks", "meters of mouse travel",
                                    "letters typed", "letters/min",  "hours measured"};
static_assert(std::size(kTotalOf) == std::size(kChartFigures));
const char* TotalOf(ChartFigure figure) { return kTotalOf[static_cast<int>(figure)]; }

std::string ActiveDays(int days) { return std::to_string(days) + (days == 1 ? " active day" : " active days"); }

}  // namespace

const char* MonthAbbrev(int month) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return month >= 1 && month <= 12 ? kMonths[month - 1] : "";
}

std::string BarLabel(const HistoryChart& chart, int bar) {
    const LocalDate& date = chart.bars.at(static_cast<size_t>(bar)).date;
    switch (chart.period) {
        case ChartPeriod::LastThirtyDays: return std::to_string(date.day);
        case ChartPeriod::LastTwelveMonths: return MonthAbbrev(date.month);
        case ChartPeriod::AllYears: return std::to_string(date.year);
    }
    return "";
}

std::string DetailText(const HistoryChart& chart, int bar, const NumberFormat& numbers, const DateFormat& dates) {
    auto number = [&](ChartFigure figure, double value) { return numbers.Format(value, FigureDecimals(figure)); };
    if (bar >= 0 && static_cast<size_t>(bar) < chart.bars.size()) {
        const ChartBar& b = chart.bars[static_cast<size_t>(bar)];
        std::string text;
        switch (chart.period) {
            case ChartPeriod::LastThirtyDays: text = dates.ShortDate(b.date); break;
            case ChartPeriod::LastTwelveMonths: text = dates.YearMonth(b.date.year, b.date.month); break;
            case ChartPeriod::AllYears: text = std::to_string(b.date.year); break;
        }
        if (b.activeDays == 0) return text + ": no figures";
        if (chart.period != ChartPeriod::LastThirtyDays) text += " (" + ActiveDays(b.activeDays) + ")";
        const DayFigures& s = b.sums;
        using F = ChartFigure;
        return text + ": " + number(F::KeysPressed, FigureValue(F::KeysPressed, s)) + " keys, " +
               number(F::MouseClicks, FigureValue(F::MouseClicks, s)) + " clicks, " +
               number(F::MouseMeters, FigureValue(F::MouseMeters, s)) + " m, " +
               number(F::LettersTyped, FigureValue(F::LettersTyped, s)) + " letters, " +
               number(F::TypingSpeed, FigureValue(F::TypingSpeed, s)) + " letters/min, " +
               number(F::HoursMeasured, FigureValue(F::HoursMeasured, s)) + " h";
    }

    if (chart.activeDays == 0) {
        switch (chart.period) {
            case ChartPeriod::LastThirtyDays: return "No figures in the last 30 days";
            case ChartPeriod::LastTwelveMonths: return "No figures in the last 12 months";
            case ChartPeriod::AllYears: return "No figures yet";
        }
    }
    const ChartFigure f = chart.figure;
    const double total = FigureValue(f, chart.sums);
    std::string text = std::string(PeriodName(chart.period)) + ": ";
    if (f == ChartFigure::TypingSpeed) {
        // A speed adds up to no total: the period's own speed, from its sums.
        text += "typing speed " + number(f, total) + " letters/min on " + ActiveDays(chart.activeDays);
    } else {
        text += number(f, total) + " " + TotalOf(f) + " in total, " +
                number(f, total / chart.activeDays) + " a day on " + ActiveDays(chart.activeDays);
    }
    if (chart.hasBestDay)
        text += "; best day " + dates.ShortDate(chart.bestDay) + " with " + number(f, chart.bestValue);
    return text;
}

std::string ClipboardText(const HistoryChart& chart) {
    std::string text = "Date";
    auto field = [&](const std::string& value) {
        text += '\t';
        text += value;
    };
    for (ChartFigure f : kChartFigures) field(FigureName(f));
    text += "\r\n";
    for (const ChartBar& bar : chart.bars) {
        const DayFigures& s = bar.sums;
        text += DateKey(chart.period, bar.date);
        field(std::to_string(s.KeysPressed));
        field(std::to_string(s.MouseClicks));
        field(Hundredths(s.MousePixels, static_cast<uint64_t>(kPixelsPerMeter) / 100));
        field(std::to_string(s.LettersTyped));
        field(WholeText(TypingSpeed(s)));
        field(Hundredths(s.PassedSeconds, 3600 / 100));
        text += "\r\n";
    }
    return text;
}

}  // namespace qm::ui

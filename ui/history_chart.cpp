#include "ui/history_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "core/dates.h"
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

// What the period's total of a figure counts ("45,600 keys pressed in total").
const char* TotalOf(ChartFigure figure) {
    switch (figure) {
        case ChartFigure::KeysPressed: return "keys pressed";
        case ChartFigure::MouseClicks: return "mouse clicks";
        case ChartFigure::MouseMeters: return "meters of mouse travel";
        case ChartFigure::LettersTyped: return "letters typed";
        case ChartFigure::TypingSpeed: return "letters/min";
        case ChartFigure::HoursMeasured: return "hours measured";
    }
    return "";
}

std::string ActiveDays(int days) { return std::to_string(days) + (days == 1 ? " active day" : " active days"); }

// Pixels at 96 dpi, scaled to the dpi.
int Scaled(int pixels, int dpi) { return static_cast<int>((int64_t{pixels} * dpi + 48) / 96); }

// Gridlines keep at least two text lines apart, and five steps are plenty
// for a chart of a few hundred pixels.
constexpr int kMostIntervals = 5;

}  // namespace

const char* FigureName(ChartFigure figure) {
    switch (figure) {
        case ChartFigure::KeysPressed: return "Keys pressed";
        case ChartFigure::MouseClicks: return "Mouse clicks";
        case ChartFigure::MouseMeters: return "Meters of mouse travel";
        case ChartFigure::LettersTyped: return "Letters typed";
        case ChartFigure::TypingSpeed: return "Typing speed";
        case ChartFigure::HoursMeasured: return "Time measured (hours)";
    }
    return "";
}

const char* PeriodName(ChartPeriod period) {
    switch (period) {
        case ChartPeriod::LastThirtyDays: return "Last 30 days";
        case ChartPeriod::LastTwelveMonths: return "Last 12 months";
        case ChartPeriod::AllYears: return "All years";
    }
    return "";
}

const char* MonthAbbrev(int month) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return month >= 1 && month <= 12 ? kMonths[month - 1] : "";
}

double TypingSpeed(const DayFigures& sums) {
    if (!(sums.TypingSeconds > 0)) return 0;
    // The product is exact in 64 bits as long as it fits, as in the main
    // window; beyond that (some 10^17 letters) a double is as near as it gets.
    int64_t product = 0;
    const double letters = __builtin_mul_overflow(sums.LettersTyped, int64_t{kTypingSpeedFactor}, &product)
                               ? static_cast<double>(sums.LettersTyped) * kTypingSpeedFactor
                               : static_cast<double>(product);
    const double speed = std::floor(letters / sums.TypingSeconds) + 0.0;  // + 0.0: no "-0"
    // Letters over a sliver of a second would be infinite: the largest double stands in.
    if (!std::isfinite(speed)) return std::copysign(std::numeric_limits<double>::max(), speed);
    return speed;
}

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

namespace {

// count * step. A decimal step as whole units over a power of ten: one
// rounding, so that each value is the double nearest to its decimal text.
double Multiple(int count, double step, int decimals) {
    if (decimals > 0 && decimals <= 22) {
        const double scale = std::pow(10.0, decimals);
        return count * std::round(step * scale) / scale;
    }
    return count * step;
}

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

std::string BarLabel(const HistoryChart& chart, int bar) {
    const LocalDate& date = chart.bars.at(static_cast<size_t>(bar)).date;
    switch (chart.period) {
        case ChartPeriod::LastThirtyDays: return std::to_string(date.day);
        case ChartPeriod::LastTwelveMonths: return MonthAbbrev(date.month);
        case ChartPeriod::AllYears: return std::to_string(date.year);
    }
    return "";
}

ChartPaint LayOutChart(const HistoryChart& chart, int width, int height, int dpi, int textHeight,
                       const TextWidth& textWidth, const NumberFormat& numbers) {
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
    if (plot.Width() <= 0 || plot.Height() <= 0 || chart.bars.empty()) return paint;
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
    const size_t n = chart.bars.size();
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
        const double share = std::min(chart.bars[i].value / axis.top, 1.0);
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
        label.text = BarLabel(chart, static_cast<int>(i));
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

#include "ui/programs_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>

#include "core/figure_text.h"
#include "core/numbers.h"

namespace qm::ui {

namespace {

std::string Counted(const NumberFormat& numbers, int64_t n, const char* one, const char* many) {
    return numbers.Format(static_cast<double>(n), 0) + " " + (n == 1 ? one : many);
}

// One figure as the detail line says it: "1,234 keys", "3.21 m", "active 12 min".
std::string FigurePhrase(ProgramsFigure figure, const DayFigures& f, const NumberFormat& numbers) {
    const double value = ProgramsValue(figure, f);
    switch (figure) {
        case ProgramsFigure::Keys: return Counted(numbers, f.KeysPressed, "key", "keys");
        case ProgramsFigure::Clicks: return Counted(numbers, f.MouseClicks, "click", "clicks");
        case ProgramsFigure::Meters: return numbers.Format(value, 2) + " m";
        case ProgramsFigure::Letters: return Counted(numbers, f.LettersTyped, "letter", "letters");
        case ProgramsFigure::TypingSpeed: return numbers.Format(value, 0) + " letters a minute";
        case ProgramsFigure::ActiveTime: return "active " + ActiveTimeText(value);
    }
    return "";
}

std::string AllFigures(const DayFigures& f, const NumberFormat& numbers) {
    std::string text;
    for (ProgramsFigure figure : kProgramsFigures) text += (text.empty() ? "" : ", ") + FigurePhrase(figure, f, numbers);
    return text;
}

// "Notepad (notepad.exe)"; a program that shows no other name, by its file alone.
std::string ProgramName(const std::string& program, const std::string& name) {
    return name.empty() || name == program ? program : name + " (" + program + ")";
}

std::string BarName(const ProgramBar& bar) {
    return bar.other ? std::string(kOtherPrograms) + " (" + std::to_string(bar.programs) + " programs)"
                     : ProgramName(bar.program, bar.name);
}

// Milliseconds as seconds with up to three decimals, as the files write them.
std::string MillisecondsText(int64_t ms) {
    if (ms < 0) ms = 0;
    std::string text = std::to_string(ms / 1000);
    if (const int64_t part = ms % 1000; part != 0) {
        std::string decimals = std::to_string(1000 + part).substr(1);
        while (decimals.back() == '0') decimals.pop_back();
        text += "." + decimals;
    }
    return text;
}

}  // namespace

double ProgramsValue(ProgramsFigure figure, const DayFigures& f) {
    switch (figure) {
        case ProgramsFigure::Keys: return static_cast<double>(f.KeysPressed);
        case ProgramsFigure::Clicks: return static_cast<double>(f.MouseClicks);
        case ProgramsFigure::Meters: return static_cast<double>(f.MousePixels) / kPixelsPerMeter;
        case ProgramsFigure::Letters: return static_cast<double>(f.LettersTyped);
        case ProgramsFigure::TypingSpeed: return LettersPerMinute(f.LettersTyped, f.TypingSeconds);
        case ProgramsFigure::ActiveTime: return static_cast<double>(f.PassedSeconds) / 1000.0;
    }
    return 0;
}

ProgramsChart BuildProgramsChart(std::vector<ProgramTotal> totals, ProgramsFigure figure, KeysPeriod period) {
    ProgramsChart chart;
    chart.figure = figure;
    chart.period = period;
    std::vector<double> values(totals.size());
    for (size_t i = 0; i < totals.size(); ++i) {
        values[i] = ProgramsValue(figure, totals[i].figures);
        chart.sums += totals[i].figures;
    }
    std::vector<size_t> order(totals.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return values[a] != values[b] ? values[a] > values[b] : totals[a].program < totals[b].program;
    });
    chart.ranked.reserve(totals.size());
    ProgramBar other;
    other.name = kOtherPrograms;
    other.other = true;
    other.programs = 0;
    for (size_t i : order) {
        if (values[i] > 0) {
            if (chart.bars.size() < kProgramBars) {
                chart.bars.push_back({totals[i].program, totals[i].name, totals[i].figures, values[i]});
            } else {
                other.figures += totals[i].figures;
                ++other.programs;
            }
        }
        chart.ranked.push_back(std::move(totals[i]));
    }
    if (other.programs > 0) {
        // Its own figures: a speed of the summed letters over the summed time.
        other.value = ProgramsValue(figure, other.figures);
        chart.bars.push_back(std::move(other));
    }
    double largest = 0;
    for (const ProgramBar& bar : chart.bars) largest = std::max(largest, bar.value);
    for (ProgramBar& bar : chart.bars) bar.fraction = largest > 0 ? std::min(1.0, bar.value / largest) : 0;
    return chart;
}

std::string ActiveTimeText(double seconds) {
    const int64_t s = seconds > 0 ? static_cast<int64_t>(std::floor(seconds)) : 0;
    if (s < 60) return std::to_string(s) + " s";
    if (s < 3600) return std::to_string(s / 60) + " min";
    return std::to_string(s / 3600) + ":" + PadTwoDigits(std::to_string(s / 60 % 60)) + ":" +
           PadTwoDigits(std::to_string(s % 60));
}

std::string ProgramsBarText(const ProgramsChart& chart, int bar, const NumberFormat& numbers) {
    if (bar < 0 || bar >= static_cast<int>(chart.bars.size())) return "";
    const double value = chart.bars[static_cast<size_t>(bar)].value;
    switch (chart.figure) {
        case ProgramsFigure::Meters: return numbers.Format(value, 2);
        case ProgramsFigure::ActiveTime: return ActiveTimeText(value);
        default: return numbers.Format(value, 0);
    }
}

std::string ProgramsDetailText(const ProgramsChart& chart, int bar, const NumberFormat& numbers) {
    if (bar >= 0 && bar < static_cast<int>(chart.bars.size())) {
        const ProgramBar& b = chart.bars[static_cast<size_t>(bar)];
        return BarName(b) + ": " + AllFigures(b.figures, numbers);
    }
    if (chart.ranked.empty()) return kNoProgramsText;
    const size_t count = chart.ranked.size();
    std::string text = std::string(kKeysPeriodNames[static_cast<int>(chart.period)]) + ": " + std::to_string(count) +
                       (count == 1 ? " program, " : " programs, ") + FigurePhrase(chart.figure, chart.sums, numbers);
    if (chart.bars.empty()) return text;  // none has any of the figure
    const ProgramBar& top = chart.bars[0];
    return text + "; the most: " + ProgramName(top.program, top.name) + " with " +
           FigurePhrase(chart.figure, top.figures, numbers);
}

std::string ProgramsClipboardText(const ProgramsChart& chart) {
    std::string text =
        "program\tname\tkeys_pressed\tmouse_clicks\tmouse_pixels\tletters_typed\ttyping_seconds\t"
        "other_keys_seconds\tactive_seconds\r\n";
    for (const ProgramTotal& p : chart.ranked) {
        const DayFigures& f = p.figures;
        text += p.program + "\t" + p.name + "\t" + std::to_string(f.KeysPressed) + "\t" + std::to_string(f.MouseClicks) +
                "\t" + std::to_string(f.MousePixels) + "\t" + std::to_string(f.LettersTyped) + "\t" +
                RealText(f.TypingSeconds) + "\t" + RealText(f.OtherKeysSeconds) + "\t" +
                MillisecondsText(f.PassedSeconds) + "\r\n";
    }
    return text;
}

}  // namespace qm::ui

// The Programs tab's chart as plain data: the programs of the period ranked
// by one figure, the first fifteen as bars and the rest as one more, and
// its texts (the value at a bar's end, the detail line, Copy).
#pragma once

#include <iterator>
#include <string>
#include <vector>

#include "core/history.h"
#include "core/platform/number_format.h"
#include "ui/keys_chart.h"

namespace qm::ui {

enum class ProgramsFigure { Keys, Clicks, Meters, Letters, TypingSpeed, ActiveTime };
inline constexpr ProgramsFigure kProgramsFigures[] = {ProgramsFigure::Keys,    ProgramsFigure::Clicks,
                                                      ProgramsFigure::Meters,  ProgramsFigure::Letters,
                                                      ProgramsFigure::TypingSpeed, ProgramsFigure::ActiveTime};
inline constexpr const char* kProgramsFigureNames[] = {"Keys pressed",  "Mouse clicks", "Meters",
                                                       "Letters typed", "Typing speed", "Active time"};
static_assert(std::size(kProgramsFigureNames) == std::size(kProgramsFigures));

// The bars drawn; the programs beyond them share one more bar.
inline constexpr size_t kProgramBars = 15;
inline constexpr const char kOtherPrograms[] = "Other programs";

// A program's figures summed over the period; PassedSeconds holds its
// active time in milliseconds, as in the month files.
struct ProgramTotal {
    std::string program;  // notepad.exe
    std::string name;     // Notepad: the name of its latest row
    DayFigures figures;
};

struct ProgramBar {
    std::string program;  // empty for Other programs, which has no file and no icon
    std::string name;     // as drawn beside the bar: kOtherPrograms for the rest
    DayFigures figures;
    double value = 0;     // the chart's figure of `figures`
    double fraction = 0;  // of the largest bar's value, 0 to 1
    int programs = 1;     // how many programs the bar sums
    bool other = false;
};

struct ProgramsChart {
    ProgramsFigure figure = ProgramsFigure::Keys;
    KeysPeriod period = KeysPeriod::AllTime;
    std::vector<ProgramTotal> ranked;  // every program of the period, the highest value first
    std::vector<ProgramBar> bars;      // those with a value above 0, then Other programs
    DayFigures sums;                   // of every program
};

// The figure of a program's (or the period's) summed figures: meters of
// mouse travel, letters a minute, active time in seconds.
double ProgramsValue(ProgramsFigure figure, const DayFigures& figures);

// Ranks by the figure, equal values by program, and draws the first
// kProgramBars programs with a value; more beyond them share one bar.
ProgramsChart BuildProgramsChart(std::vector<ProgramTotal> totals, ProgramsFigure figure, KeysPeriod period);

// Active time as read: "45 s", "12 min", "1:02:03".
std::string ActiveTimeText(double seconds);

// The bar's value as drawn at its end, in the user's regional format.
std::string ProgramsBarText(const ProgramsChart& chart, int bar, const NumberFormat& numbers);

// With a bar: its program and every figure. With -1: the period's programs
// and the one with the most of the figure.
std::string ProgramsDetailText(const ProgramsChart& chart, int bar, const NumberFormat& numbers);

// Every program of the period, ranked as the chart ranks, its figures as
// the month files write them; tab-separated, CR LF. With none, the header alone.
std::string ProgramsClipboardText(const ProgramsChart& chart);

inline constexpr const char kNoProgramsText[] = "No program has been counted in this period.";

}  // namespace qm::ui

// The Keys tab's chart as plain data: the keyboard drawn as the user's
// layout has it, each cap with the period's presses of its key, the keys
// the drawing has no cap for in a list beside it, and its texts (the
// detail line, Copy).
#pragma once

#include <cstdint>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "core/platform/keyboard_layout.h"
#include "core/platform/number_format.h"
#include "ui/keyboard_map.h"

namespace qm::ui {

enum class KeysPeriod { Today, LastSevenDays, LastThirtyDays, LastTwelveMonths, AllTime };
inline constexpr KeysPeriod kKeysPeriods[] = {KeysPeriod::Today, KeysPeriod::LastSevenDays, KeysPeriod::LastThirtyDays,
                                              KeysPeriod::LastTwelveMonths, KeysPeriod::AllTime};
inline constexpr const char* kKeysPeriodNames[] = {"Today", "Last 7 days", "Last 30 days", "Last 12 months",
                                                   "All time"};
static_assert(std::size(kKeysPeriodNames) == std::size(kKeysPeriods));

// Said over the list of keys without a cap.
inline constexpr const char kUnplacedNote[] =
    "Shift, Ctrl and Alt count under a generic code as well as Left or Right: each of their presses counts twice.";

struct CapFigure {
    int code = 0;       // what the cap's key sends in the layout
    int64_t count = 0;  // its presses in the period
    std::string label;  // written on the cap
};

struct UnplacedKey {
    int code = 0;
    std::string name;
    int64_t count = 0;
};

struct KeysChart {
    KeysPeriod period = KeysPeriod::Today;
    bool iso = false;
    std::vector<CapFigure> caps;  // as KeyboardCaps(iso)
    // The keyboard's colours compare keys with keys and the mouse's buttons
    // with buttons: clicks outnumber most keys, and would push them all
    // towards the light end.
    int64_t maxKeys = 0;   // of the keyboard's caps
    int64_t maxMouse = 0;  // of the mouse strip
    std::vector<UnplacedKey> unplaced;  // with presses, the most pressed first
    std::map<int, int64_t> totals;      // codes 1-255 with presses
    int64_t keyPresses = 0;             // codes 3-255, as the main window counts keys
    int64_t clicks = 0;                 // codes 1 and 2
    int keysPressed = 0;                // codes 3-255 with presses
};

// The drawing as a US keyboard has it, with its fixed labels: for where the
// user's layout is not asked (the tests, the benchmarks).
class DrawingLayout : public KeyboardLayout {
public:
    int CodeAt(int) const override { return 0; }
    std::string CapLabel(int) const override { return ""; }
    bool HasIsoKey() const override { return false; }
};

// The chart from the period's presses by code (codes outside 1-255 and
// counts below 1 are left out).
KeysChart BuildKeysChart(const std::map<int, int64_t>& totals, KeysPeriod period, const KeyboardLayout& layout);

// A cap's colour on the heatmap.
Rgb CapColour(const KeysChart& chart, int cap);

// With a code: its presses, share of the period's key presses (of clicks,
// for the left and right buttons) and rank. With -1: the period's key
// presses and its most pressed key.
std::string KeysDetailText(const KeysChart& chart, int code, const NumberFormat& numbers);

// A header and a line per code with presses, ascending, tab-separated, CR LF.
std::string KeysClipboardText(const KeysChart& chart);

}  // namespace qm::ui

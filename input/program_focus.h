// Which program each counted figure belongs to: the one whose window is in
// front at the tick that counts it. The window in front is asked for only
// on a tick that counted something, and its program is looked up only when
// that window has changed; a tick that counts nothing asks nothing.
#pragma once

#include <cstdint>
#include <string>

#include "core/platform/foreground.h"
#include "core/statistics.h"
#include "input/hour_ledger.h"

namespace qm {

// A gap between two counting ticks longer than this is a pause, and counts
// as this much active time.
inline constexpr uint32_t kLongestActiveGapMs = 60000;

// Alive for the whole run; resets of the figures leave it alone.
struct ProgramFocus {
    bool known = false;  // false until the first counting tick
    ForegroundWindow window;
    std::string program, name;  // of that window
    // The last counting tick: when it began (NowMs) and whose it was.
    bool haveCounted = false;
    uint32_t countedMs = 0;
    std::string countedProgram;
};

// After the tick's counting: credits what it counted (the figures of
// `after` beyond those of `before`) to the program in front, and to it the
// time since the previous counting tick when that one was in front of it
// too (at most kLongestActiveGapMs). nowMs: when the tick began, on the
// wrapping millisecond clock.
void CreditProgram(ProgramFocus& focus, HourLedger& ledger, const DayFigures& before, const DayFigures& after,
                   Foreground& foreground, uint32_t nowMs);

}  // namespace qm

// The 60 ms input sampler: polls every virtual-key code and the cursor and
// turns what it sees into counts of CurrentStat.
#pragma once

#include "core/display.h"
#include "core/platform/clock.h"
#include "core/platform/input_devices.h"
#include "core/statistics.h"

namespace qm {

enum class KeyClass { MouseButton, Letter, OtherKey };

// Codes 1 and 2 are the left and right mouse buttons; 65-90, 97-122 and
// 223-255 count as letters; every other code from 3 to 255 is another key.
KeyClass ClassOfKey(int virtualKey);

// A keyboard press lies inside a typing burst when the first interval is
// below 1.2 s and the second above 0.01 s (two separate clock readings).
inline constexpr double kBurstMaxSeconds = 1.2;
inline constexpr double kBurstMinSeconds = 0.01;

// The sampler's own state, alive for the whole run; resets of the figures
// leave it alone.
struct SamplerState {
    double LastKeyTime = 0;
    Point LastCursorPos;
    // False until the first cursor reading of the run: that reading only
    // marks where the cursor is, it is no travel.
    bool HaveCursorPos = false;
    // The previous key scan: when it began (NowMs) and the last-input time
    // read then. False until the first scan.
    bool HaveScanned = false;
    uint32_t ScanStartMs = 0;
    uint32_t LastInputAtScan = 0;
};

// Whether this tick must scan the keys: only when input may have reached
// the session since the previous scan. A key's "pressed since the last
// query" bit is set only by input, so a skipped scan would have found
// nothing; the next scan finds whatever came meanwhile. Input in the
// millisecond in which the previous scan began may have come after it, and
// a last-input time that cannot be read may hide anything: both scan.
// Notes the scan it asks for.
bool KeyScanNeeded(SamplerState& state, InputDevices& input);

// One tick: the key scan (when KeyScanNeeded), the cursor, then
// display.RefreshDisplay(stats).
// A counter that would pass its 32-bit limit stays where it is while every
// other figure goes on counting; the first such overflow is raised once the
// tick has done all of its work.
void SamplerTick(SamplerState& state, Statistics& stats, InputDevices& input, TimeSource& clock,
                 Display& display);

}  // namespace qm

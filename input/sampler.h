// The 60 ms input sampler: polls every virtual-key code and the cursor and
// turns what it sees into counts of CurrentStat.
#pragma once

#include <array>
#include <cstdint>

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

// The key scan's own scans, beside those that input asks for (see
// KeyScanNeeded): at every tick for kKeysBusyMs after a scan that found a
// press, and kKeyCheckMs after the previous scan at the latest. A new
// last-input time more than kLastInputSlackMs before the previous tick or
// after this one carries a stamp of its own.
inline constexpr uint32_t kKeysBusyMs = 1500;
inline constexpr uint32_t kKeyCheckMs = 5000;
inline constexpr uint32_t kLastInputSlackMs = 1000;

// The sampler's own state, alive for the whole run; resets of the figures
// leave it alone.
struct SamplerState {
    double LastKeyTime = 0;
    Point LastCursorPos;
    // False until the first cursor reading of the run: that reading only
    // marks where the cursor is, it is no travel.
    bool HaveCursorPos = false;
    // The previous tick: when it began (NowMs) and the last-input time it
    // read, nothing when that could not be read. False until the first tick.
    bool HaveTicked = false;
    uint32_t TickMs = 0;
    std::optional<uint32_t> LastInputAtTick;
    // When the previous key scan began (NowMs).
    uint32_t ScanStartMs = 0;
    // A scan found a press within the last kKeysBusyMs: keys are scanned at
    // every tick until BusyUntilMs.
    bool KeysBusy = false;
    uint32_t BusyUntilMs = 0;
    // The scan of this tick is one of the sampler's own checks: the
    // last-input time told of no input.
    bool Checking = false;
    // Input has shown that the last-input time does not follow every press:
    // the keys are scanned at every tick for the rest of the run.
    bool ScanEveryTick = false;
};

// Whether this tick must scan the keys, and notes the scan it asks for.
//
// A key's "pressed since the last query" bit is set only by input, and input
// sets the session's last-input time, so a scan skipped while that time
// stands still would have found nothing, and the next scan finds whatever
// came meanwhile. Input in the millisecond in which the previous scan began
// may have come after it, and a last-input time that cannot be read may hide
// anything: both scan.
//
// Input that a program sends may carry a time stamp of its own, and the
// last-input time is then that stamp: it may go back, or stand still while
// presses come (ten presses stamped alike). Either turns the skip off for
// the rest of the run once it shows: a new last-input time outside the
// previous tick and this one (give or take kLastInputSlackMs), or a press
// found by one of the sampler's own scans while the last-input time stays
// as it was, read again after the scan. The busy scans find each press that
// follows a found one within kKeysBusyMs at its own tick, as a scan at every
// tick does, so the second press of a burst stamped alike is counted exactly
// and turns the skip off. What is left: a press that leaves the last-input
// time as it was and comes more than kKeysBusyMs after the last press found
// is counted by the next scan, at most kKeyCheckMs late; until then a second
// press of that key merges with it, and the intervals of a burst around it
// move. If that scan is a check, the skip is off from then on; if other
// input asked for it, nothing tells the two apart.
bool KeyScanNeeded(SamplerState& state, InputDevices& input);

// After a key scan that KeyScanNeeded asked for: whether it found a press.
void KeyScanDone(SamplerState& state, InputDevices& input, bool foundPress);

// One tick's counting: the key scan (when KeyScanNeeded), then the cursor.
// Showing the figures is the main window's, after the tick.
// A counter that would pass its 32-bit limit stays where it is while every
// other figure goes on counting; the first such overflow is raised once the
// tick has done all of its work.
// Each code's presses, as the tick counts them into KeysPressed and MouseClicks.
using KeyPresses = std::array<int32_t, 256>;

void SamplerTick(SamplerState& state, Statistics& stats, InputDevices& input, TimeSource& clock,
                 KeyPresses* presses = nullptr);

}  // namespace qm

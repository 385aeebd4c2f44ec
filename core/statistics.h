// The statistics record and the three accounts that every figure lives in.
//
// CurrentStat counts this run, CommonStat holds the all-time totals as they
// stand in stat.dat, and SavedStat is the part of CurrentStat that CommonStat
// already contains. The all-time figure of a field is therefore always
// CommonStat + CurrentStat - SavedStat, and a save moves the unsaved part
// into CommonStat without ever counting anything twice.
#pragma once

#include <cstdint>
#include <string>

#include "core/platform.h"

namespace qm {

struct StatRecord {
    int32_t MousePixels = 0;    // length of the cursor's path, in pixels
    int32_t KeysPressed = 0;    // keyboard key presses
    double OtherKeysTime = 0;   // seconds between non-letter presses inside typing bursts
    int32_t LettersTyped = 0;   // letter presses inside typing bursts
    double TypingTime = 0;      // seconds between letter presses inside typing bursts
    int32_t MouseClicks = 0;    // mouse button presses
    int32_t PassedSeconds = 0;  // seconds of measured time
    std::string SinceDate;      // MM-DD-YYYY

    bool operator==(const StatRecord&) const = default;
};

// The three accounts and the start-with-Windows flag kept beside them in the
// statistics file. The program owns one; tests make their own.
struct Statistics {
    StatRecord CurrentStat;
    StatRecord CommonStat;
    StatRecord SavedStat;
    bool AutorunEnabled = false;
};

// Sets the seven numbers to zero and SinceDate to today's date text.
void ClearStatistics(StatRecord& record, const Calendar& calendar);

// The first half of every save: CommonStat += CurrentStat - SavedStat for
// each number, then SavedStat := CurrentStat. Raises OverflowError (or
// FloatError) when any sum or difference leaves its range; then nothing has
// changed, so a failed merge never leaves a partly merged CommonStat.
void MergeStatistics(Statistics& stats);

// All-time figure of a field: (CommonStat + CurrentStat) - SavedStat, each
// operation checked, so the intermediate sum must fit too.
int32_t AllTime(const Statistics& stats, int32_t StatRecord::*field);
double AllTime(const Statistics& stats, double StatRecord::*field);

}  // namespace qm

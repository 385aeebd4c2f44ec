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
#include <vector>

#include "core/platform/clock.h"

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

// A field of the record, for saying which figure something is about.
enum class StatField { MousePixels, KeysPressed, LettersTyped, MouseClicks, PassedSeconds };

// A 32-bit all-time figure that reached the end of the range the file holds.
struct CappedField {
    StatField field;
    bool atMaximum;      // true: 2,147,483,647; false: -2,147,483,648
    bool wasAlreadyThere;  // CommonStat held that limit before this merge
};

// The first half of every save: CommonStat += CurrentStat - SavedStat for
// each number, then SavedStat := CurrentStat. The counters are merged wide
// and only the final value is brought into the 32-bit range: a figure that
// would pass a limit stays at that limit (a complete merge at the limit),
// while every other field merges as usual. Returns the fields so capped.
// Raises FloatError when a double sum is not finite; then nothing has
// changed, so a failed merge never leaves a partly merged CommonStat.
std::vector<CappedField> MergeStatistics(Statistics& stats);

// All-time figure of a field: CommonStat + CurrentStat - SavedStat, computed
// wide and held within the 32-bit range exactly as the next save stores it.
int32_t AllTime(const Statistics& stats, int32_t StatRecord::*field);
double AllTime(const Statistics& stats, double StatRecord::*field);

// The counter a StatField names.
int32_t StatRecord::*FieldOf(StatField field);

}  // namespace qm

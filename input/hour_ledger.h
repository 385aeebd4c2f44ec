// Which local hour each figure was counted in. The tick reads the local
// clock before it counts: when the date or the hour is not the one the run
// has been counting in, what the run counted until then is closed under that
// hour and the tick's own counts belong to the new one. A save takes the
// closed hours and the open hour's part as they are, so a figure counted at
// 23:59:59.97 is filed under that day even when the save comes at 00:00:30.
// The date and hour are what the clock says at the tick: an hour the clock
// goes through twice (set back, daylight-saving time ending) sums both, an
// hour it skips has no figures.
#pragma once

#include <map>
#include <string>

#include "core/hours.h"
#include "core/platform/clock.h"
#include "core/statistics.h"
#include "input/sampler.h"

namespace qm {

// more - less, field by field.
DayFigures Difference(const DayFigures& more, const DayFigures& less);

// CurrentStat's seven figures, wide.
DayFigures FiguresOf(const StatRecord& record);

// The row key under which the history files the local hour of `now`.
RowKey HourOf(const LocalDateTime& now);

struct ProgramShare {
    std::string name;  // as it shows
    DayFigures figures;  // PassedSeconds: active milliseconds
};

struct HourLedger {
    // False until the first tick of the run (or after a reset of the run).
    bool open = false;
    RowKey current;  // the hour the run is counting in
    LocalDate clockDate;  // and the clock's own reading of it
    int clockHour = 0;
    // CurrentStat's figures when `current` began, or at the last save if
    // that came later: CurrentStat minus these is the open hour's part.
    DayFigures base;
    // What the run counted in each hour closed since the last save, and
    // the presses of each key on each day closed since then.
    OwedRows closed;
    // Each code's presses in the open hour's day since the last save (the
    // tick counts them, as it counts KeysPressed and MouseClicks).
    KeyPresses keys{};
    // What was counted in front of each program in the open hour's day since
    // the last save, by its file name (active time in milliseconds).
    std::map<std::string, ProgramShare> programs;
};

// At the start of every tick, before it counts. Only a comparison unless
// the hour has changed.
void FollowHour(HourLedger& ledger, const Statistics& stats, const LocalDateTime& now);

// CurrentStat - SavedStat by the hour it was counted in, and each key's
// presses since the last save by the day; before the run's first tick, all
// of it under the hour of `now`.
OwedRows UnsavedRows(const HourLedger& ledger, const Statistics& stats, const LocalDateTime& now);

// Once SavedStat is CurrentStat again (a save merged, a reset of the run):
// nothing is unsaved, the open hour goes on.
void HoursSaved(HourLedger& ledger, const Statistics& stats);

}  // namespace qm

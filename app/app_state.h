// Everything the running program keeps for the whole run, in one place. The
// program owns one AppState; tests build their own.
#pragma once

#include <vector>

#include "core/history.h"
#include "core/statistics.h"
#include "input/clock.h"
#include "input/hour_ledger.h"
#include "input/sampler.h"

namespace qm {

// What history.csv has yet to take in, each figure under the day on which the
// save that merged it started. Figures reach the history only after stat.dat
// holds them, and leave this state only once history.csv does, so a failed
// write of either file loses nothing and counts nothing twice. history.pending
// keeps the same on disk, for an exit or a kill while history.csv is held.
// Rows that history.pending owed a history.csv which could not be read at
// start-up: they may be in it already (a kill came after history.csv was
// written and before history.pending went). Owed unless history.csv turns
// out to be the one with this hash, which the first save that can read it
// decides.
struct OwedUnless {
    uint64_t historyHash = 0;
    OwedDays days;

    bool operator==(const OwedUnless&) const = default;
};

struct HistoryBacklog {
    // Merged into CommonStat by saves whose write of stat.dat then failed.
    OwedDays unwritten;
    // In stat.dat, not yet in history.csv.
    OwedDays owed;
    // In stat.dat, and in history.csv too if it is the one named.
    std::vector<OwedUnless> owedUnless;
    // ContentHash of stat.dat as the program last read or wrote it; 0 before.
    uint64_t statHash = 0;
    // The last failure written to the debug log; the same one is not written
    // again until the file it was about has been written in between.
    std::string lastFailure;
    std::string lastPendingFailure;
};

struct AppState {
    Statistics stats;
    HistoryBacklog history;
    HourLedger hours;
    RunClock runClock;
    SamplerState sampler;
    // All-time figures a save has just held at a limit of the file and that
    // the user has not been told about; the user is told once a run.
    std::vector<CappedField> capNoticeOwed;
    bool capNoticeGiven = false;
};

}  // namespace qm

// Everything the running program keeps for the whole run, in one place. The
// program owns one AppState; tests build their own.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/screen_store.h"
#include "core/history.h"
#include "core/statistics.h"
#include "core/hours.h"
#include "input/clock.h"
#include "input/hour_ledger.h"
#include "input/program_focus.h"
#include "input/sampler.h"
#include "input/screen_ledger.h"
#include "app/screen_store.h"

namespace qm {

// What the files of the history (history.csv and the month files) have yet
// to take in, each figure under the hour it was counted in. Figures reach a
// file only after stat.dat holds them, and leave this state only once the
// file does, so a failed write of any file loses nothing and counts nothing
// twice. history.pending keeps the same on disk, for an exit or a kill while
// a file is held.
// Rows that history.pending owed a file which could not be read at start-up:
// they may be in it already (a kill came after the file was written and
// before history.pending went). Owed unless the file turns out to be the one
// with this hash, which the first save that can read it decides.
struct OwedUnless {
    uint64_t fileHash = 0;
    OwedRows rows;

    bool operator==(const OwedUnless&) const = default;
};

// What one file of the history is owed: in stat.dat, not yet in the file.
struct FileBacklog {
    OwedRows owed;
    // In stat.dat, and in the file too if it is the one named.
    std::vector<OwedUnless> owedUnless;
    // The last failure about this file written to the debug log; the same
    // one is not written again until the file has been written in between.
    std::string lastFailure;
};

struct HistoryBacklog {
    // Merged into CommonStat by saves whose write of stat.dat then failed.
    OwedRows unwritten;
    // By file name: "history.csv", history\2026-12-hours.csv.
    std::map<std::string, FileBacklog> files;
    // ContentHash of stat.dat as the program last read or wrote it; 0 before.
    uint64_t statHash = 0;
    std::string lastPendingFailure;
};

struct AppState {
    Statistics stats;
    HistoryBacklog history;
    HourLedger hours;
    RunClock runClock;
    SamplerState sampler;
    ProgramFocus focus;
    ScreenLedger screen;
    ScreenStore screenStore;
    // All-time figures a save has just held at a limit of the file and that
    // the user has not been told about; the user is told once a run.
    std::vector<CappedField> capNoticeOwed;
    bool capNoticeGiven = false;
};

}  // namespace qm

// Everything the running program keeps for the whole run, in one place. The
// program owns one AppState; tests build their own.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/autorun.h"
#include "app/debug_log.h"
#include "core/history.h"
#include "core/platform/clock.h"
#include "core/platform/files.h"
#include "core/platform/number_format.h"
#include "core/platform/path_names.h"
#include "core/platform/registry.h"
#include "core/statistics.h"
#include "core/text.h"
#include "input/clock.h"
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
    RunClock runClock;
    SamplerState sampler;
    bool ExitRequested = false;
    // All-time figures a save has just held at a limit of the file and that
    // the user has not been told about; the user is told once a run.
    std::vector<CappedField> capNoticeOwed;
    bool capNoticeGiven = false;
};

// The platform services the program's routines call.
struct Platform {
    FileSystem& files;
    const Calendar& calendar;
    TimeSource& clock;
    Registry& registry;
    PathNames& paths;
    const NumberFormat& numbers;
    std::string programPath;  // full path of the running executable
    DebugLog log{files, FolderOfPath(programPath), calendar, clock, numbers};
};

// Files of the program, beside its executable.
std::string ProgramFilePath(const Platform& platform, const char* fileName);
std::string StatFilePath(const Platform& platform);
std::string HistoryFilePath(const Platform& platform);
std::string PendingHistoryFilePath(const Platform& platform);

// Every save the running program makes (the periodic one, the commands, the
// resets, start-up's first file, Exit): merges the unsaved part of the run
// into CommonStat and writes stat.dat. Raises on failure, as SaveStatistics.
// What the save merged is filed under the day on which the save started: in
// history.pending before stat.dat is written, in history.csv after. A
// damaged history.csv is moved aside as history-damaged-<YYYYMMDD-HHMMSS>.csv
// and a new one started. A failure of either history file is logged once and
// never fails the save: the figures stay owed to the next save. A figure
// that this save newly held at a limit of the file is owed a notice.
void SaveProgramStatistics(AppState& app, Platform& platform);

// At start-up, after stat.dat has loaded (statHash: the ContentHash of its
// bytes): takes what history.pending says history.csv is owed for the
// stat.dat that is there. Never raises; a pending file that cannot be used
// is logged.
void LoadHistoryBacklog(AppState& app, Platform& platform, uint64_t statHash);

// What the user is told when all-time figures reach a limit of the file.
std::string CapNoticeText(const std::vector<CappedField>& capped);

// Saves, then clears this run's figures and restarts the run clock: the
// all-time column goes on from where it was, the current column from zero.
void ResetCurrentStatistics(AppState& app, Platform& platform);

// Clears the all-time figures (since today), then saves: they then hold just
// what this run gained since its last save. When the save fails nothing has
// changed: the accounts are as they were and the failure goes on.
void ResetCommonStatistics(AppState& app, Platform& platform);

// LoadStatistics of the program's stat.dat, with the autorun fallback wired
// to the registry; then what history.pending says history.csv is owed.
void LoadProgramStatistics(AppState& app, Platform& platform);

}  // namespace qm

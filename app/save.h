// The save transaction: stat.dat, history.csv and history.pending loaded
// and written as one, and the two resets that save on their way.
//
// A save merges the unsaved part of the run into CommonStat and writes
// stat.dat; what it merged is owed to the per-day history under the day on
// which the save started. history.pending holds what is owed before
// stat.dat is written, and history.csv takes it after, so a failure or a
// kill at any step loses nothing and counts nothing twice. Another per-day
// file joins the same transaction by owing its rows through the same
// pending file and being written after stat.dat, as history.csv is.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/autorun.h"
#include "app/services.h"

namespace qm {

// Every save the running program makes (the periodic one, the commands, the
// resets, start-up's first file, Exit). Raises on failure, as SaveStatistics.
// A damaged history.csv is moved aside as
// history-damaged-<YYYYMMDD-HHMMSS>.csv and a new one started. A failure of
// either history file is logged once and never fails the save: the figures
// stay owed to the next save. A figure that this save newly held at a limit
// of the file is owed a notice.
void SaveProgramStatistics(AppState& app, const SaveServices& services);

// LoadStatistics of the program's stat.dat, with the autorun fallback wired
// to the registry; then what history.pending says history.csv is owed.
void LoadProgramStatistics(AppState& app, const SaveServices& services, const AutorunPlace& autorun);

// Saves, then clears this run's figures and restarts the run clock: the
// all-time column goes on from where it was, the current column from zero.
void ResetCurrentStatistics(AppState& app, const SaveServices& services, TimeSource& clock);

// Clears the all-time figures (since today), then saves: they then hold just
// what this run gained since its last save. When the save fails nothing has
// changed: the accounts are as they were and the failure goes on.
void ResetCommonStatistics(AppState& app, const SaveServices& services);

// What the user is told when all-time figures reach a limit of the file.
std::string CapNoticeText(const std::vector<CappedField>& capped);

}  // namespace qm

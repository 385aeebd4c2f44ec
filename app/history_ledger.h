// history.csv's part of the save transaction: the rows it is owed, put in
// a copy of the file before stat.dat is written, and history.pending, which
// keeps what is owed in whichever state a kill leaves stat.dat. A per-day
// file of another kind is a part of its own beside this one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/services.h"
#include "core/hours.h"

namespace qm {

// history.csv as it will be once it has taken `owed`, and the rows of
// `unless` that it turns out not to hold (added to `owed`). Raises FileError
// while the file cannot be read (a spreadsheet holds it). A damaged file, or
// one too large to be a real history, is moved aside first, for the user to
// look at, and the history starts anew rather than stopping for good.
std::string HistoryWith(const SaveServices& s, OwedDays& owed, const std::vector<OwedUnless>& unless);

// history.pending for a save about to write stat.dat: what history.csv is
// owed once stat.dat holds the save (and in which history.csv that is
// already there), and what it is owed if the save does not land.
void WritePending(HistoryBacklog& backlog, const SaveServices& s, uint64_t statHash, const OwedDays& owedAfter,
                  const std::vector<OwedUnless>& unlessAfter, const std::optional<std::string>& historyAfter);

// At start-up, after stat.dat has loaded (statHash: the ContentHash of its
// bytes): takes what history.pending says history.csv is owed for the
// stat.dat that is there. Never raises; a pending file that cannot be used
// is logged.
void LoadHistoryBacklog(HistoryBacklog& backlog, const SaveServices& s, uint64_t statHash);

// What the month file of hours `file` (HoursFileName) is yet to take in,
// beyond the rows it holds: what saves owe it and what the run has counted
// since the last save. `fileHash`: the ContentHash of the file as it was
// read, none when it is not there (rows owed unless it is a certain file
// count unless it is that one).
OwedRows HoursNotYetIn(const AppState& app, const std::string& file, std::optional<uint64_t> fileHash,
                       const Calendar& calendar);

}  // namespace qm

// The history's part of the save transaction: history.csv and the month
// files of hours, each with the rows it is owed, put in a copy of the file
// before stat.dat is written, and history.pending, which keeps what every
// file is owed in whichever state a kill leaves stat.dat. One rule for every
// file: a figure is owed to each file of the history from the save that put
// it in stat.dat until that file holds it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/services.h"
#include "core/hours.h"

namespace qm {

// What a save is about to do to one file of the history: what the file is
// owed once stat.dat holds the save, and the file with it (when it could be
// read).
struct FilePlan {
    OwedRows owed;
    std::vector<OwedUnless> owedUnless;
    std::optional<std::string> text;
};
using HistoryPlan = std::map<std::string, FilePlan>;  // by file name, as HistoryBacklog::files

// The rows that `file` takes of `rows`, as it keeps them: history.csv by
// day, a month file the hours of its month.
OwedRows RowsFor(const std::string& file, const OwedRows& rows);

// The plan of a save that adds `thisSave` (and what saves whose stat.dat
// failed merged) to what the files are owed. A file that cannot be read (a
// spreadsheet holds it) keeps what it is owed, with the failure logged; a
// damaged file, or one too large to be real, is moved aside first, for the
// user to look at, and starts anew rather than stopping for good.
HistoryPlan PlanHistory(HistoryBacklog& backlog, const SaveServices& s, const OwedRows& thisSave);

// history.pending for a save about to write stat.dat: what the files are
// owed once stat.dat holds the save (and in which file that is already
// there), and what they are owed if the save does not land.
void WritePending(HistoryBacklog& backlog, const SaveServices& s, uint64_t statHash, const HistoryPlan& plan);

// After stat.dat holds the save: the plan becomes what is owed, each file
// that could be read is written (never waiting for one a spreadsheet holds),
// and history.pending goes once nothing is owed any more.
void WriteHistoryFiles(HistoryBacklog& backlog, const SaveServices& s, HistoryPlan&& plan);

// At start-up, after stat.dat has loaded (statHash: the ContentHash of its
// bytes): takes what history.pending says the files are owed for the
// stat.dat that is there. Never raises; a pending file that cannot be used
// is logged.
void LoadHistoryBacklog(HistoryBacklog& backlog, const SaveServices& s, uint64_t statHash);

// What `file` is yet to take in beyond the rows it holds: what saves owe
// it and what the run has counted since the last save. `fileHash`: the
// ContentHash of the file as it was read, none when it is not there (rows
// owed unless it is a certain file count unless it is that one).
// Whether what `file` is yet to take depends on its bytes: rows are owed
// to it unless it is a certain file (known only at start-up, from a
// history.pending whose file could not be read then).
bool NotYetInNeedsHash(const AppState& app, const std::string& file);

OwedRows NotYetIn(const AppState& app, const std::string& file, std::optional<uint64_t> fileHash,
                  const Calendar& calendar);

}  // namespace qm

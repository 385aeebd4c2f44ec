#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/history.h"
#include "core/hours.h"
#include "core/keys.h"
#include "core/programs.h"

namespace qm {

// history.pending, beside history.csv: what the files of the history are
// still owed, kept on disk so that neither an exit nor a kill loses it while
// a file cannot be written (a spreadsheet holds it open). Each save rewrites
// it before stat.dat, naming the states of stat.dat in which it holds:
//   date,keys_pressed,...,passed_seconds     (the header of history.csv)
//   if stat.dat is,8f3a0c5d9e1b2a47         (a section for one state of stat.dat)
//   unless history.csv is,0c1d2e3f40516273  (optional: the rows are in that history.csv)
//   2026-12-07,50,7,400,30,12.25,2.5,60     (rows as in history.csv)
//   if stat.dat is,8f3a0c5d9e1b2a47         (the same state, for a month file)
//   for,history\2026-12-hours.csv           (the file; without this line, history.csv)
//   unless it is,5d6e7f8091a2b3c4           (optional: the rows are in that file)
//   2026-12-07,9,50,7,400,30,12.25,2.5,60   (rows as in the month file)
//   for,history\2026-12-keys.csv            (in a section of its own: a month file of keys)
//   2026-12-07,65,A,3                       (rows as in that file)
//   if stat.dat is,...                      (the state before the save, in case it did not land)
//   for,history\2026-12-programs.csv       (a month file of programs)
//   2026-12-07,notepad.exe,Notepad,50,7,400,30,12.25,2.5,61.5
// At start-up the sections of the stat.dat that is there give what is owed;
// a state may have several for each file, each with its own condition.
// A history.pending larger than this is none the program wrote (a row for
// every hour and some fifty programs every day for half a year that the
// files could not be written).
inline constexpr uint64_t kLargestPendingBytes = 2ull << 20;

// The kinds of file in the history: history.csv and the month files.
enum class HistoryFileKind { None, History, Hours, Keys, Programs };
// The kind of the file named `file` (history.csv, history\2026-12-keys.csv,
// ...); a month file's YYYY-MM goes to `month`.
HistoryFileKind KindOfFile(std::string_view file, std::string& month);

struct PendingSection {
    uint64_t statHash = 0;                 // ContentHash of the whole stat.dat
    std::string file = kHistoryFile;       // history.csv or a month file
    bool appliedKnown = false;             // the rows are in a file with this hash
    uint64_t fileHashWithRows = 0;
    OwedRows rows;                         // whole days for history.csv, the rows of a month file

    bool operator==(const PendingSection&) const = default;
};

std::string PendingText(const std::vector<PendingSection>& sections);

// Raises HistoryFormatError when the text is not what PendingText writes
// (the rows of a section must be valid rows of its file in ascending order,
// a file named must be a month file).
std::vector<PendingSection> ParsePending(std::string_view text);

}  // namespace qm

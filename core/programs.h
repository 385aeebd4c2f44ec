// The month files of programs, history\YYYY-MM-programs.csv: what was
// counted on each day while each program had the window in front. Only the
// program's file name, the name it shows and its figures are kept; never
// window titles, documents, addresses or any text. UTF-8, every line ending
// in CR LF:
//   date,program,name,keys_pressed,mouse_clicks,mouse_pixels,letters_typed,typing_seconds,other_keys_seconds,active_seconds
//   2026-12-07,notepad.exe,Notepad,520,110,30211,402,101.5,12.02,1830.42
// One row per date and program (its executable's file name in lower case),
// ascending by date and then by program as bytes; program and name quoted as
// CSV quotes where they need it. Every figure but active_seconds, summed
// over a day's programs, is that day's row of history.csv. active_seconds:
// the time the program was in front while the person was active, to the
// millisecond.
//
// In the figures the history owes its files, a program's row is
// RowKey{date, kWholeDay, 0, program, name} with its active time in
// PassedSeconds, in milliseconds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/hours.h"

namespace qm {

extern const char kProgramsHeader[];
// The two programs that are no executable: a window in front whose
// process cannot be named (a protected process, access denied), and no
// window in front (the lock screen, the secure desktop, a desktop switch).
inline constexpr char kUnknownProgram[] = "(unknown program)";
inline constexpr char kNoProgram[] = "(no program)";

// Some 100 bytes a row; a month of 31 days with 300 programs each.
inline constexpr uint64_t kLargestProgramsBytes = 1024u * 1024;
// The longest program and name the files hold, in bytes of UTF-8.
inline constexpr size_t kLongestProgramText = 400;

struct ProgramRow {
    std::string date;     // YYYY-MM-DD
    std::string program;  // notepad.exe
    std::string name;     // Notepad
    DayFigures figures;   // PassedSeconds: active milliseconds

    bool operator==(const ProgramRow&) const = default;
};

// A program's file name or shown name as the files keep it: control
// characters made spaces, blanks trimmed at both ends, cut to
// kLongestProgramText bytes at a character's start. Every name that comes
// from the system goes through it before it is counted under.
std::string CleanProgramText(std::string_view text);

// history\2026-12-programs.csv.
std::string ProgramsFileName(std::string_view month);
bool ReadProgramsFileName(std::string_view name, std::string& month);

// Reads a whole month file of programs. Raises HistoryFormatError unless it
// is the header and rows of valid dates of `month`, each with a program and
// a name (clean, not empty; ascending and distinct within a day) and the
// figures, active_seconds with at most three decimals.
std::vector<ProgramRow> ParsePrograms(std::string_view text, std::string_view month);

std::string ProgramsText(const std::vector<ProgramRow>& rows);

// A row's line, which history.pending shares, with its CR LF.
ProgramRow ReadProgramRow(std::string_view line, int number, std::string_view month);
void AppendProgramRow(std::string& text, const std::string& date, const std::string& program,
                      const std::string& name, const DayFigures& figures);

// The text with each program's figures added to its row of the day, rows
// created in order where missing (a row keeps the name it has); other rows
// keep their bytes. `added` holds program rows of `month`. Raises
// HistoryFormatError, as ParsePrograms, when the text is damaged.
std::string ProgramsWithAdded(std::string_view text, std::string_view month, const OwedRows& added);

}  // namespace qm

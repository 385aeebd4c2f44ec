// history.csv: what was counted each day, one row per local date, beside
// stat.dat. ASCII, every line ending in CR LF:
//   date,keys_pressed,mouse_clicks,mouse_pixels,letters_typed,typing_seconds,other_keys_seconds,passed_seconds
//   2026-12-07,1520,310,84211,1002,301.5,40.02,3600
// Dates as YYYY-MM-DD in ascending order, counts as integers, seconds as the
// real text of stat.dat ("." whatever the regional settings). Every row the
// program writes reads back to the same figures.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/dates.h"
#include "core/platform/clock.h"
#include "core/statistics.h"

namespace qm {

extern const char kHistoryHeader[];

// What a save added, or what a day collected. 64-bit, so that a day's row
// never reaches a limit even where the all-time figure has. Sums stop at the
// ends of their range (counts at +-(2^63 - 1), seconds at the largest
// double) rather than wrap or become infinite, so they can always be written.
struct DayFigures {
    int64_t KeysPressed = 0;
    int64_t MouseClicks = 0;
    int64_t MousePixels = 0;
    int64_t LettersTyped = 0;
    double TypingSeconds = 0;
    double OtherKeysSeconds = 0;
    int64_t PassedSeconds = 0;

    bool operator==(const DayFigures&) const = default;
    bool IsZero() const { return *this == DayFigures{}; }
    DayFigures& operator+=(const DayFigures& more);
};

struct HistoryRow {
    std::string date;  // YYYY-MM-DD
    DayFigures figures;

    bool operator==(const HistoryRow&) const = default;
};

// A history.csv that is not what the program writes: the line (1 is the
// header) and what is wrong with it.
class HistoryFormatError : public std::runtime_error {
public:
    HistoryFormatError(int line, const std::string& problem);
    int line;
};

// The part of the run that a save is about to merge: CurrentStat - SavedStat,
// field by field.
DayFigures UnsavedFigures(const Statistics& stats);

// A history.csv above this size is not a real one (ten years of real use
// are some 260 KB; 1 MB is forty years): it is set aside unread, like any
// damaged file. Saves and the History window read it on the sampler's
// thread, so this also bounds what one save may cost beside the 60 ms tick.
inline constexpr uint64_t kLargestHistoryBytes = 1ull << 20;  // 1 MB

// Why a history.csv of `size` bytes is set aside unread.
std::string TooLargeHistoryText(uint64_t size);

// Reads the whole file. Raises HistoryFormatError unless it is the header
// and rows of valid, distinct dates in ascending order with seven plain
// numbers each. Lines may end in CR LF or LF, the last one may lack its end.
std::vector<HistoryRow> ParseHistory(std::string_view text);

// The whole file as the program writes it.
std::string HistoryText(const std::vector<HistoryRow>& rows);

// Figures owed to history.csv, by date (YYYY-MM-DD).
using OwedDays = std::map<std::string, DayFigures>;

// Adds each day's figures to its entry; days whose figures are all zero are left out.
void AddDays(OwedDays& to, const OwedDays& more);

// The history text with each day's figures (by YYYY-MM-DD) added to its row,
// rows created in date order where missing; rows of other days keep their
// bytes. Raises HistoryFormatError, as ParseHistory, when the text is damaged.
std::string HistoryWithAdded(std::string_view text, const OwedDays& added);

// The parts of the file's text that history.pending shares: a row read
// from its line (`number` names it in the error), a row written, and each
// line after the header (history.csv's unless another is named), which must
// be there (lines end in LF or CR LF).
HistoryRow ReadHistoryRow(std::string_view line, int number);
void AppendHistoryRow(std::string& text, const std::string& date, const DayFigures& figures);
void ForEachLineAfterHeader(std::string_view text, const std::function<void(std::string_view, int)>& each,
                            const char* header = kHistoryHeader);

// The pieces of a row that the month files share: the fields of a line
// (exactly `wanted` of them, else HistoryFormatError naming line `number`),
// a date field, the seven figures from their fields, and the seven figures
// written after a row's keys with the line's end.
void SplitRowFields(std::string_view line, std::string_view* fields, size_t wanted, int number);
std::string ReadRowDate(std::string_view field, int number);
DayFigures ReadRowFigures(const std::string_view* fields, int number);
void AppendRowFigures(std::string& text, const DayFigures& figures);
// A name as CSV writes it: in quotes, with quotes doubled, when it holds a
// comma, a quote or a line's end, is empty or has a space at an end.
void AppendCsvField(std::string& text, std::string_view field);
// The field of `line` that starts at `at`, quoted or not, up to the comma
// after it (`at` moves past that comma; to npos after the last field).
// Raises HistoryFormatError, naming line `number`, for a field whose quotes
// are not CSV's.
std::string ReadCsvField(std::string_view line, size_t& at, int number);

}  // namespace qm

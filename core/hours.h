// The month files of the history, in the folder "history" beside
// history.csv, one per month and kind. The first kind is the hours:
// history\YYYY-MM-hours.csv holds what was counted in each hour of the
// month's days. ASCII, every line ending in CR LF:
//   date,hour,keys_pressed,mouse_clicks,mouse_pixels,letters_typed,typing_seconds,other_keys_seconds,passed_seconds
//   2026-12-07,9,520,110,30211,402,101.5,12.02,3600
// One row per date and local hour (0 to 23) in which anything was counted,
// ascending by date and hour, figures written as in history.csv. Each
// hour's figures, summed over a day, are that day's row of history.csv.
#pragma once

#include <compare>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "core/history.h"

namespace qm {

extern const char kHoursHeader[];
inline constexpr char kHistoryFolder[] = "history";
// The name of history.csv in the program's folder, beside those of the month files.
inline constexpr char kHistoryFile[] = "history.csv";

// A row of the history's files: a local date and, in a month file of
// hours, an hour of it (kWholeDay in history.csv); in a month file of keys,
// a virtual-key code (0 elsewhere); in a month file of programs, the
// program's file name (empty elsewhere) and the name it shows, which rides
// along with the row and is no part of what tells rows apart.
inline constexpr int kWholeDay = -1;
struct RowKey {
    std::string date;  // YYYY-MM-DD
    int hour = kWholeDay;
    int code = 0;
    std::string program = {};
    std::string name = {};

    auto operator<=>(const RowKey& o) const {
        return std::tie(date, hour, code, program) <=> std::tie(o.date, o.hour, o.code, o.program);
    }
    bool operator==(const RowKey& o) const {
        return date == o.date && hour == o.hour && code == o.code && program == o.program;
    }
    // A key's or a program's row: a share of the day that its row already counts.
    bool IsBreakdown() const { return code != 0 || !program.empty(); }
};

// Figures owed to the files of the history, by date and hour.
using OwedRows = std::map<RowKey, DayFigures>;

// Adds each row's figures to its entry; rows whose figures are all zero are left out.
void AddRows(OwedRows& to, const OwedRows& more);
// The rows summed by date (those of keys and programs left out: they count the day again).
OwedDays DaysOf(const OwedRows& rows);

// A month file stops being one the program wrote above this size: a month
// has at most 744 hours, and real rows are some 60 bytes long.
inline constexpr uint64_t kLargestMonthBytes = 256u * 1024;

struct HourRow {
    std::string date;  // YYYY-MM-DD
    int hour = 0;      // 0..23
    DayFigures figures;

    bool operator==(const HourRow&) const = default;
};

// "2026-12" of "2026-12-07".
std::string MonthOf(std::string_view date);
// The month file of hours inside the program's folder: history\2026-12-hours.csv.
std::string HoursFileName(std::string_view month);
// Whether `name` is such a name (of a real month); its YYYY-MM goes to `month`.
bool ReadHoursFileName(std::string_view name, std::string& month);
// The same for any month file, history\YYYY-MM<suffix>.
bool ReadMonthFileName(std::string_view name, std::string_view suffix, std::string& month);

// Reads a whole month file of hours. Raises HistoryFormatError unless it is
// the header and rows of valid dates of `month` (YYYY-MM) with an hour from
// 0 to 23, distinct and ascending, and seven plain numbers each.
std::vector<HourRow> ParseHours(std::string_view text, std::string_view month);

std::string HoursText(const std::vector<HourRow>& rows);

// A row's line, which history.pending shares: read (`number` names it in
// the error; its date must be of `month`) and written, with its CR LF.
HourRow ReadHourRow(std::string_view line, int number, std::string_view month);
void AppendHourRow(std::string& text, const std::string& date, int hour, const DayFigures& figures);

// The month file's text with each hour's figures added to its row, rows
// created in order where missing; other rows keep their bytes. `added`
// holds rows of `month` with an hour from 0 to 23. Raises HistoryFormatError,
// as ParseHours, when the text is damaged.
std::string HoursWithAdded(std::string_view text, std::string_view month, const OwedRows& added);

}  // namespace qm

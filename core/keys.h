// The month files of keys, history\YYYY-MM-keys.csv: how often each
// virtual-key code was counted on each day, nothing else (never the order
// of the keys, their times or any text). Codes 3 to 255 of a day add up to
// its keys_pressed in history.csv, codes 1 and 2 to its mouse_clicks.
//
// In the figures the history owes its files, a key's row is
// RowKey{date, kWholeDay, code} with the presses in KeysPressed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/hours.h"

namespace qm {

extern const char kKeysHeader[];

// A month has at most 31 x 255 rows of some 30 bytes.
inline constexpr uint64_t kLargestKeysBytes = 512u * 1024;

struct KeyRow {
    std::string date;  // YYYY-MM-DD
    int code = 0;      // 1..255
    int64_t presses = 0;

    bool operator==(const KeyRow&) const = default;
};

// history\2026-12-keys.csv.
std::string KeysFileName(std::string_view month);
// Whether `name` is such a name (of a real month); its YYYY-MM goes to `month`.
bool ReadKeysFileName(std::string_view name, std::string& month);

// Reads a whole month file of keys. Raises HistoryFormatError unless it is
// the header and rows of valid dates of `month`, codes from 1 to 255 (in
// decimal) ascending within a day, each with a name (quoted as CSV quotes;
// the program writes KeyName but reads any) and a count of presses.
std::vector<KeyRow> ParseKeys(std::string_view text, std::string_view month);

std::string KeysText(const std::vector<KeyRow>& rows);

// A row's line, which history.pending shares, with its CR LF.
KeyRow ReadKeyRow(std::string_view line, int number, std::string_view month);
void AppendKeyRow(std::string& text, const std::string& date, int code, int64_t presses);

// The text with each key's presses added to its row, rows created in order
// where missing; other rows keep their bytes. `added` holds key rows of
// `month`. Raises HistoryFormatError, as ParseKeys, when the text is damaged.
std::string KeysWithAdded(std::string_view text, std::string_view month, const OwedRows& added);

}  // namespace qm

#include "core/keys.h"

#include "core/key_names.h"
#include "core/numbers.h"

namespace qm {

const char kKeysHeader[] = "date,key_code,key_name,presses";

std::string KeysFileName(std::string_view month) {
    return std::string(kHistoryFolder) + "\\" + std::string(month) + "-keys.csv";
}

bool ReadKeysFileName(std::string_view name, std::string& month) { return ReadMonthFileName(name, "-keys.csv", month); }

void AppendKeyRow(std::string& text, const std::string& date, int code, int64_t presses) {
    text += date;
    text += ',';
    AppendCount(text, code);
    text += ',';
    AppendCsvField(text, KeyName(code));
    text += ',';
    AppendCount(text, presses);
    text += "\r\n";
}

KeyRow ReadKeyRow(std::string_view line, int number, std::string_view month) {
    // date,code,name,presses: the name may be quoted and hold commas.
    const size_t first = line.find(','), second = first == std::string_view::npos ? first : line.find(',', first + 1);
    const size_t last = line.rfind(',');
    if (second == std::string_view::npos || last <= second)
        throw HistoryFormatError(number, "a row of keys has four fields: date, key code, key name and presses");
    const std::string_view name = line.substr(second + 1, last - second - 1);
    if (name.find('"') != std::string_view::npos) {
        // Quoted whole, inner quotes doubled.
        bool whole = name.size() >= 2 && name.front() == '"' && name.back() == '"';
        for (size_t i = 1; whole && i + 1 < name.size(); ++i)
            if (name[i] == '"') whole = name[++i] == '"' && i + 1 < name.size();
        if (!whole) throw HistoryFormatError(number, "the key name is not quoted as CSV quotes");
    } else if (name.find(',') != std::string_view::npos) {
        throw HistoryFormatError(number, "a row of keys has four fields: date, key code, key name and presses");
    }
    KeyRow row;
    row.date = ReadRowDate(line.substr(0, first), number);
    if (!row.date.starts_with(month) || row.date.size() <= month.size() || row.date[month.size()] != '-')
        throw HistoryFormatError(number, row.date + " is not a day of " + std::string(month));
    const std::string_view code = line.substr(first + 1, second - first - 1);
    int64_t value = 0;
    if (!ReadCount(code, value) || value < 1 || value > 255 || (code.size() > 1 && code[0] == '0'))
        throw HistoryFormatError(number, "\"" + std::string(code.substr(0, 8)) + "\" is not a key code from 1 to 255");
    row.code = static_cast<int>(value);
    const std::string_view presses = line.substr(last + 1);
    if (!ReadCount(presses, row.presses) || row.presses < 0)
        throw HistoryFormatError(number, "\"" + std::string(presses.substr(0, 24)) + "\" is not a count of presses");
    return row;
}

namespace {

template <class Each>
void ScanKeys(std::string_view text, std::string_view month, Each&& each) {
    std::string previousDate;
    int previousCode = 0;
    ForEachLineAfterHeader(
        text,
        [&](std::string_view line, int number) {
            KeyRow row = ReadKeyRow(line, number, month);
            if (!previousDate.empty() &&
                (row.date < previousDate || (row.date == previousDate && row.code <= previousCode)))
                throw HistoryFormatError(number, row.date + " key " + std::to_string(row.code) +
                                                     (row.date == previousDate && row.code == previousCode
                                                          ? " appears twice"
                                                          : " comes too late"));
            previousDate = row.date;
            previousCode = row.code;
            each(row, line);
        },
        kKeysHeader);
}

}  // namespace

std::vector<KeyRow> ParseKeys(std::string_view text, std::string_view month) {
    std::vector<KeyRow> rows;
    ScanKeys(text, month, [&](KeyRow& row, std::string_view) { rows.push_back(std::move(row)); });
    return rows;
}

std::string KeysText(const std::vector<KeyRow>& rows) {
    std::string text = kKeysHeader;
    text += "\r\n";
    for (const KeyRow& row : rows) AppendKeyRow(text, row.date, row.code, row.presses);
    return text;
}

std::string KeysWithAdded(std::string_view text, std::string_view month, const OwedRows& added) {
    std::string result;
    result.reserve(text.size() + 2 + (added.size() + 1) * 32);
    result += kKeysHeader;
    result += "\r\n";
    auto next = added.begin();
    const auto before = [&](const KeyRow& row) {
        return next->first.date < row.date || (next->first.date == row.date && next->first.code < row.code);
    };
    ScanKeys(text, month, [&](const KeyRow& row, std::string_view line) {
        for (; next != added.end() && before(row); ++next)
            AppendKeyRow(result, next->first.date, next->first.code, next->second.KeysPressed);
        if (next != added.end() && next->first.date == row.date && next->first.code == row.code) {
            DayFigures sum;
            sum.KeysPressed = row.presses;
            sum += next->second;
            AppendKeyRow(result, row.date, row.code, sum.KeysPressed);
            ++next;
        } else {
            result += line;
            result += "\r\n";
        }
    });
    for (; next != added.end(); ++next)
        AppendKeyRow(result, next->first.date, next->first.code, next->second.KeysPressed);
    return result;
}

}  // namespace qm

#include "core/hours.h"

#include "core/numbers.h"

namespace qm {

const char kHoursHeader[] =
    "date,hour,keys_pressed,mouse_clicks,mouse_pixels,letters_typed,typing_seconds,other_keys_seconds,passed_seconds";

void AddRows(OwedRows& to, const OwedRows& more) {
    for (const auto& [key, figures] : more)
        if (!figures.IsZero()) to[key] += figures;
}

OwedDays DaysOf(const OwedRows& rows) {
    OwedDays days;
    for (const auto& [key, figures] : rows)
        if (!figures.IsZero() && !key.IsBreakdown()) days[key.date] += figures;
    return days;
}

std::string MonthOf(std::string_view date) { return std::string(date.substr(0, 7)); }

std::string HoursFileName(std::string_view month) {
    return std::string(kHistoryFolder) + "\\" + std::string(month) + "-hours.csv";
}

bool ReadMonthFileName(std::string_view name, std::string_view suffix, std::string& month) {
    const std::string_view prefix = "history\\";
    if (!name.starts_with(prefix) || !name.ends_with(suffix) || name.size() != prefix.size() + 7 + suffix.size())
        return false;
    const std::string_view m = name.substr(prefix.size(), 7);
    LocalDate date;
    if (!ReadHistoryDate(std::string(m) + "-01", date)) return false;
    month = std::string(m);
    return true;
}

bool ReadHoursFileName(std::string_view name, std::string& month) { return ReadMonthFileName(name, "-hours.csv", month); }

void AppendHourRow(std::string& text, const std::string& date, int hour, const DayFigures& figures) {
    text += date;
    text += ',';
    AppendCount(text, hour);
    text += ',';
    AppendRowFigures(text, figures);
}

HourRow ReadHourRow(std::string_view line, int number, std::string_view month) {
    std::string_view fields[9];
    SplitRowFields(line, fields, 9, number);
    HourRow row;
    row.date = ReadRowDate(fields[0], number);
    if (!row.date.starts_with(month) || row.date.size() <= month.size() || row.date[month.size()] != '-')
        throw HistoryFormatError(number, row.date + " is not a day of " + std::string(month));
    int64_t hour = -1;
    if (!ReadCount(fields[1], hour) || hour < 0 || hour > 23 || (fields[1].size() > 1 && fields[1][0] == '0'))
        throw HistoryFormatError(number, "\"" + std::string(fields[1].substr(0, 8)) + "\" is not an hour from 0 to 23");
    row.hour = static_cast<int>(hour);
    row.figures = ReadRowFigures(fields + 2, number);
    return row;
}

namespace {

// Calls each(row, line) for every row of the month file, in order, after checking it.
template <class Each>
void ScanHours(std::string_view text, std::string_view month, Each&& each) {
    RowKey previous;
    ForEachLineAfterHeader(
        text,
        [&](std::string_view line, int number) {
            HourRow row = ReadHourRow(line, number, month);
            RowKey key{row.date, row.hour};
            if (!previous.date.empty() && key <= previous)
                throw HistoryFormatError(number, row.date + " " + std::to_string(row.hour) + ":00" +
                                                     (key == previous ? " appears twice" : " comes too late"));
            previous = std::move(key);
            each(row, line);
        },
        kHoursHeader);
}

}  // namespace

std::vector<HourRow> ParseHours(std::string_view text, std::string_view month) {
    std::vector<HourRow> rows;
    ScanHours(text, month, [&](HourRow& row, std::string_view) { rows.push_back(std::move(row)); });
    return rows;
}

std::string HoursText(const std::vector<HourRow>& rows) {
    std::string text = kHoursHeader;
    text += "\r\n";
    for (const HourRow& row : rows) AppendHourRow(text, row.date, row.hour, row.figures);
    return text;
}

std::string HoursWithAdded(std::string_view text, std::string_view month, const OwedRows& added) {
    std::string result;
    result.reserve(text.size() + 2 + (added.size() + 1) * 64);
    result += kHoursHeader;
    result += "\r\n";
    auto next = added.begin();
    const auto before = [&](const HourRow& row) {
        return next->first.date < row.date || (next->first.date == row.date && next->first.hour < row.hour);
    };
    ScanHours(text, month, [&](const HourRow& row, std::string_view line) {
        for (; next != added.end() && before(row); ++next)
            AppendHourRow(result, next->first.date, next->first.hour, next->second);
        if (next != added.end() && next->first.date == row.date && next->first.hour == row.hour) {
            DayFigures sum = row.figures;
            sum += next->second;
            AppendHourRow(result, row.date, row.hour, sum);
            ++next;
        } else {
            result += line;
            result += "\r\n";
        }
    });
    for (; next != added.end(); ++next) AppendHourRow(result, next->first.date, next->first.hour, next->second);
    return result;
}

}  // namespace qm

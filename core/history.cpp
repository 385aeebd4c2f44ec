#include "core/history.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "core/numbers.h"

namespace qm {

const char kHistoryHeader[] =
    "date,keys_pressed,mouse_clicks,mouse_pixels,letters_typed,typing_seconds,other_keys_seconds,passed_seconds";

HistoryFormatError::HistoryFormatError(int l, const std::string& problem)
    : std::runtime_error("line " + std::to_string(l) + ": " + problem), line(l) {}

namespace {

void AddCount(int64_t& to, int64_t more) {
    if (__builtin_add_overflow(to, more, &to))
        to = more > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
}

void AddSeconds(double& to, double more) {
    to += more;
    if (!std::isfinite(to)) to = std::signbit(to) ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
}

}  // namespace

DayFigures& DayFigures::operator+=(const DayFigures& more) {
    AddCount(KeysPressed, more.KeysPressed);
    AddCount(MouseClicks, more.MouseClicks);
    AddCount(MousePixels, more.MousePixels);
    AddCount(LettersTyped, more.LettersTyped);
    AddSeconds(TypingSeconds, more.TypingSeconds);
    AddSeconds(OtherKeysSeconds, more.OtherKeysSeconds);
    AddCount(PassedSeconds, more.PassedSeconds);
    return *this;
}

void AddDays(OwedDays& to, const OwedDays& more) {
    for (const auto& [date, figures] : more) {
        if (figures.IsZero()) continue;
        to[date] += figures;
    }
}

DayFigures UnsavedFigures(const Statistics& stats) {
    const StatRecord& c = stats.CurrentStat;
    const StatRecord& s = stats.SavedStat;
    DayFigures d;
    d.KeysPressed = int64_t{c.KeysPressed} - s.KeysPressed;
    d.MouseClicks = int64_t{c.MouseClicks} - s.MouseClicks;
    d.MousePixels = int64_t{c.MousePixels} - s.MousePixels;
    d.LettersTyped = int64_t{c.LettersTyped} - s.LettersTyped;
    d.TypingSeconds = c.TypingTime - s.TypingTime;
    d.OtherKeysSeconds = c.OtherKeysTime - s.OtherKeysTime;
    d.PassedSeconds = int64_t{c.PassedSeconds} - s.PassedSeconds;
    return d;
}

namespace {

std::string Quoted(std::string_view s) {
    constexpr size_t kShown = 40;
    std::string shown(s.substr(0, kShown));
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e) c = '?';
    return "\"" + shown + (s.size() > kShown ? "...\"" : "\"");
}

}  // namespace

void SplitRowFields(std::string_view line, std::string_view* fields, size_t wanted, int number) {
    size_t count = 0, start = 0;
    for (;;) {
        const size_t comma = line.find(',', start);
        if (count < wanted) fields[count] = line.substr(start, comma == std::string_view::npos ? comma : comma - start);
        ++count;
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    if (count != wanted) {
        if (count == 1 && line.find(';') != std::string_view::npos)
            throw HistoryFormatError(number, "the fields are separated by \";\", not by \",\"");
        throw HistoryFormatError(number, std::to_string(wanted) + " fields separated by \",\" expected, " +
                                             std::to_string(count) + " found in " + Quoted(line));
    }
}

std::string ReadRowDate(std::string_view field, int number) {
    LocalDate date;
    if (!ReadHistoryDate(field, date))
        throw HistoryFormatError(number, Quoted(field) + " is not a date written as YYYY-MM-DD");
    return std::string(field);
}

DayFigures ReadRowFigures(const std::string_view* fields, int number) {
    DayFigures figures;
    int64_t DayFigures::*counts[] = {&DayFigures::KeysPressed, &DayFigures::MouseClicks, &DayFigures::MousePixels,
                                     &DayFigures::LettersTyped};
    for (size_t i = 0; i < 4; ++i)
        if (!ReadCount(fields[i], figures.*counts[i]))
            throw HistoryFormatError(number, Quoted(fields[i]) + " is not a whole number");
    if (!ReadSeconds(fields[4], figures.TypingSeconds))
        throw HistoryFormatError(number, Quoted(fields[4]) + " is not a number of seconds");
    if (!ReadSeconds(fields[5], figures.OtherKeysSeconds))
        throw HistoryFormatError(number, Quoted(fields[5]) + " is not a number of seconds");
    if (!ReadCount(fields[6], figures.PassedSeconds))
        throw HistoryFormatError(number, Quoted(fields[6]) + " is not a whole number");
    return figures;
}

void AppendCsvField(std::string& text, std::string_view field) {
    const bool quote = field.find_first_of(",\"\r\n") != std::string_view::npos || field.empty() ||
                       field.front() == ' ' || field.back() == ' ';
    if (!quote) {
        text += field;
        return;
    }
    text += '"';
    for (char c : field) {
        if (c == '"') text += '"';
        text += c;
    }
    text += '"';
}

std::string ReadCsvField(std::string_view line, size_t& at, int number) {
    std::string field;
    if (at >= line.size() || line[at] != '"') {
        const size_t comma = line.find(',', at);
        const std::string_view plain = line.substr(at, comma == std::string_view::npos ? comma : comma - at);
        if (plain.find('"') != std::string_view::npos)
            throw HistoryFormatError(number, Quoted(plain) + " holds a quote without being quoted as CSV quotes");
        at = comma == std::string_view::npos ? comma : comma + 1;
        return std::string(plain);
    }
    for (size_t i = at + 1;; ++i) {
        if (i >= line.size()) throw HistoryFormatError(number, "a quoted field is not closed");
        if (line[i] != '"') {
            field += line[i];
            continue;
        }
        if (i + 1 < line.size() && line[i + 1] == '"') {
            field += '"';
            ++i;
            continue;
        }
        if (i + 1 < line.size() && line[i + 1] != ',')
            throw HistoryFormatError(number, "a quoted field goes on after its closing quote");
        at = i + 1 < line.size() ? i + 2 : std::string_view::npos;
        return field;
    }
}

HistoryRow ReadHistoryRow(std::string_view line, int number) {
    std::string_view fields[8];
    SplitRowFields(line, fields, 8, number);
    HistoryRow row;
    row.date = ReadRowDate(fields[0], number);
    row.figures = ReadRowFigures(fields + 1, number);
    return row;
}

namespace {

// stat.dat's own real text. (A save formats only the rows it changes; the
// precision form of std::to_chars would have added some 230 KB of tables to
// the program for no gain.)
void AppendSeconds(std::string& out, double value) { out += RealText(value); }

// Calls each(line, number) for every line after the first, which must be
// the header. Lines end in LF or CR LF; the last one may lack its end.
template <class Each>
void EachLineAfterHeader(std::string_view text, const char* header, Each&& each) {
    int number = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
        start = end == std::string_view::npos ? text.size() : end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ++number;
        if (number == 1) {
            if (line != header)
                throw HistoryFormatError(1, "the first line is not the header \"" + std::string(header) + "\"");
            continue;
        }
        each(line, number);
    }
    if (number == 0) throw HistoryFormatError(1, "the file is empty");
}

// Calls each(row, line) for every row, in order, after checking it.
template <class Each>
void ScanHistory(std::string_view text, Each&& each) {
    std::string previous;
    EachLineAfterHeader(text, kHistoryHeader, [&](std::string_view line, int number) {
        const HistoryRow row = ReadHistoryRow(line, number);
        if (row.date <= previous)
            throw HistoryFormatError(number, row.date + (row.date == previous ? " appears twice" : " comes after " + previous));
        previous = row.date;
        each(row, line);
    });
}

}  // namespace

void AppendRowFigures(std::string& text, const DayFigures& f) {
    AppendCount(text, f.KeysPressed);
    text += ',';
    AppendCount(text, f.MouseClicks);
    text += ',';
    AppendCount(text, f.MousePixels);
    text += ',';
    AppendCount(text, f.LettersTyped);
    text += ',';
    AppendSeconds(text, f.TypingSeconds);
    text += ',';
    AppendSeconds(text, f.OtherKeysSeconds);
    text += ',';
    AppendCount(text, f.PassedSeconds);
    text += "\r\n";
}

void AppendHistoryRow(std::string& text, const std::string& date, const DayFigures& f) {
    text += date;
    text += ',';
    AppendRowFigures(text, f);
}

void ForEachLineAfterHeader(std::string_view text, const std::function<void(std::string_view, int)>& each,
                            const char* header) {
    EachLineAfterHeader(text, header, each);
}

std::vector<HistoryRow> ParseHistory(std::string_view text) {
    // Grows row by row: a count taken from unchecked text (a header and
    // millions of line feeds) must not decide an allocation.
    std::vector<HistoryRow> rows;
    ScanHistory(text, [&](const HistoryRow& row, std::string_view) { rows.push_back(row); });
    return rows;
}

std::string TooLargeHistoryText(uint64_t size) {
    return "it is " + std::to_string(size) + " bytes long, more than any real history (at most " +
           std::to_string(kLargestHistoryBytes) + " bytes)";
}

std::string HistoryText(const std::vector<HistoryRow>& rows) {
    std::string text;
    text.reserve(sizeof kHistoryHeader + 2 + rows.size() * 64);
    text += kHistoryHeader;
    text += "\r\n";
    for (const HistoryRow& row : rows) AppendHistoryRow(text, row.date, row.figures);
    return text;
}

std::string HistoryWithAdded(std::string_view text, const OwedDays& added) {
    std::string result;
    result.reserve(text.size() + 2 + (added.size() + 1) * 64);
    result += kHistoryHeader;
    result += "\r\n";
    auto next = added.begin();
    ScanHistory(text, [&](const HistoryRow& row, std::string_view line) {
        for (; next != added.end() && next->first < row.date; ++next) AppendHistoryRow(result, next->first, next->second);
        if (next != added.end() && next->first == row.date) {
            DayFigures sum = row.figures;
            sum += next->second;
            AppendHistoryRow(result, row.date, sum);
            ++next;
        } else {
            // Untouched rows keep their bytes: ten years of them cost a copy, not a rewrite.
            result += line;
            result += "\r\n";
        }
    });
    for (; next != added.end(); ++next) AppendHistoryRow(result, next->first, next->second);
    return result;
}

}  // namespace qm

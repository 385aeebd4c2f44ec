#include "core/history.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "core/stat_file.h"

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

std::string HistoryDate(const LocalDate& date) {
    LocalDate d = date;
    if (d.year > 9999) d = {9999, 12, 31};
    if (d.year < 1) d = {1, 1, 1};
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buffer;
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), IsDigit);
}

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

int Number(std::string_view digits) {
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

bool IsDate(std::string_view s) {
    if (s.size() != 10 || s[4] != '-' || s[7] != '-') return false;
    if (!AllDigits(s.substr(0, 4)) || !AllDigits(s.substr(5, 2)) || !AllDigits(s.substr(8, 2))) return false;
    const int year = Number(s.substr(0, 4)), month = Number(s.substr(5, 2)), day = Number(s.substr(8, 2));
    return year >= 1 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

std::string Quoted(std::string_view s) {
    constexpr size_t kShown = 40;
    std::string shown(s.substr(0, kShown));
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e) c = '?';
    return "\"" + shown + (s.size() > kShown ? "...\"" : "\"");
}

// A count: an optional "-" and digits, within the 64-bit range (sums stop
// at its ends, so every count written reads back).
bool ReadCount(std::string_view s, int64_t& value) {
    std::string_view digits = !s.empty() && s[0] == '-' ? s.substr(1) : s;
    if (!AllDigits(digits) || digits.size() > 19) return false;
    auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    return error == std::errc() && end == s.data() + s.size();
}

// Seconds as stat.dat's real text writes them: an optional "-", digits,
// optionally "." and digits, optionally "e", an optional "-" and digits
// (1e16, 1.7976931348623157e308), within the range of a double. The plain
// form of the smallest doubles takes some 340 characters.
bool ReadSeconds(std::string_view s, double& value) {
    if (s.size() > 400) return false;
    std::string_view rest = !s.empty() && s[0] == '-' ? s.substr(1) : s;
    const size_t e = rest.find('e');
    std::string_view mantissa = rest.substr(0, e);
    const size_t point = mantissa.find('.');
    if (!AllDigits(mantissa.substr(0, point))) return false;
    if (point != std::string_view::npos && !AllDigits(mantissa.substr(point + 1))) return false;
    if (e != std::string_view::npos) {
        std::string_view exponent = rest.substr(e + 1);
        if (!exponent.empty() && exponent[0] == '-') exponent.remove_prefix(1);
        if (!AllDigits(exponent)) return false;
    }
    auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
    return error == std::errc() && end == s.data() + s.size() && std::isfinite(value);
}

HistoryRow ReadRow(std::string_view line, int number) {
    std::string_view fields[8];
    size_t count = 0, start = 0;
    for (;;) {
        const size_t comma = line.find(',', start);
        if (count < 8) fields[count] = line.substr(start, comma == std::string_view::npos ? comma : comma - start);
        ++count;
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    if (count != 8) {
        if (count == 1 && line.find(';') != std::string_view::npos)
            throw HistoryFormatError(number, "the fields are separated by \";\", not by \",\"");
        throw HistoryFormatError(number, "8 fields separated by \",\" expected, " + std::to_string(count) +
                                             " found in " + Quoted(line));
    }
    HistoryRow row;
    if (!IsDate(fields[0]))
        throw HistoryFormatError(number, Quoted(fields[0]) + " is not a date written as YYYY-MM-DD");
    row.date = std::string(fields[0]);
    int64_t DayFigures::*counts[] = {&DayFigures::KeysPressed, &DayFigures::MouseClicks, &DayFigures::MousePixels,
                                     &DayFigures::LettersTyped};
    for (size_t i = 0; i < 4; ++i)
        if (!ReadCount(fields[1 + i], row.figures.*counts[i]))
            throw HistoryFormatError(number, Quoted(fields[1 + i]) + " is not a whole number");
    if (!ReadSeconds(fields[5], row.figures.TypingSeconds))
        throw HistoryFormatError(number, Quoted(fields[5]) + " is not a number of seconds");
    if (!ReadSeconds(fields[6], row.figures.OtherKeysSeconds))
        throw HistoryFormatError(number, Quoted(fields[6]) + " is not a number of seconds");
    if (!ReadCount(fields[7], row.figures.PassedSeconds))
        throw HistoryFormatError(number, Quoted(fields[7]) + " is not a whole number");
    return row;
}

void AppendCount(std::string& out, int64_t value) {
    char buffer[24];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, end);
}

// stat.dat's own real text. (A save formats only the rows it changes; the
// precision form of std::to_chars would have added some 230 KB of tables to
// the program for no gain.)
void AppendSeconds(std::string& out, double value) { out += RealText(value); }

// Calls each(line, number) for every line after the first, which must be
// the header. Lines end in LF or CR LF; the last one may lack its end.
template <class Each>
void ForEachLineAfterHeader(std::string_view text, Each&& each) {
    int number = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
        start = end == std::string_view::npos ? text.size() : end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ++number;
        if (number == 1) {
            if (line != kHistoryHeader)
                throw HistoryFormatError(1, "the first line is not the header \"" + std::string(kHistoryHeader) + "\"");
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
    ForEachLineAfterHeader(text, [&](std::string_view line, int number) {
        const HistoryRow row = ReadRow(line, number);
        if (row.date <= previous)
            throw HistoryFormatError(number, row.date + (row.date == previous ? " appears twice" : " comes after " + previous));
        previous = row.date;
        each(row, line);
    });
}

void AppendRow(std::string& text, const std::string& date, const DayFigures& f) {
    text += date;
    text += ',';
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

}  // namespace

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
    for (const HistoryRow& row : rows) AppendRow(text, row.date, row.figures);
    return text;
}

std::string HistoryWithAdded(std::string_view text, const OwedDays& added) {
    std::string result;
    result.reserve(text.size() + 2 + (added.size() + 1) * 64);
    result += kHistoryHeader;
    result += "\r\n";
    auto next = added.begin();
    ScanHistory(text, [&](const HistoryRow& row, std::string_view line) {
        for (; next != added.end() && next->first < row.date; ++next) AppendRow(result, next->first, next->second);
        if (next != added.end() && next->first == row.date) {
            DayFigures sum = row.figures;
            sum += next->second;
            AppendRow(result, row.date, sum);
            ++next;
        } else {
            // Untouched rows keep their bytes: ten years of them cost a copy, not a rewrite.
            result += line;
            result += "\r\n";
        }
    });
    for (; next != added.end(); ++next) AppendRow(result, next->first, next->second);
    return result;
}

namespace {

const char kIfStatDat[] = "if stat.dat is,";
const char kUnlessHistory[] = "unless history.csv is,";

void AppendHash(std::string& out, uint64_t hash) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(hash));
    out += buffer;
}

bool ReadHash(std::string_view s, uint64_t& hash) {
    if (s.size() != 16) return false;
    for (char c : s)
        if (!IsDigit(c) && !(c >= 'a' && c <= 'f')) return false;
    std::from_chars(s.data(), s.data() + s.size(), hash, 16);
    return true;
}

}  // namespace

std::string PendingText(const std::vector<PendingSection>& sections) {
    std::string text = kHistoryHeader;
    text += "\r\n";
    for (const PendingSection& section : sections) {
        text += kIfStatDat;
        AppendHash(text, section.statHash);
        text += "\r\n";
        if (section.appliedKnown) {
            text += kUnlessHistory;
            AppendHash(text, section.historyHashWithRows);
            text += "\r\n";
        }
        for (const HistoryRow& row : section.rows) AppendRow(text, row.date, row.figures);
    }
    return text;
}

std::vector<PendingSection> ParsePending(std::string_view text) {
    std::vector<PendingSection> sections;
    ForEachLineAfterHeader(text, [&](std::string_view line, int number) {
        if (line.starts_with(kIfStatDat)) {
            PendingSection section;
            if (!ReadHash(line.substr(sizeof kIfStatDat - 1), section.statHash))
                throw HistoryFormatError(number, "the state of stat.dat is not 16 hexadecimal digits");
            sections.push_back(std::move(section));
            return;
        }
        if (sections.empty()) throw HistoryFormatError(number, "a row before the first \"if stat.dat is\" line");
        PendingSection& section = sections.back();
        if (line.starts_with(kUnlessHistory)) {
            if (section.appliedKnown || !section.rows.empty() ||
                !ReadHash(line.substr(sizeof kUnlessHistory - 1), section.historyHashWithRows))
                throw HistoryFormatError(number, "a misplaced or unreadable \"unless history.csv is\" line");
            section.appliedKnown = true;
            return;
        }
        HistoryRow row = ReadRow(line, number);
        if (!section.rows.empty() && row.date <= section.rows.back().date)
            throw HistoryFormatError(number, row.date + " is not after " + section.rows.back().date);
        section.rows.push_back(std::move(row));
    });
    return sections;
}

}  // namespace qm

#include "core/programs.h"

#include "core/numbers.h"

namespace qm {

const char kProgramsHeader[] =
    "date,program,name,keys_pressed,mouse_clicks,mouse_pixels,letters_typed,typing_seconds,other_keys_seconds,"
    "active_seconds";

std::string CleanProgramText(std::string_view text) {
    std::string clean;
    clean.reserve(text.size());
    for (char c : text) clean += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
    const size_t first = clean.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    clean.erase(clean.find_last_not_of(' ') + 1);
    clean.erase(0, first);
    if (clean.size() > kLongestProgramText) {
        // Cut before a byte that goes on a character (10xxxxxx).
        size_t end = kLongestProgramText;
        while (end > 0 && (static_cast<unsigned char>(clean[end]) & 0xC0) == 0x80) --end;
        clean.resize(end);
        clean.erase(clean.find_last_not_of(' ') + 1);
    }
    return clean;
}

std::string ProgramsFileName(std::string_view month) {
    return std::string(kHistoryFolder) + "\\" + std::string(month) + "-programs.csv";
}

bool ReadProgramsFileName(std::string_view name, std::string& month) {
    return ReadMonthFileName(name, "-programs.csv", month);
}

namespace {

// Active milliseconds as seconds: 1830420 as "1830.42".
void AppendActiveSeconds(std::string& text, int64_t ms) {
    if (ms < 0) ms = 0;  // no program is in front for less than no time
    AppendCount(text, ms / 1000);
    int64_t part = ms % 1000;
    if (part == 0) return;
    char digits[4] = {char('0' + part / 100), char('0' + part / 10 % 10), char('0' + part % 10), 0};
    std::string_view decimals(digits, 3);
    while (decimals.back() == '0') decimals.remove_suffix(1);
    text += '.';
    text += decimals;
}

// "1830.42" as 1830420: digits, optionally "." and one to three digits.
bool ReadActiveSeconds(std::string_view field, int64_t& ms) {
    const size_t dot = field.find('.');
    int64_t whole = 0;
    const std::string_view integral = field.substr(0, dot);
    if (integral.empty() || integral[0] == '-' || !ReadCount(integral, whole) || whole > INT64_MAX / 1000)
        return false;
    int64_t part = 0;
    if (dot != std::string_view::npos) {
        const std::string_view decimals = field.substr(dot + 1);
        if (decimals.empty() || decimals.size() > 3) return false;
        for (size_t i = 0; i < 3; ++i) {
            const char c = i < decimals.size() ? decimals[i] : '0';
            if (c < '0' || c > '9') return false;
            part = part * 10 + (c - '0');
        }
    }
    if (part > INT64_MAX - whole * 1000) return false;  // beyond what a sum stops at
    ms = whole * 1000 + part;
    return true;
}

// Whether CleanProgramText leaves `text` as it is (and it is not empty),
// checked without a copy: every row of a month file goes through it.
bool IsClean(std::string_view text) {
    if (text.empty() || text.size() > kLongestProgramText || text.front() == ' ' || text.back() == ' ') return false;
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    return true;
}

// Why `text` cannot be a program's file name or name, or nothing.
std::string ProblemOf(const std::string& text, const char* what) {
    if (IsClean(text)) return "";
    if (text.empty()) return std::string("the ") + what + " is empty";
    return std::string("the ") + what + " \"" + text.substr(0, 40) +
           "\" has blanks at an end, control characters or is too long";
}

}  // namespace

void AppendProgramRow(std::string& text, const std::string& date, const std::string& program,
                      const std::string& name, const DayFigures& f) {
    text += date;
    text += ',';
    AppendCsvField(text, program);
    text += ',';
    // A name is a label: one that would not read back is written as it would.
    const std::string clean = CleanProgramText(name);
    AppendCsvField(text, clean.empty() ? program : clean);
    text += ',';
    // The six shared figures, then the active time in place of passed seconds.
    DayFigures shared = f;
    shared.PassedSeconds = 0;
    AppendRowFigures(text, shared);
    text.resize(text.size() - 3);  // ",0\r\n"
    AppendActiveSeconds(text, f.PassedSeconds);
    text += "\r\n";
}

ProgramRow ReadProgramRow(std::string_view line, int number, std::string_view month) {
    ProgramRow row;
    size_t comma = line.find(',');
    if (comma == std::string_view::npos)
        throw HistoryFormatError(number, "a row of programs has ten fields: date, program, name and seven figures");
    row.date = ReadRowDate(line.substr(0, comma), number);
    if (!row.date.starts_with(month) || row.date.size() <= month.size() || row.date[month.size()] != '-')
        throw HistoryFormatError(number, row.date + " is not a day of " + std::string(month));
    size_t at = comma + 1;
    row.program = ReadCsvField(line, at, number);
    if (at != std::string_view::npos) row.name = ReadCsvField(line, at, number);
    if (at == std::string_view::npos)
        throw HistoryFormatError(number, "a row of programs has ten fields: date, program, name and seven figures");
    for (const auto& [text, what] : {std::pair{&row.program, "program"}, std::pair{&row.name, "name"}})
        if (std::string problem = ProblemOf(*text, what); !problem.empty()) throw HistoryFormatError(number, problem);
    std::string_view fields[7];
    SplitRowFields(line.substr(at), fields, 7, number);
    const std::string_view active = fields[6];
    fields[6] = "0";
    row.figures = ReadRowFigures(fields, number);
    if (!ReadActiveSeconds(active, row.figures.PassedSeconds))
        throw HistoryFormatError(number, "\"" + std::string(active.substr(0, 24)) +
                                             "\" is not a number of seconds with at most three decimals");
    return row;
}

namespace {

template <class Each>
void ScanPrograms(std::string_view text, std::string_view month, Each&& each) {
    std::string previousDate, previousProgram;
    ForEachLineAfterHeader(
        text,
        [&](std::string_view line, int number) {
            ProgramRow row = ReadProgramRow(line, number, month);
            if (!previousDate.empty() &&
                (row.date < previousDate || (row.date == previousDate && row.program <= previousProgram)))
                throw HistoryFormatError(number, row.date + " " + row.program +
                                                     (row.date == previousDate && row.program == previousProgram
                                                          ? " appears twice"
                                                          : " comes too late"));
            previousDate = row.date;
            previousProgram = row.program;
            each(row, line);
        },
        kProgramsHeader);
}

}  // namespace

std::vector<ProgramRow> ParsePrograms(std::string_view text, std::string_view month) {
    std::vector<ProgramRow> rows;
    ScanPrograms(text, month, [&](ProgramRow& row, std::string_view) { rows.push_back(std::move(row)); });
    return rows;
}

std::string ProgramsText(const std::vector<ProgramRow>& rows) {
    std::string text = kProgramsHeader;
    text += "\r\n";
    for (const ProgramRow& row : rows) AppendProgramRow(text, row.date, row.program, row.name, row.figures);
    return text;
}

std::string ProgramsWithAdded(std::string_view text, std::string_view month, const OwedRows& added) {
    std::string result;
    result.reserve(text.size() + 2 + (added.size() + 1) * 100);
    result += kProgramsHeader;
    result += "\r\n";
    auto next = added.begin();
    const auto before = [&](const ProgramRow& row) {
        return next->first.date < row.date || (next->first.date == row.date && next->first.program < row.program);
    };
    const auto append = [&](const RowKey& key, const DayFigures& figures) {
        AppendProgramRow(result, key.date, key.program, key.name.empty() ? key.program : key.name, figures);
    };
    ScanPrograms(text, month, [&](const ProgramRow& row, std::string_view line) {
        for (; next != added.end() && before(row); ++next) append(next->first, next->second);
        if (next != added.end() && next->first.date == row.date && next->first.program == row.program) {
            DayFigures sum = row.figures;
            sum += next->second;
            AppendProgramRow(result, row.date, row.program, row.name, sum);
            ++next;
        } else {
            result += line;
            result += "\r\n";
        }
    });
    for (; next != added.end(); ++next) append(next->first, next->second);
    return result;
}

}  // namespace qm

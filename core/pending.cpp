#include "core/pending.h"

#include <charconv>
#include <cstdio>

namespace qm {

namespace {

const char kIfStatDat[] = "if stat.dat is,";
const char kUnlessHistory[] = "unless history.csv is,";
const char kForFile[] = "for,";
const char kUnlessFile[] = "unless it is,";

void AppendHash(std::string& out, uint64_t hash) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(hash));
    out += buffer;
}

bool ReadHash(std::string_view s, uint64_t& hash) {
    if (s.size() != 16) return false;
    for (char c : s)
        if (!(c >= '0' && c <= '9') && !(c >= 'a' && c <= 'f')) return false;
    std::from_chars(s.data(), s.data() + s.size(), hash, 16);
    return true;
}

}  // namespace

std::string PendingText(const std::vector<PendingSection>& sections) {
    std::string text = kHistoryHeader;
    text += "\r\n";
    for (const PendingSection& section : sections) {
        const bool history = section.file == kHistoryFile;
        text += kIfStatDat;
        AppendHash(text, section.statHash);
        text += "\r\n";
        if (!history) {
            text += kForFile;
            text += section.file;
            text += "\r\n";
        }
        if (section.appliedKnown) {
            text += history ? kUnlessHistory : kUnlessFile;
            AppendHash(text, section.fileHashWithRows);
            text += "\r\n";
        }
        std::string month;
        const HistoryFileKind kind = KindOfFile(section.file, month);
        for (const auto& [key, figures] : section.rows) {
            switch (kind) {
                case HistoryFileKind::Keys: AppendKeyRow(text, key.date, key.code, figures.KeysPressed); break;
                case HistoryFileKind::Programs:
                    AppendProgramRow(text, key.date, key.program, key.name.empty() ? key.program : key.name, figures);
                    break;
                case HistoryFileKind::Hours: AppendHourRow(text, key.date, key.hour, figures); break;
                default: AppendHistoryRow(text, key.date, figures); break;
            }
        }
    }
    return text;
}

HistoryFileKind KindOfFile(std::string_view file, std::string& month) {
    if (file == kHistoryFile) return HistoryFileKind::History;
    if (ReadHoursFileName(file, month)) return HistoryFileKind::Hours;
    if (ReadKeysFileName(file, month)) return HistoryFileKind::Keys;
    if (ReadProgramsFileName(file, month)) return HistoryFileKind::Programs;
    return HistoryFileKind::None;
}

std::vector<PendingSection> ParsePending(std::string_view text) {
    std::vector<PendingSection> sections;
    std::string month;  // of the month file the last section is for
    HistoryFileKind kind = HistoryFileKind::History;  // of that file
    bool started = false;  // the last section has a condition or a row
    ForEachLineAfterHeader(text, [&](std::string_view line, int number) {
        if (line.starts_with(kIfStatDat)) {
            PendingSection section;
            if (!ReadHash(line.substr(sizeof kIfStatDat - 1), section.statHash))
                throw HistoryFormatError(number, "the state of stat.dat is not 16 hexadecimal digits");
            sections.push_back(std::move(section));
            started = false;
            return;
        }
        if (sections.empty()) throw HistoryFormatError(number, "a row before the first \"if stat.dat is\" line");
        PendingSection& section = sections.back();
        const bool history = section.file == kHistoryFile;
        if (line.starts_with(kForFile)) {
            // Only ever a month file inside the history folder: the name decides where rows are written.
            const std::string_view name = line.substr(sizeof kForFile - 1);
            kind = KindOfFile(name, month);
            if (started || !history || kind == HistoryFileKind::None || kind == HistoryFileKind::History)
                throw HistoryFormatError(number, "a misplaced \"for\" line, or one that names no month file");
            section.file = std::string(name);
            return;
        }
        const char* unless = history ? kUnlessHistory : kUnlessFile;
        if (line.starts_with(unless)) {
            if (section.appliedKnown || !section.rows.empty() ||
                !ReadHash(line.substr(std::string_view(unless).size()), section.fileHashWithRows))
                throw HistoryFormatError(number, "a misplaced or unreadable \"" +
                                                     std::string(unless, std::string_view(unless).size() - 1) + "\" line");
            section.appliedKnown = true;
            started = true;
            return;
        }
        started = true;
        RowKey key;
        DayFigures figures;
        std::string what;  // the row, as the error names it
        if (history) {
            HistoryRow row = ReadHistoryRow(line, number);
            key = {std::move(row.date), kWholeDay};
            figures = row.figures;
        } else if (kind == HistoryFileKind::Keys) {
            KeyRow row = ReadKeyRow(line, number, month);
            key = {std::move(row.date), kWholeDay, row.code};
            figures.KeysPressed = row.presses;
            what = " key " + std::to_string(key.code);
        } else if (kind == HistoryFileKind::Programs) {
            ProgramRow row = ReadProgramRow(line, number, month);
            key = {std::move(row.date), kWholeDay, 0, std::move(row.program), std::move(row.name)};
            figures = row.figures;
            what = " " + key.program;
        } else {
            HourRow row = ReadHourRow(line, number, month);
            key = {std::move(row.date), row.hour};
            figures = row.figures;
            what = " " + std::to_string(key.hour) + ":00";
        }
        if (!section.rows.empty() && key <= section.rows.rbegin()->first)
            throw HistoryFormatError(number, key.date + (history ? "" : what) + " is not after the row before");
        section.rows.emplace_hint(section.rows.end(), std::move(key), figures);
    });
    return sections;
}

}  // namespace qm

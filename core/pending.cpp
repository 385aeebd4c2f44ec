#include "core/pending.h"

#include <charconv>
#include <cstdio>

namespace qm {

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
        if (!(c >= '0' && c <= '9') && !(c >= 'a' && c <= 'f')) return false;
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
        for (const HistoryRow& row : section.rows) AppendHistoryRow(text, row.date, row.figures);
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
        HistoryRow row = ReadHistoryRow(line, number);
        if (!section.rows.empty() && row.date <= section.rows.back().date)
            throw HistoryFormatError(number, row.date + " is not after " + section.rows.back().date);
        section.rows.push_back(std::move(row));
    });
    return sections;
}

}  // namespace qm

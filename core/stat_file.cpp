#include "core/stat_file.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/checked.h"
#include "core/dates.h"
#include "core/numbers.h"
#include "core/text.h"

namespace qm {

StatFileError::StatFileError(Reason r, std::string p, int l, const std::string& message)
    : std::runtime_error(message), reason(r), path(std::move(p)), line(l) {}

namespace {

// Lines end at CR (a following LF belongs to the end) or at a lone LF. A last
// line without its end still counts; nothing after the final end is a line.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

}  // namespace

std::optional<bool> ReadFlag(std::string_view text) {
    std::string s = WithoutBlanks(text);
    std::string lower;
    for (char c : s) lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower == "true") return true;
    if (lower == "false") return false;
    if (!IsOneNumber(s)) return std::nullopt;
    try {
        return ReadNumber(s) != 0.0;
    } catch (const OverflowError&) {
        return std::nullopt;  // 1e999 is no flag: the fallback decides
    }
}

std::string StatFileText(const StatRecord& c, bool autorunEnabled) {
    std::string text;
    for (const std::string& line :
         {std::to_string(c.KeysPressed), RealText(c.OtherKeysTime), std::to_string(c.MousePixels),
          std::to_string(c.LettersTyped), RealText(c.TypingTime), std::to_string(c.MouseClicks),
          std::to_string(c.PassedSeconds), c.SinceDate, std::string(autorunEnabled ? "True" : "False")})
        text += line + "\r\n";
    return text;
}

bool FileExists(FileSystem& files, const std::string& path) { return files.Exists(path); }

std::vector<CappedField> SaveStatistics(Statistics& stats, FileSystem& files, const std::string& path) {
    std::vector<CappedField> capped = MergeStatistics(stats);
    WriteFileAtomically(files, path, StatFileText(stats.CommonStat, stats.AutorunEnabled));
    return capped;
}

uint64_t LoadStatistics(Statistics& stats, FileSystem& files, const std::string& path,
                    const Calendar& calendar, const std::function<void(bool)>& setAutorun) {
    std::string text;
    try {
        text = files.ReadAll(path);
    } catch (const FileError& e) {
        throw StatFileError(StatFileError::Reason::CannotRead, path, 0, e.what());
    }
    const std::vector<std::string_view> lines = SplitLines(text);
    auto line = [&](int number) {
        if (static_cast<size_t>(number) > lines.size())
            throw StatFileError(StatFileError::Reason::EndOfFile, path, number,
                                path + ", line " + std::to_string(number) +
                                    ": the file ends before this line (it should have 9 lines)");
        return lines[static_cast<size_t>(number) - 1];
    };
    auto counter = [&](int number) {
        std::string_view t = line(number);
        try {
            return RoundToInt32(ReadNumber(t));
        } catch (const OverflowError&) {
            throw StatFileError(StatFileError::Reason::Overflow, path, number,
                                path + ", line " + std::to_string(number) + ": the number \"" +
                                    std::string(t) +
                                    "\" is outside the range -2147483648 to 2147483647");
        }
    };
    auto seconds = [&](int number) {
        std::string_view t = line(number);
        try {
            return ReadNumber(t);
        } catch (const OverflowError&) {
            throw StatFileError(StatFileError::Reason::Overflow, path, number,
                                path + ", line " + std::to_string(number) + ": the number \"" +
                                    std::string(t) + "\" is too large");
        }
    };

    // Read everything first and change the accounts only at the end: a failed
    // load leaves them as they were.
    StatRecord common = stats.CommonStat;
    common.KeysPressed = counter(1);
    common.OtherKeysTime = seconds(2);
    common.MousePixels = counter(3);
    common.LettersTyped = counter(4);
    common.TypingTime = seconds(5);
    common.MouseClicks = counter(6);
    common.PassedSeconds = counter(7);
    common.SinceDate = std::string(line(8));
    if (common.SinceDate.empty() || common.SinceDate == "0") common.SinceDate = DateText(calendar.Today());

    // Line 9 never fails the load: a missing or unreadable flag means start
    // with Windows, and the registry is told so.
    const std::optional<bool> flag = lines.size() >= 9 ? ReadFlag(lines[8]) : std::nullopt;
    if (!flag && setAutorun) setAutorun(true);
    stats.CommonStat = std::move(common);
    stats.AutorunEnabled = flag.value_or(true);
    return ContentHash(text);
}

}  // namespace qm

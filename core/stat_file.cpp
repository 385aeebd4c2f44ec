#include "core/stat_file.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/checked.h"
#include "core/text.h"

namespace qm {

StatFileError::StatFileError(Reason r, std::string p, int l, const std::string& message)
    : std::runtime_error(message), reason(r), path(std::move(p)), line(l) {}

namespace {

bool IsIgnored(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

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

// The longest prefix of `s` (blanks already removed) that fits the number pattern.
size_t NumberPrefixLength(const std::string& s, bool& hasDigits) {
    size_t i = 0, n = s.size();
    hasDigits = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    while (i < n && IsDigit(s[i])) { ++i; hasDigits = true; }
    if (i < n && s[i] == '.') {
        size_t j = i + 1;
        bool fraction = false;
        while (j < n && IsDigit(s[j])) { ++j; fraction = true; }
        if (hasDigits || fraction) { i = j; hasDigits = true; }
    }
    if (!hasDigits) return 0;
    if (i < n && (s[i] == 'E' || s[i] == 'e')) {
        size_t j = i + 1;
        if (j < n && (s[j] == '+' || s[j] == '-')) ++j;
        size_t digitsStart = j;
        while (j < n && IsDigit(s[j])) ++j;
        if (j > digitsStart) i = j;  // an "E" without digits is not part of the number
    }
    return i;
}

std::string Squeezed(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text)
        if (!IsIgnored(c)) s += c;
    return s;
}

}  // namespace

double ReadNumber(std::string_view text) {
    std::string s = Squeezed(text);
    bool hasDigits = false;
    size_t length = NumberPrefixLength(s, hasDigits);
    if (!hasDigits) return 0.0;
    const char* first = s.data();
    if (*first == '+') ++first;  // from_chars takes no plus sign
    double value = 0.0;
    auto [end, error] = std::from_chars(first, s.data() + length, value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Too small rounds to zero; too large cannot be held.
        double probe = std::strtod(std::string(first, static_cast<const char*>(s.data()) + length).c_str(), nullptr);
        if (std::isinf(probe)) throw OverflowError("number beyond the range of a double");
        return 0.0;
    }
    return value;
}

namespace {

// A double rounded to `precision` significant digits: the digits without
// trailing zeros, and the power of ten of the first one (1543.2 is "15432", 3).
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

Decimal Rounded(double value, int precision) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, value);
    std::string_view sci(buffer);
    Decimal d;
    d.negative = sci.front() == '-';
    if (d.negative) sci.remove_prefix(1);
    const size_t e = sci.find('e');
    for (char c : sci.substr(0, e))
        if (IsDigit(c)) d.digits += c;
    d.exponent = std::atoi(std::string(sci.substr(e + 1)).c_str());
    while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

// 1543.2, 0.06, 1000000000000000: plain decimal, no exponent.
std::string PlainText(const Decimal& d) {
    std::string result;
    const int pointAfter = d.exponent + 1;  // digits before the decimal point
    if (pointAfter <= 0) {
        result = "0." + std::string(static_cast<size_t>(-pointAfter), '0') + d.digits;
    } else if (static_cast<size_t>(pointAfter) >= d.digits.size()) {
        result = d.digits + std::string(static_cast<size_t>(pointAfter) - d.digits.size(), '0');
    } else {
        result = d.digits.substr(0, pointAfter) + "." + d.digits.substr(pointAfter);
    }
    return d.negative ? "-" + result : result;
}

// 1.5e20, 1e16, -1.79769313486231e308.
std::string ExponentText(const Decimal& d) {
    std::string result = d.negative ? "-" : "";
    result += d.digits.substr(0, 1);
    if (d.digits.size() > 1) result += "." + d.digits.substr(1);
    return result + "e" + std::to_string(d.exponent);
}

bool ReadsBeyondRange(const std::string& text) {
    try {
        ReadNumber(text);
        return false;
    } catch (const OverflowError&) {
        return true;
    }
}

}  // namespace

std::string RealText(double value) {
    if (!std::isfinite(value) || value == 0.0) return "0";
    // The form follows the rounded value, so that what a text reads back as
    // is written in the same form again: 999999999999999.9 and 1e15 both
    // give 1000000000000000.
    const Decimal fifteen = Rounded(value, 15);
    if (fifteen.exponent < 16) return PlainText(fifteen);
    const std::string text = ExponentText(fifteen);
    // Next to the largest double, rounding up to 15 digits can leave the
    // range (1.79769313486232e308); 17 digits give the double itself back.
    return ReadsBeyondRange(text) ? ExponentText(Rounded(value, 17)) : text;
}

std::optional<bool> ReadFlag(std::string_view text) {
    std::string s = Squeezed(text);
    std::string lower;
    for (char c : s) lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower == "true") return true;
    if (lower == "false") return false;
    bool hasDigits = false;
    if (NumberPrefixLength(s, hasDigits) != s.size() || !hasDigits) return std::nullopt;
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

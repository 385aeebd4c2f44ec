#include "core/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/checked.h"

namespace qm {

namespace {

bool IsIgnored(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), IsDigit);
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

}  // namespace

std::string WithoutBlanks(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text)
        if (!IsIgnored(c)) s += c;
    return s;
}

bool IsOneNumber(const std::string& text) {
    bool hasDigits = false;
    return NumberPrefixLength(text, hasDigits) == text.size() && hasDigits;
}

double ReadNumber(std::string_view text) {
    std::string s = WithoutBlanks(text);
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

bool ReadCount(std::string_view s, int64_t& value) {
    std::string_view digits = !s.empty() && s[0] == '-' ? s.substr(1) : s;
    if (!AllDigits(digits) || digits.size() > 19) return false;
    auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    return error == std::errc() && end == s.data() + s.size();
}

bool ReadSeconds(std::string_view s, double& value) {
    // The plain form of the smallest doubles takes some 340 characters.
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

void AppendCount(std::string& out, int64_t value) {
    char buffer[24];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, end);
}

}  // namespace qm

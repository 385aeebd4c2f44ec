// Numbers as the program's files write them: stat.dat's forgiving reading
// rule and its real text, and the history's strict forms of counts and
// seconds, which read back exactly what was written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qm {

// The number reading rule of stat.dat: blanks, tabs and line feeds anywhere
// are ignored; then an optional sign, digits, optionally "." and digits,
// optionally an exponent. Reading stops at the first character that does not
// fit and the value is what was read; no number at all reads as 0. Raises
// OverflowError when the number lies beyond the range of a double.
double ReadNumber(std::string_view text);

// A double as text rounded to 15 significant digits, "." as the decimal
// separator, no trailing zeros: plain decimal (0, 0.06, 1543.2) while the
// rounded value is below 10^16, beyond that an exponent form (1.5e20). Where
// 15 digits would read back beyond the largest double, 17 digits are written
// (1.7976931348623157e308). The text always reads back (ReadNumber) as a
// value with the same 15-digit rounding, so writing that again gives the same text.
std::string RealText(double value);

// stat.dat ignores blanks, tabs and line feeds anywhere in a line: the text without them.
std::string WithoutBlanks(std::string_view text);

// True when `text` (without blanks) is one number of the reading rule and nothing else.
bool IsOneNumber(const std::string& text);

// A count of the history: an optional "-" and digits, within the 64-bit
// range (sums stop at its ends, so every count written reads back).
bool ReadCount(std::string_view s, int64_t& value);

// Seconds of the history as RealText writes them: an optional "-", digits,
// optionally "." and digits, optionally "e", an optional "-" and digits
// (1e16, 1.7976931348623157e308), within the range of a double.
bool ReadSeconds(std::string_view s, double& value);

// The digits of a count, with "-" when below zero.
void AppendCount(std::string& out, int64_t value);

}  // namespace qm

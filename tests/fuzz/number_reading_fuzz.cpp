// The number reading of stat.dat (ReadNumber, and ReadFlag for line 9)
// against a small reference written straight from the rule:
//
//   Blanks, tabs and line feeds anywhere in the text are ignored; then an
//   optional sign ("+" or "-"), decimal digits, optionally "." and more
//   digits, optionally an exponent ("E" or "e", an optional sign, digits).
//   Reading stops at the first character that does not fit this pattern,
//   and the value is what was read up to there; text that holds no number
//   at all reads as 0. Only "." is a decimal separator.
//
// The reference walks the pattern as a small state machine and remembers
// where the longest complete number ends; the C library's strtod then gives
// that number's value. A number beyond the range of a double must raise
// OverflowError; anything smaller than the smallest double reads as the
// nearest double (0 when none is nearer).
//
// Line 9 is "True" or "False" in any letter case (blanks ignored as above),
// or a text that is one whole number: 0 is false, any other number true;
// anything else, a number too large for a double included, is no flag.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "core/checked.h"
#include "core/stat_file.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using namespace qm;

struct Reading {
    size_t length = 0;  // characters of the blank-free text that form the number; 0: none
    bool overflow = false;
    double value = 0.0;
};

std::string BlanksRemoved(std::string_view text) {
    std::string kept;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n') kept += c;
    return kept;
}

Reading ReadByTheRule(const std::string& kept) {
    enum State { Start, Sign, Whole, PointFirst, Fraction, E, ESign, EDigits, Stop };
    State state = Start;
    Reading reading;
    for (size_t i = 0; i <= kept.size() && state != Stop; ++i) {
        // A complete number ends before character i in these states.
        if (state == Whole || state == Fraction || state == EDigits) reading.length = i;
        if (i == kept.size()) break;
        const char c = kept[i];
        const bool digit = c >= '0' && c <= '9';
        const bool sign = c == '+' || c == '-';
        const bool e = c == 'e' || c == 'E';
        switch (state) {
            case Start: state = sign ? Sign : digit ? Whole : c == '.' ? PointFirst : Stop; break;
            case Sign: state = digit ? Whole : c == '.' ? PointFirst : Stop; break;
            // "5." is a whole number followed by a point without more digits.
            case Whole: state = digit ? Whole : c == '.' ? Fraction : e ? E : Stop; break;
            case PointFirst: state = digit ? Fraction : Stop; break;
            case Fraction: state = digit ? Fraction : e ? E : Stop; break;
            case E: state = sign ? ESign : digit ? EDigits : Stop; break;
            case ESign: state = digit ? EDigits : Stop; break;
            case EDigits: state = digit ? EDigits : Stop; break;
            case Stop: break;
        }
    }
    if (reading.length == 0) return reading;
    const std::string number = kept.substr(0, reading.length);
    errno = 0;
    reading.value = std::strtod(number.c_str(), nullptr);
    reading.overflow = std::isinf(reading.value);
    return reading;
}

std::optional<bool> FlagByTheRule(const std::string& kept) {
    std::string lower;
    for (char c : kept) lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
    if (lower == "true") return true;
    if (lower == "false") return false;
    const Reading reading = ReadByTheRule(kept);
    if (reading.length == 0 || reading.length != kept.size() || reading.overflow) return std::nullopt;
    return reading.value != 0.0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string kept = BlanksRemoved(text);
    const Reading expected = ReadByTheRule(kept);
    const std::string shown = "\"" + fuzz::Printable(text) + "\"";

    try {
        const double value = ReadNumber(text);
        fuzz::Require(!expected.overflow, shown + " read as " + fuzz::Exact(value) + " instead of overflowing");
        fuzz::Require(value == expected.value,
                      shown + " read as " + fuzz::Exact(value) + ", the rule gives " + fuzz::Exact(expected.value));
    } catch (const OverflowError&) {
        fuzz::Require(expected.overflow, shown + " overflowed; the rule gives " + fuzz::Exact(expected.value));
    } catch (const std::exception& e) {
        fuzz::Fail(shown + " raised " + e.what());
    }

    std::optional<bool> flag;
    try {
        flag = ReadFlag(text);
    } catch (const std::exception& e) {
        fuzz::Fail(shown + " as line 9 raised " + e.what());
    }
    const std::optional<bool> expectedFlag = FlagByTheRule(kept);
    const auto name = [](std::optional<bool> f) { return f ? (*f ? "true" : "false") : "no flag"; };
    fuzz::Require(flag == expectedFlag,
                  shown + " as line 9 gives " + name(flag) + ", the rule gives " + name(expectedFlag));
    return 0;
}

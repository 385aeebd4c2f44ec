// The writer of stat.dat's real numbers (RealText). For every finite double
// its text reads back, under the file's own number reading (ReadNumber), to
// a value with the same 15-significant-digit rounding, and writing that value
// again gives the same text, so a second save writes the same bytes. Below
// 10^15 the text is plain decimal with at most 15 significant digits, no
// trailing zeros and no point without a fraction; from 10^16 on it is an
// exponent form (1.5e20), which keeps 17 digits only where 15 would read back
// beyond the largest double.
//
// An input of exactly 8 bytes is the double's bits. An input that starts
// with "~" names a double near a landmark, where faults of this kind live:
// two bytes choose a power of ten (10^-323 to 10^308) or the largest, the
// smallest normal or the smallest double, two more the number of steps to
// the neighbouring doubles (signed), and a last byte the sign. Any other
// input is read as text by the C library's strtod (so that the corpus can
// hold readable numbers).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "core/checked.h"
#include "core/stat_file.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using namespace qm;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Today's text of a value whose 15-digit rounding is below 10^16, built by a
// route of its own: printf's fixed notation with as many decimals as leave
// 15 significant digits, then the trailing zeros and a bare point removed.
std::string PlainText(double value) {
    if (value == 0.0) return "0";
    const std::string rounded = fuzz::FifteenDigits(value);
    const int exponent = std::atoi(rounded.c_str() + rounded.find('e') + 1);
    char text[512];
    if (exponent == 15) {
        // Only a value just below 10^15 that rounds up to it (from 10^15 on, the caller checks the form only).
        std::snprintf(text, sizeof text, "%.0f", std::copysign(1e15, value));
        return text;
    }
    std::snprintf(text, sizeof text, "%.*f", 14 - exponent, value);
    std::string plain = text;
    if (plain.find('.') != std::string::npos) {
        while (plain.back() == '0') plain.pop_back();
        if (plain.back() == '.') plain.pop_back();
    }
    return plain;
}

// Checks that the text has one of the two forms and returns its significant
// digits, or 0 when it has neither form:
//   plain     -?(0|[1-9][0-9]*)(\.[0-9]*[1-9])?
//   exponent  -?[1-9](\.[0-9]*[1-9])?e-?[1-9][0-9]*
int SignificantDigits(const std::string& text, bool& exponentForm) {
    size_t i = 0;
    const auto digitsFrom = [&](size_t from) {
        size_t j = from;
        while (j < text.size() && IsDigit(text[j])) ++j;
        return j;
    };
    if (i < text.size() && text[i] == '-') ++i;
    const size_t wholeStart = i;
    i = digitsFrom(i);
    std::string digits = text.substr(wholeStart, i - wholeStart);
    if (digits.empty() || (digits.size() > 1 && digits[0] == '0')) return 0;
    if (i < text.size() && text[i] == '.') {
        const size_t fractionStart = i + 1;
        i = digitsFrom(fractionStart);
        const std::string fraction = text.substr(fractionStart, i - fractionStart);
        if (fraction.empty() || fraction.back() == '0') return 0;
        digits += fraction;
    }
    exponentForm = i < text.size() && text[i] == 'e';
    if (exponentForm) {
        if (text[wholeStart] == '0' || (i > wholeStart + 1 && text[wholeStart + 1] != '.')) return 0;  // d.ddd
        ++i;
        if (i < text.size() && text[i] == '-') ++i;
        if (i >= text.size() || text[i] == '0') return 0;
        i = digitsFrom(i);
    }
    if (i != text.size()) return 0;
    const size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) return text == "0" ? 1 : 0;
    return static_cast<int>(digits.find_last_not_of('0') - first + 1);
}

double NearLandmark(const uint8_t* data, size_t size) {
    uint8_t bytes[5] = {};
    std::memcpy(bytes, data, std::min(size, sizeof bytes));
    const int choice = (bytes[0] | bytes[1] << 8) % 635;
    const int steps = static_cast<int16_t>(bytes[2] | bytes[3] << 8);
    double value = choice < 632 ? std::pow(10.0, choice - 323)  // near enough to 10^k for a start
                   : choice == 632 ? std::numeric_limits<double>::max()
                   : choice == 633 ? std::numeric_limits<double>::min()
                                   : std::numeric_limits<double>::denorm_min();
    const double toward = steps < 0 ? 0.0 : std::numeric_limits<double>::infinity();
    for (int i = 0; i < std::abs(steps); ++i) value = std::nextafter(value, toward);
    return bytes[4] & 1 ? -value : value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    double value;
    if (size == sizeof value) {
        std::memcpy(&value, data, sizeof value);
    } else if (size > 0 && data[0] == '~') {
        value = NearLandmark(data + 1, size - 1);
    } else {
        const std::string text(reinterpret_cast<const char*>(data), size);
        value = std::strtod(text.c_str(), nullptr);
    }
    if (!std::isfinite(value)) return 0;

    const std::string text = RealText(value);
    const std::string of = "RealText(" + fuzz::Exact(value) + ") = \"" + text + "\"";

    bool exponentForm = false;
    const int digits = SignificantDigits(text, exponentForm);
    fuzz::Require(digits > 0, of + ": neither plain decimal nor the exponent form");
    const std::string rounded = fuzz::FifteenDigits(value);
    const int power = value == 0.0 ? 0 : std::atoi(rounded.c_str() + rounded.find('e') + 1);
    fuzz::Require(exponentForm == (power >= 16), of + ": the form does not follow the size");

    double back = 0.0;
    try {
        back = ReadNumber(text);
    } catch (const std::exception& e) {
        fuzz::Fail(of + " does not read back: " + e.what());
    }
    fuzz::Require(fuzz::FifteenDigits(back) == rounded,
                  of + " reads back as " + fuzz::Exact(back) + ", another value at 15 digits");
    fuzz::Require(RealText(back) == text, of + " reads back as " + fuzz::Exact(back) + ", which is written as \"" +
                                              RealText(back) + "\"");

    if (digits > 15) {
        bool fifteenOverflows = false;
        try {
            ReadNumber(rounded);
        } catch (const OverflowError&) {
            fifteenOverflows = true;
        }
        fuzz::Require(digits <= 17 && fifteenOverflows, of + ": more than 15 significant digits");
    }
    if (std::fabs(value) < 1e15)
        fuzz::Require(text == PlainText(value), of + ", but plain decimal gives \"" + PlainText(value) + "\"");
    return 0;
}

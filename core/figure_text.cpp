#include "core/figure_text.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace qm {

double NonZero(double value) { return value == 0 ? 1.0 : value; }

std::string PadTwoDigits(const std::string& text) { return text.size() < 2 ? "0" + text : text; }

namespace {
int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
}  // namespace

std::string FormatDuration(int32_t seconds) {
    // Hours and minutes round down; the remainders take the sign of the seconds.
    int64_t s = seconds;
    int64_t hours = FloorDiv(s, 3600);
    int64_t minutes = FloorDiv(s % 3600, 60);
    int64_t rest = s % 60;
    return PadTwoDigits(std::to_string(hours)) + ":" + PadTwoDigits(std::to_string(minutes)) + ":" +
           PadTwoDigits(std::to_string(rest));
}

std::string MetersText(int32_t pixels, const NumberFormat& format) {
    return format.Format(static_cast<double>(pixels) / kPixelsPerMeter, 2);
}

std::string SpeedText(int32_t letters, double typingSeconds) {
    // 64 bits: more than 32,537,631 letters (years of typing) pass 32 bits
    // here, and the product stays exact in a double.
    const int64_t product = int64_t{letters} * kTypingSpeedFactor;
    double speed = std::floor(static_cast<double>(product) / NonZero(typingSeconds)) + 0.0;  // + 0.0: no "-0"
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.0f", speed);
    return buffer;
}

double LettersPerMinute(int64_t letters, double typingSeconds) {
    if (!(typingSeconds > 0)) return 0;
    // Beyond 64 bits (some 10^17 letters) a double is as near as it gets.
    int64_t product = 0;
    const double exact = __builtin_mul_overflow(letters, int64_t{kTypingSpeedFactor}, &product)
                             ? static_cast<double>(letters) * kTypingSpeedFactor
                             : static_cast<double>(product);
    const double speed = std::floor(exact / typingSeconds) + 0.0;  // + 0.0: no "-0"
    // Letters over a sliver of a second would be infinite: the largest double stands in.
    if (!std::isfinite(speed)) return std::copysign(std::numeric_limits<double>::max(), speed);
    return speed;
}

}  // namespace qm

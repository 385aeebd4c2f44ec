#include "core/checked.h"

#include <cmath>
#include <limits>

namespace qm {

namespace {
constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
constexpr int64_t kMax = std::numeric_limits<int32_t>::max();

int32_t Narrow(int64_t wide, const char* what) {
    if (wide < kMin || wide > kMax) throw OverflowError(std::string("overflow in 32-bit ") + what);
    return static_cast<int32_t>(wide);
}
}  // namespace

int32_t CheckedAdd(int32_t a, int32_t b) { return Narrow(int64_t{a} + b, "addition"); }
int32_t CheckedSub(int32_t a, int32_t b) { return Narrow(int64_t{a} - b, "subtraction"); }
int32_t CheckedMul(int32_t a, int32_t b) { return Narrow(int64_t{a} * b, "multiplication"); }

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    double lower = std::floor(value);
    double diff = value - lower;  // exact for |value| < 2^52; above that value is integral
    if (diff > 0.5) return lower + 1.0;
    if (diff < 0.5) return lower;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

int32_t RoundToInt32(double value) {
    double r = RoundHalfEven(value);
    if (!(r >= static_cast<double>(kMin) && r <= static_cast<double>(kMax)))
        throw OverflowError("number outside the 32-bit range");
    return static_cast<int32_t>(r);
}

double CheckedDouble(double value) {
    if (!std::isfinite(value)) throw FloatError("invalid floating-point result");
    return value;
}

}  // namespace qm

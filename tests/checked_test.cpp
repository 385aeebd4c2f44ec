#include "core/checked.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace qm {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

TEST(CheckedArithmetic, FailsInsteadOfWrappingAtEitherEnd) {
    EXPECT_EQ(CheckedAdd(kMax - 1, 1), kMax);
    EXPECT_THROW(CheckedAdd(kMax, 1), OverflowError);
    EXPECT_EQ(CheckedSub(kMin + 1, 1), kMin);
    EXPECT_THROW(CheckedSub(kMin, 1), OverflowError);
    EXPECT_THROW(CheckedSub(0, kMin), OverflowError);
    EXPECT_EQ(CheckedMul(32537631, 66), 2147483646);
    EXPECT_THROW(CheckedMul(32537632, 66), OverflowError);
    EXPECT_THROW(CheckedMul(-32537632, 66), OverflowError);
}

TEST(CheckedArithmetic, RoundsHalvesToEven) {
    EXPECT_EQ(RoundHalfEven(2.5), 2.0);
    EXPECT_EQ(RoundHalfEven(3.5), 4.0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfEven(0.5), 0.0);
    EXPECT_EQ(RoundHalfEven(1.4999999999), 1.0);
    EXPECT_EQ(RoundHalfEven(-1.6), -2.0);
    EXPECT_EQ(RoundHalfEven(4503599627370497.0), 4503599627370497.0);
}

TEST(CheckedArithmetic, RoundToInt32ChecksTheRangeAfterRounding) {
    EXPECT_EQ(RoundToInt32(2147483647.4), kMax);
    EXPECT_THROW(RoundToInt32(2147483647.5), OverflowError);  // rounds to 2^31
    EXPECT_EQ(RoundToInt32(-2147483648.5), kMin);             // even neighbour is in range
    EXPECT_THROW(RoundToInt32(-2147483649.0), OverflowError);
    EXPECT_THROW(RoundToInt32(3000000000.0), OverflowError);
    EXPECT_THROW(RoundToInt32(std::nan("")), OverflowError);
    EXPECT_THROW(RoundToInt32(HUGE_VAL), OverflowError);
}

TEST(CheckedArithmetic, DoublesMustStayFinite) {
    EXPECT_EQ(CheckedDouble(1.5), 1.5);
    EXPECT_THROW(CheckedDouble(HUGE_VAL), FloatError);
    EXPECT_THROW(CheckedDouble(std::nan("")), FloatError);
}

}  // namespace
}  // namespace qm

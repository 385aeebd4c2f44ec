// Checked arithmetic for the 32-bit counters and the double second counts.
// No figure may ever wrap around: every single operation is checked and an
// out-of-range result raises OverflowError instead.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace qm {

// A 32-bit figure left its range (-2,147,483,648 .. 2,147,483,647).
class OverflowError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A double operation produced an invalid result, an infinity or NaN.
class FloatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

int32_t CheckedAdd(int32_t a, int32_t b);
int32_t CheckedSub(int32_t a, int32_t b);
int32_t CheckedMul(int32_t a, int32_t b);

// Round to the nearest integer, halves to the even neighbour (2.5 -> 2,
// 3.5 -> 4, -2.5 -> -2). Exact for every finite double.
double RoundHalfEven(double value);

// RoundHalfEven, then check the 32-bit range. NaN and infinities overflow too.
int32_t RoundToInt32(double value);

// Returns the value when it is finite; raises FloatError otherwise.
double CheckedDouble(double value);

}  // namespace qm

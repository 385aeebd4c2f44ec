// The figures as the user reads them: durations, meters and typing speed,
// the same in the main window and the History window.
#pragma once

#include <cstdint>
#include <string>

#include "core/platform/number_format.h"

namespace qm {

inline constexpr double kPixelsPerMeter = 3500.0;
inline constexpr int32_t kTypingSpeedFactor = 66;

// 1 when the value is 0, otherwise the value.
double NonZero(double value);

// "0" in front of a text shorter than two characters.
std::string PadTwoDigits(const std::string& text);

// hh:mm:ss with at least two hour digits: 3661 gives 01:01:01, 360000 gives 100:00:00.
std::string FormatDuration(int32_t seconds);

// Pixels as meters with two decimals in the user's regional format.
std::string MetersText(int32_t pixels, const NumberFormat& format);

// floor(letters * 66 / NonZero(typingSeconds)), for every 32-bit letter count.
std::string SpeedText(int32_t letters, double typingSeconds);

// floor(letters * 66 / typingSeconds) for the sums of many days, 0 without
// typing time; exact while the product fits in 64 bits, as in the main window.
double LettersPerMinute(int64_t letters, double typingSeconds);

// Shown in place of a figure that has left the 32-bit range.
inline constexpr const char* kOverflowText = "overflow";

}  // namespace qm

// The twelve value texts of the main window, derived afresh from the three
// accounts at every sampler tick.
#pragma once

#include <array>
#include <string>

#include "core/figure_text.h"
#include "core/platform/number_format.h"
#include "core/statistics.h"

namespace qm {

// The value labels, in the order the refresh writes them. Index 0 of a label
// array is the current run, index 1 all time.
enum class ValueLabel {
    KeybrdPushed0, MouseClicks0, MousePixels0, MouseMeters0, KeybrdSpeed0,
    KeybrdPushed1, MouseClicks1, MousePixels1, MouseMeters1, KeybrdSpeed1,
    AllTime, CurTime,
};
inline constexpr int kValueLabelCount = 12;

// Where the texts go: the labels of the main window, or a test's record.
class LabelSink {
public:
    virtual ~LabelSink() = default;
    virtual void SetLabelText(ValueLabel label, const std::string& text) = 0;
};

// Writes the twelve texts. A label is written only when its text changes, so
// an unchanged figure costs no repaint. All-time figures are held within the
// 32-bit range as the save holds them. A figure that cannot be computed shows
// kOverflowText while every other label is still refreshed; the first such
// failure is then raised as OverflowError.
class Display {
public:
    Display(LabelSink& labels, const NumberFormat& format) : labels_(labels), format_(format) {}

    void RefreshDisplay(const Statistics& stats);

    // Forget what the labels show, so that the next refresh writes all twelve.
    void Invalidate();

private:
    void Put(ValueLabel label, const std::string& text);
    const std::string& Meters(int index, int32_t pixels);

    LabelSink& labels_;
    const NumberFormat& format_;
    std::array<std::string, kValueLabelCount> shown_{};
    std::array<bool, kValueLabelCount> known_{};
    // The regional format is the costly part: remember the last pixels formatted.
    std::array<int32_t, 2> meterPixels_{};
    std::array<std::string, 2> meterText_{};
    std::array<bool, 2> meterKnown_{};
};

}  // namespace qm

#include "core/display.h"

#include <cmath>
#include <cstdio>
#include <exception>

#include "core/checked.h"

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

void Display::Put(ValueLabel label, const std::string& text) {
    auto i = static_cast<size_t>(label);
    if (known_[i] && shown_[i] == text) return;
    shown_[i] = text;
    known_[i] = true;
    labels_.SetLabelText(label, text);
}

const std::string& Display::Meters(int index, int32_t pixels) {
    if (!meterKnown_[index] || meterPixels_[index] != pixels) {
        meterText_[index] = MetersText(pixels, format_);
        meterPixels_[index] = pixels;
        meterKnown_[index] = true;
    }
    return meterText_[index];
}

void Display::Invalidate() {
    known_.fill(false);
    meterKnown_.fill(false);
}

void Display::RefreshDisplay(const Statistics& stats) {
    const StatRecord& cur = stats.CurrentStat;
    std::exception_ptr firstFailure;
    auto show = [&](ValueLabel label, auto&& text) {
        try {
            Put(label, text());
        } catch (const OverflowError&) {
            if (!firstFailure) firstFailure = std::current_exception();
            Put(label, kOverflowText);
        }
    };
    auto all = [&](int32_t StatRecord::*field) { return AllTime(stats, field); };

    show(ValueLabel::KeybrdPushed0, [&] { return std::to_string(cur.KeysPressed); });
    show(ValueLabel::MouseClicks0, [&] { return std::to_string(cur.MouseClicks); });
    show(ValueLabel::MousePixels0, [&] { return std::to_string(cur.MousePixels); });
    show(ValueLabel::MouseMeters0, [&] { return Meters(0, cur.MousePixels); });
    show(ValueLabel::KeybrdSpeed0, [&] { return SpeedText(cur.LettersTyped, cur.TypingTime); });
    show(ValueLabel::KeybrdPushed1, [&] { return std::to_string(all(&StatRecord::KeysPressed)); });
    show(ValueLabel::MouseClicks1, [&] { return std::to_string(all(&StatRecord::MouseClicks)); });
    // The meters of all time follow the pixel figure shown just above them.
    show(ValueLabel::MousePixels1, [&] { return std::to_string(all(&StatRecord::MousePixels)); });
    show(ValueLabel::MouseMeters1, [&] { return Meters(1, all(&StatRecord::MousePixels)); });
    show(ValueLabel::KeybrdSpeed1, [&] {
        return SpeedText(all(&StatRecord::LettersTyped), AllTime(stats, &StatRecord::TypingTime));
    });
    show(ValueLabel::AllTime, [&] { return FormatDuration(all(&StatRecord::PassedSeconds)); });
    show(ValueLabel::CurTime, [&] { return FormatDuration(cur.PassedSeconds); });

    if (firstFailure) std::rethrow_exception(firstFailure);
}

}  // namespace qm

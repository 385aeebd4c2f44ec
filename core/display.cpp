#include "core/display.h"

#include <exception>

#include "core/checked.h"

namespace qm {

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

#include "input/sampler.h"

#include <cmath>
#include <exception>

#include "core/checked.h"

namespace qm {

KeyClass ClassOfKey(int code) {
    if (code == 1 || code == 2) return KeyClass::MouseButton;
    if ((code >= 65 && code <= 90) || (code >= 97 && code <= 122) || (code >= 223 && code <= 255))
        return KeyClass::Letter;
    return KeyClass::OtherKey;
}

namespace {

// Adds to a counter unless that would pass its limit; remembers the first overflow.
void CountUp(int32_t& counter, int32_t amount, std::exception_ptr& failure) {
    try {
        counter = CheckedAdd(counter, amount);
    } catch (const OverflowError&) {
        if (!failure) failure = std::current_exception();
    }
}

void AddSeconds(double& total, double seconds, std::exception_ptr& failure) {
    try {
        total = CheckedDouble(total + seconds);
    } catch (const FloatError&) {
        if (!failure) failure = std::current_exception();
    }
}

// Whether t lies in [from, to] on the wrapping millisecond clock.
bool Within(uint32_t t, uint32_t from, uint32_t to) { return t - from <= to - from; }

}  // namespace

bool KeyScanNeeded(SamplerState& state, InputDevices& input) {
    const std::optional<uint32_t> lastInput = input.LastInputMs();
    const uint32_t now = input.NowMs();
    // Without two readings to compare (the first tick, a time that cannot
    // be read now or could not at the previous tick) the keys are scanned. A
    // changed last-input time is input however far it lies (after weeks of
    // idle the difference can pass half the clock's range); input that came
    // between the previous tick and now is stamped within that time.
    const bool known = state.HaveTicked && lastInput && state.LastInputAtTick;
    const bool changed = !known || *lastInput != *state.LastInputAtTick;
    if (known && changed &&
        !Within(*lastInput, state.TickMs - kLastInputSlackMs, now + kLastInputSlackMs))
        state.ScanEveryTick = true;
    // Or input in the millisecond in which the previous scan began, or later.
    const bool told = changed || Within(*lastInput, state.ScanStartMs, now);
    if (state.KeysBusy && static_cast<int32_t>(now - state.BusyUntilMs) > 0) state.KeysBusy = false;
    const bool check = !told && (state.ScanEveryTick || state.KeysBusy || now - state.ScanStartMs >= kKeyCheckMs);

    state.HaveTicked = true;
    state.TickMs = now;
    state.LastInputAtTick = lastInput;
    state.Checking = check;
    if (told || check) state.ScanStartMs = now;
    return told || check;
}

void KeyScanDone(SamplerState& state, InputDevices& input, bool foundPress) {
    if (!foundPress) return;
    // The last-input time is read again: a press found by a check may have
    // come during the scan, and set the time after the tick read it.
    if (state.Checking && !state.ScanEveryTick && input.LastInputMs() == state.LastInputAtTick)
        state.ScanEveryTick = true;
    state.KeysBusy = true;
    state.BusyUntilMs = state.ScanStartMs + kKeysBusyMs;
}

// Codes 1 to 255: each key pressed since the previous query counts. Whether
// any was.
// A press the figures took is the code's too, so that the codes add up to them.
static bool ScanKeys(SamplerState& state, StatRecord& cur, InputDevices& input, TimeSource& clock,
                     std::exception_ptr& failure, KeyPresses* presses) {
    bool found = false;
    for (int code = 1; code <= 255; ++code) {
        if ((input.GetAsyncKeyState(code) & 1) == 0) continue;
        found = true;
        KeyClass keyClass = ClassOfKey(code);
        if (keyClass == KeyClass::MouseButton) {
            // Clicks neither start nor interrupt a typing burst.
            const int32_t before = cur.MouseClicks;
            CountUp(cur.MouseClicks, 1, failure);
            if (presses && cur.MouseClicks != before) ++(*presses)[static_cast<size_t>(code)];
            continue;
        }
        const int32_t keysBefore = cur.KeysPressed;
        CountUp(cur.KeysPressed, 1, failure);
        if (presses && cur.KeysPressed != keysBefore) ++(*presses)[static_cast<size_t>(code)];
        double first = clock.HiResSeconds() - state.LastKeyTime;
        double second = clock.HiResSeconds() - state.LastKeyTime;
        if (first < kBurstMaxSeconds && second > kBurstMinSeconds) {
            if (keyClass == KeyClass::Letter) {
                int32_t before = cur.LettersTyped;
                CountUp(cur.LettersTyped, 1, failure);
                // A letter that could not be counted adds no typing time either.
                if (cur.LettersTyped != before)
                    AddSeconds(cur.TypingTime, clock.HiResSeconds() - state.LastKeyTime, failure);
            } else {
                AddSeconds(cur.OtherKeysTime, clock.HiResSeconds() - state.LastKeyTime, failure);
            }
        }
        state.LastKeyTime = clock.HiResSeconds();
    }
    return found;
}

void SamplerTick(SamplerState& state, Statistics& stats, InputDevices& input, TimeSource& clock,
                 KeyPresses* presses) {
    StatRecord& cur = stats.CurrentStat;
    std::exception_ptr failure;

    if (KeyScanNeeded(state, input)) KeyScanDone(state, input, ScanKeys(state, cur, input, clock, failure, presses));

    if (std::optional<Point> p = input.GetCursorPos()) {
        if (state.HaveCursorPos) {
            double dx = static_cast<double>(state.LastCursorPos.x) - p->x;
            double dy = static_cast<double>(state.LastCursorPos.y) - p->y;
            double distance = std::sqrt(dx * dx + dy * dy);
            try {
                cur.MousePixels = RoundToInt32(cur.MousePixels + distance);
            } catch (const OverflowError&) {
                if (!failure) failure = std::current_exception();
            }
        }
        state.LastCursorPos = *p;
        state.HaveCursorPos = true;
    }

    if (failure) std::rethrow_exception(failure);
}

}  // namespace qm

// The one time source (seconds from the high-resolution counter) and the run
// clock that keeps CurrentStat.PassedSeconds.
#pragma once

#include <cstdint>

#include "core/platform/clock.h"
#include "core/statistics.h"

namespace qm {

// HiResSeconds over a counter: the frequency is read anew at every call, then
// the count, and the result is count / frequency.
class CounterTimeSource : public TimeSource {
public:
    explicit CounterTimeSource(Counter& counter) : counter_(counter) {}
    double HiResSeconds() override;

private:
    Counter& counter_;
};

// Whole seconds of the clock, rounded to nearest with halves to even.
int32_t WholeSeconds(double seconds);

// The run clock: RunStartSeconds marks where the current run's passed time
// begins; each tick recomputes PassedSeconds from it, so a late or skipped
// tick loses nothing.
struct RunClock {
    int32_t RunStartSeconds = 0;

    // Start of the run, at start-up and at "Reset current statistics".
    void Restart(TimeSource& clock) { RunStartSeconds = WholeSeconds(clock.HiResSeconds()); }

    // tmrCounter_Timer: PassedSeconds := round(HiResSeconds() - RunStartSeconds).
    void Tick(TimeSource& clock, StatRecord& current) const;
};

}  // namespace qm

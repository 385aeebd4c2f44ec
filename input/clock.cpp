#include "input/clock.h"

#include "core/checked.h"

namespace qm {

double CounterTimeSource::HiResSeconds() {
    int64_t frequency = counter_.Frequency();
    int64_t count = counter_.Count();
    return static_cast<double>(count) / static_cast<double>(frequency);
}

int32_t WholeSeconds(double seconds) { return RoundToInt32(seconds); }

void RunClock::Tick(TimeSource& clock, StatRecord& current) const {
    current.PassedSeconds = RoundToInt32(clock.HiResSeconds() - RunStartSeconds);
}

}  // namespace qm

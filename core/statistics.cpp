#include "core/statistics.h"

#include "core/checked.h"
#include "core/text.h"

namespace qm {

namespace {
constexpr int32_t StatRecord::*kCounters[] = {
    &StatRecord::MousePixels, &StatRecord::KeysPressed,  &StatRecord::LettersTyped,
    &StatRecord::MouseClicks, &StatRecord::PassedSeconds};
constexpr double StatRecord::*kSeconds[] = {&StatRecord::OtherKeysTime, &StatRecord::TypingTime};

int32_t Merged(int32_t current, int32_t common, int32_t saved) {
    return CheckedSub(CheckedAdd(current, common), saved);
}
double Merged(double current, double common, double saved) {
    return CheckedDouble(CheckedDouble(current + common) - saved);
}
}  // namespace

void ClearStatistics(StatRecord& record, const Calendar& calendar) {
    for (auto field : kCounters) record.*field = 0;
    for (auto field : kSeconds) record.*field = 0.0;
    record.SinceDate = DateText(calendar.Today());
}

void MergeStatistics(Statistics& stats) {
    // Work on a copy so that an overflow in any field leaves every account as it was.
    StatRecord merged = stats.CommonStat;
    for (auto field : kCounters)
        merged.*field = Merged(stats.CurrentStat.*field, stats.CommonStat.*field, stats.SavedStat.*field);
    for (auto field : kSeconds)
        merged.*field = Merged(stats.CurrentStat.*field, stats.CommonStat.*field, stats.SavedStat.*field);
    stats.CommonStat = std::move(merged);
    stats.SavedStat = stats.CurrentStat;
}

int32_t AllTime(const Statistics& stats, int32_t StatRecord::*field) {
    return Merged(stats.CurrentStat.*field, stats.CommonStat.*field, stats.SavedStat.*field);
}

double AllTime(const Statistics& stats, double StatRecord::*field) {
    return Merged(stats.CurrentStat.*field, stats.CommonStat.*field, stats.SavedStat.*field);
}

}  // namespace qm

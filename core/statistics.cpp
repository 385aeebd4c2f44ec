#include "core/statistics.h"

#include <limits>

#include "core/checked.h"
#include "core/dates.h"

namespace qm {

namespace {
constexpr StatField kCounters[] = {StatField::MousePixels, StatField::KeysPressed, StatField::LettersTyped,
                                   StatField::MouseClicks, StatField::PassedSeconds};
constexpr double StatRecord::*kSeconds[] = {&StatRecord::OtherKeysTime, &StatRecord::TypingTime};
constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
constexpr int64_t kMin = std::numeric_limits<int32_t>::min();

// Wide enough that only the final value meets the range: 2,000,000,000 +
// 200,000,000 - 150,000,000 merges to 2,050,000,000.
int64_t MergedWide(int32_t current, int32_t common, int32_t saved) {
    return int64_t{current} + common - saved;
}
int32_t Held(int64_t wide) { return static_cast<int32_t>(wide > kMax ? kMax : wide < kMin ? kMin : wide); }

double Merged(double current, double common, double saved) {
    return CheckedDouble(CheckedDouble(current + common) - saved);
}
}  // namespace

int32_t StatRecord::*FieldOf(StatField field) {
    switch (field) {
        case StatField::MousePixels: return &StatRecord::MousePixels;
        case StatField::KeysPressed: return &StatRecord::KeysPressed;
        case StatField::LettersTyped: return &StatRecord::LettersTyped;
        case StatField::MouseClicks: return &StatRecord::MouseClicks;
        case StatField::PassedSeconds: return &StatRecord::PassedSeconds;
    }
    return &StatRecord::MousePixels;
}

void ClearStatistics(StatRecord& record, const Calendar& calendar) {
    for (StatField f : kCounters) record.*FieldOf(f) = 0;
    for (auto field : kSeconds) record.*field = 0.0;
    record.SinceDate = DateText(calendar.Today());
}

std::vector<CappedField> MergeStatistics(Statistics& stats) {
    // Work on a copy so that a failure in any field leaves every account as it was.
    StatRecord merged = stats.CommonStat;
    std::vector<CappedField> capped;
    for (StatField f : kCounters) {
        auto field = FieldOf(f);
        const int64_t wide = MergedWide(stats.CurrentStat.*field, stats.CommonStat.*field, stats.SavedStat.*field);
        merged.*field = Held(wide);
        if (wide != merged.*field)
            capped.push_back({f, wide > kMax, stats.CommonStat.*field == merged.*field});
    }
    for (auto field : kSeconds)
        merged.*field = Merged(stats.CurrentStat.*field, stats.CommonStat.*field, stats.SavedStat.*field);
    stats.CommonStat = std::move(merged);
    stats.SavedStat = stats.CurrentStat;
    return capped;
}

int32_t AllTime(const Statistics& stats, int32_t StatRecord::*field) {
    return Held(MergedWide(stats.CurrentStat.*field, stats.CommonStat.*field, stats.SavedStat.*field));
}

double AllTime(const Statistics& stats, double StatRecord::*field) {
    return Merged(stats.CurrentStat.*field, stats.CommonStat.*field, stats.SavedStat.*field);
}

}  // namespace qm

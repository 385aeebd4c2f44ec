#include "input/hour_ledger.h"

#include "core/dates.h"

namespace qm {

namespace {

// more - less, field by field.
DayFigures Difference(const DayFigures& more, const DayFigures& less) {
    DayFigures d;
    d.KeysPressed = more.KeysPressed - less.KeysPressed;
    d.MouseClicks = more.MouseClicks - less.MouseClicks;
    d.MousePixels = more.MousePixels - less.MousePixels;
    d.LettersTyped = more.LettersTyped - less.LettersTyped;
    d.TypingSeconds = more.TypingSeconds - less.TypingSeconds;
    d.OtherKeysSeconds = more.OtherKeysSeconds - less.OtherKeysSeconds;
    d.PassedSeconds = more.PassedSeconds - less.PassedSeconds;
    return d;
}

}  // namespace

DayFigures FiguresOf(const StatRecord& r) {
    return {r.KeysPressed, r.MouseClicks, r.MousePixels, r.LettersTyped, r.TypingTime, r.OtherKeysTime,
            r.PassedSeconds};
}

RowKey HourOf(const LocalDateTime& now) {
    return {HistoryDate(now.date), now.hour < 0 ? 0 : now.hour > 23 ? 23 : now.hour};
}

void FollowHour(HourLedger& ledger, const Statistics& stats, const LocalDateTime& now) {
    // The hot path: the same hour of the same day, compared as numbers.
    if (ledger.open && now.hour == ledger.clockHour && now.date.day == ledger.clockDate.day &&
        now.date.month == ledger.clockDate.month && now.date.year == ledger.clockDate.year)
        return;
    ledger.clockDate = now.date;
    ledger.clockHour = now.hour;
    RowKey hour = HourOf(now);
    if (ledger.open && hour == ledger.current) return;  // a clock beyond the history's dates
    const DayFigures counted = FiguresOf(stats.CurrentStat);
    if (ledger.open) {
        const DayFigures part = Difference(counted, ledger.base);
        if (!part.IsZero()) ledger.closed[ledger.current] += part;
        ledger.base = counted;
    } else {
        // Everything unsaved so far was counted in the hour that opens now.
        ledger.base = FiguresOf(stats.SavedStat);
    }
    ledger.current = std::move(hour);
    ledger.open = true;
}

OwedRows UnsavedRows(const HourLedger& ledger, const Statistics& stats, const LocalDateTime& now) {
    OwedRows rows = ledger.closed;
    const DayFigures counted = FiguresOf(stats.CurrentStat);
    const DayFigures part = ledger.open ? Difference(counted, ledger.base) : Difference(counted, FiguresOf(stats.SavedStat));
    if (!part.IsZero()) rows[ledger.open ? ledger.current : HourOf(now)] += part;
    return rows;
}

void HoursSaved(HourLedger& ledger, const Statistics& stats) {
    ledger.closed.clear();
    ledger.base = FiguresOf(stats.CurrentStat);
}

}  // namespace qm

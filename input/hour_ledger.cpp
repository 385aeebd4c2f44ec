#include "input/hour_ledger.h"

#include "core/dates.h"

namespace qm {

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

DayFigures FiguresOf(const StatRecord& r) {
    return {r.KeysPressed, r.MouseClicks, r.MousePixels, r.LettersTyped, r.TypingTime, r.OtherKeysTime,
            r.PassedSeconds};
}

RowKey HourOf(const LocalDateTime& now) {
    return {HistoryDate(now.date), now.hour < 0 ? 0 : now.hour > 23 ? 23 : now.hour};
}

namespace {

// The open day's keys and programs as rows of `date`.
void AddDayRows(OwedRows& rows, const std::string& date, const HourLedger& ledger) {
    for (size_t code = 1; code < ledger.keys.size(); ++code)
        if (ledger.keys[code] != 0)
            rows[RowKey{date, kWholeDay, static_cast<int>(code)}].KeysPressed += ledger.keys[code];
    for (const auto& [program, share] : ledger.programs)
        if (!share.figures.IsZero()) rows[RowKey{date, kWholeDay, 0, program, share.name}] += share.figures;
}

}  // namespace

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
        if (hour.date != ledger.current.date) {
            AddDayRows(ledger.closed, ledger.current.date, ledger);
            ledger.keys.fill(0);
            ledger.programs.clear();
        }
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
    const RowKey open = ledger.open ? ledger.current : HourOf(now);
    if (!part.IsZero()) rows[open] += part;
    AddDayRows(rows, open.date, ledger);
    return rows;
}

void HoursSaved(HourLedger& ledger, const Statistics& stats) {
    ledger.closed.clear();
    ledger.keys.fill(0);
    ledger.programs.clear();
    ledger.base = FiguresOf(stats.CurrentStat);
}

}  // namespace qm

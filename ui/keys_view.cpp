#include "ui/keys_view.h"

#include <algorithm>
#include <iterator>

#include "app/history_ledger.h"
#include "core/dates.h"

namespace qm::ui {

std::map<int, int64_t> KeyTotals(const std::vector<const std::vector<KeyRow>*>& files, const OwedRows& owed,
                                 const std::string& first, const std::string& last) {
    // YYYY-MM-DD dates compare as their days do.
    std::map<int, int64_t> totals;
    for (const std::vector<KeyRow>* rows : files)
        for (const KeyRow& row : *rows)
            if (row.date >= first && row.date <= last) totals[row.code] += row.presses;
    for (const auto& [key, figures] : owed)
        if (key.code != 0 && key.date >= first && key.date <= last) totals[key.code] += figures.KeysPressed;
    return totals;
}

std::string FirstDateOf(KeysPeriod period, const LocalDate& today) {
    LocalDate first = HistoryDay(today);
    int back = 0;
    switch (period) {
        case KeysPeriod::Today: break;
        case KeysPeriod::LastSevenDays: back = 6; break;
        case KeysPeriod::LastThirtyDays: back = 29; break;
        case KeysPeriod::LastTwelveMonths:
            // The first day of the calendar month eleven months back.
            first.day = 1;
            first.month -= 11;
            if (first.month < 1) first.month += 12, --first.year;
            if (first.year < 1) first = {1, 1, 1};
            break;
        case KeysPeriod::AllTime: return "";
    }
    for (; back > 0 && !(first.year == 1 && first.month == 1 && first.day == 1); --back) first = DayBefore(first);
    return HistoryDate(first);
}

void KeysView::Form_Load() {
    view_.SelectKeysPeriod(static_cast<int>(period_));
    Rebuild(true);
}

void KeysView::cboPeriod_Click(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kKeysPeriods)) || kKeysPeriods[index] == period_) return;
    period_ = kKeysPeriods[index];
    Rebuild(true);
}

void KeysView::PointAt(int cap) {
    if (cap < -1 || cap >= static_cast<int>(chart_.caps.size()) || cap == pointed_) return;
    pointed_ = cap;
    view_.RedrawKeys();
    ShowDetail();
}

void KeysView::ChartKeyDown(ChartKey key) {
    const std::vector<Cap>& caps = KeyboardCaps(chart_.iso);
    Direction direction = Direction::Left;
    switch (key) {
        case ChartKey::Left: direction = Direction::Left; break;
        case ChartKey::Right: direction = Direction::Right; break;
        case ChartKey::Up: direction = Direction::Up; break;
        case ChartKey::Down: direction = Direction::Down; break;
        case ChartKey::Home: PointAt(0); return;
        case ChartKey::End: PointAt(static_cast<int>(caps.size()) - 1); return;
    }
    PointAt(NextCap(caps, pointed_, direction));
}

void KeysView::cmdCopy_Click() {
    if (!view_.SetClipboardText(KeysClipboardText(chart_)))
        view_.Tell("The keys could not be copied: another program is using the clipboard. Try again in a moment.");
}

void KeysView::tmrFollow_Timer() { Rebuild(false); }

std::vector<std::string> KeysView::FilesOfPeriod() {
    const LocalDate today = HistoryDay(calendar_.Today());
    const std::string first = FirstDateOf(period_, today);
    std::vector<std::string> names;
    if (first.empty()) {
        names = MonthFilesInFolder(folder_, "-keys.csv", files_.Known());
        for (std::string& name : MonthFilesBetween(today, today, KeysFileName)) names.push_back(std::move(name));
    } else {
        LocalDate from;
        ReadHistoryDate(first, from);
        names = MonthFilesBetween(from, today, KeysFileName);
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

void KeysView::Rebuild(bool force) {
    const std::vector<std::string> names = FilesOfPeriod();
    std::vector<const std::vector<KeyRow>*> rows;
    std::vector<std::string> seen;
    OwedRows owed;
    std::string notice;
    for (const std::string& name : names) {
        const auto& file = files_.Refresh(name, NotYetInNeedsHash(app_, name));
        seen.push_back(name + "|" + file.seen);
        rows.push_back(&file.rows);
        AddRows(owed, NotYetIn(app_, name, file.hash, calendar_));
        if (!file.problem.empty()) notice += (notice.empty() ? "" : " ") + file.problem + ".";
    }
    if (!notice.empty()) notice += " The other keys are shown.";
    const LocalDate today = HistoryDay(calendar_.Today());
    const std::string todayText = HistoryDate(today);
    // A tick without news changes nothing on screen.
    if (!force && seen == seen_ && owed == owedSeen_ && todayText == todaySeen_ && notice == notice_) return;
    seen_ = std::move(seen);
    owedSeen_ = std::move(owed);
    todaySeen_ = todayText;
    notice_ = std::move(notice);
    chart_ = BuildKeysChart(KeyTotals(rows, owedSeen_, FirstDateOf(period_, today), todayText), period_, layout_);
    if (pointed_ >= static_cast<int>(chart_.caps.size())) pointed_ = -1;
    view_.RedrawKeys();
    ShowDetail();
}

void KeysView::ShowDetail() {
    const int code = pointed_ >= 0 ? chart_.caps[static_cast<size_t>(pointed_)].code : -1;
    std::string text = KeysDetailText(chart_, code, numbers_);
    if (pointed_ < 0 && !notice_.empty()) text = notice_ + " " + text;
    if (text == detail_) return;
    detail_ = text;
    view_.SetKeysDetailText(text);
}

}  // namespace qm::ui

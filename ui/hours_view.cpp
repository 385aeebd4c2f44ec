#include "ui/hours_view.h"

#include <algorithm>
#include <iterator>
#include <new>

#include "app/history_ledger.h"
#include "core/atomic_file.h"
#include "core/dates.h"
#include "ui/month_files.h"

namespace qm::ui {


void HoursView::Form_Load() {
    view_.SelectHoursChoices(0, 0);
    Rebuild(true);
}

void HoursView::cboFigure_Click(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kChartFigures)) || kChartFigures[index] == figure_) return;
    figure_ = kChartFigures[index];
    Rebuild(true);
}

void HoursView::cboPeriod_Click(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kHoursPeriods)) || kHoursPeriods[index] == period_) return;
    period_ = kHoursPeriods[index];
    Rebuild(true);
}

void HoursView::PointAt(int hour) {
    if (hour < -1 || hour > 23 || hour == pointed_) return;
    pointed_ = hour;
    view_.RedrawHoursChart();
    ShowDetail();
}

void HoursView::ChartKeyDown(ChartKey key) {
    int hour = pointed_;
    switch (key) {
        case ChartKey::Left: hour = hour < 0 ? 0 : std::max(0, hour - 1); break;
        case ChartKey::Right: hour = hour < 0 ? 0 : std::min(23, hour + 1); break;
        case ChartKey::Home: hour = 0; break;
        case ChartKey::End: hour = 23; break;
        case ChartKey::Up:
        case ChartKey::Down: return;  // a row of bars has no rows above or below
    }
    PointAt(hour);
}

void HoursView::cmdCopy_Click() {
    if (!view_.SetClipboardText(HoursClipboardText(chart_)))
        view_.Tell("The chart could not be copied: another program is using the clipboard. Try again in a moment.");
}

void HoursView::tmrFollow_Timer() { Rebuild(false); }

std::vector<std::string> HoursView::FilesOfPeriod() {
    std::vector<std::string> names;
    const LocalDate today = HistoryDay(calendar_.Today());
    LocalDate first = today;
    if (period_ == HoursPeriod::AllTime)
        names = MonthFilesInFolder(folder_, "-hours.csv", files_.Known());
    else
        for (int64_t n = DayNumber(today) - FirstDayOf(period_, today); n > 0; --n) first = DayBefore(first);
    // The months of the period's days (the current month's file even when not there yet).
    for (std::string& name : MonthFilesBetween(first, today, HoursFileName)) names.push_back(std::move(name));
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

void HoursView::Rebuild(bool force) {
    const std::vector<std::string> names = FilesOfPeriod();
    std::vector<const std::vector<HourRow>*> rows;
    OwedRows owed;
    std::vector<std::string> problems;
    std::string madeOf = HistoryDate(calendar_.Today());
    for (const std::string& name : names) {
        const auto& file = files_.Refresh(name, NotYetInNeedsHash(app_, name));
        madeOf += "|" + file.seen;
        rows.push_back(&file.rows);
        AddRows(owed, NotYetIn(app_, name, file.hash, calendar_));
        if (!file.problem.empty()) problems.push_back(file.problem);
    }
    std::string notice;
    for (const std::string& p : problems) notice += (notice.empty() ? "" : " ") + p + ".";
    if (!problems.empty()) notice += " The other hours are shown.";

    // A tick without news changes nothing on screen.
    madeOf += "|" + notice + "|" + std::to_string(rows.size());
    for (const auto& [key, figures] : owed)
        madeOf += "|" + key.date + std::to_string(key.hour) + ":" + std::to_string(figures.KeysPressed) + "," +
                  std::to_string(figures.MouseClicks) + "," + std::to_string(figures.MousePixels) + "," +
                  std::to_string(figures.LettersTyped) + "," + std::to_string(figures.TypingSeconds) + "," +
                  std::to_string(figures.PassedSeconds);
    if (!force && madeOf == madeOf_) return;
    madeOf_ = std::move(madeOf);
    notice_ = std::move(notice);
    chart_ = BuildHoursChart(rows, owed, calendar_.Today(), figure_, period_);
    view_.RedrawHoursChart();
    ShowDetail();
}

void HoursView::ShowDetail() {
    std::string text = HoursDetailText(chart_, pointed_, numbers_);
    if (pointed_ < 0 && !notice_.empty()) text = notice_ + " " + text;
    if (text == detail_) return;
    detail_ = text;
    view_.SetHoursDetailText(text);
}

}  // namespace qm::ui

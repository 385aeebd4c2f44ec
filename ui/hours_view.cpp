#include "ui/hours_view.h"

#include <algorithm>
#include <iterator>
#include <new>

#include "app/history_ledger.h"
#include "core/atomic_file.h"
#include "core/dates.h"

namespace qm::ui {

namespace {

// history\YYYY-MM-hours.csv, nothing else.
bool IsMonthFileName(const std::string& name) {
    static const char kPattern[] = "dddd-dd-hours.csv";
    if (name.size() != sizeof kPattern - 1) return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (kPattern[i] == 'd' ? name[i] < '0' || name[i] > '9' : name[i] != kPattern[i]) return false;
    return name[5] == '0' ? name[6] != '0' : name[5] == '1' && name[6] <= '2';
}

}  // namespace

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
    if (period_ == HoursPeriod::AllTime) {
        try {
            for (const std::string& name : folder_.files.FileNames(AddBackslash(folder_.Folder()) + kHistoryFolder))
                if (IsMonthFileName(name)) names.push_back(std::string(kHistoryFolder) + "\\" + name);
        } catch (const FileError&) {
            // The folder cannot be listed now: the files read before stay.
            for (const auto& [name, file] : files_) names.push_back(name);
        }
    }
    // The months of the period's days (the current month's file even when not there yet).
    const LocalDate today = HistoryDay(calendar_.Today());
    LocalDate day = today;
    const int64_t first = period_ == HoursPeriod::AllTime ? DayNumber(today) : FirstDayOf(period_, today);
    for (; DayNumber(day) >= first; day = DayBefore(day)) {
        names.push_back(HoursFileName(MonthOf(HistoryDate(day))));
        if (DayNumber(day) == 0) break;
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

void HoursView::Refresh(const std::string& name) {
    MonthFile& file = files_[name];
    const std::string path = AddBackslash(folder_.Folder()) + name;
    const std::string month = name.substr(std::size(kHistoryFolder), 7);
    const std::string fileName = name.substr(std::size(kHistoryFolder));
    try {
        // Its length and last write tell a file a save has changed.
        std::string seen = "none";
        const bool there = folder_.files.Exists(path);
        if (there) {
            const FileTail tail = folder_.files.Tail(path, 0);
            seen = std::to_string(tail.size) + ":" + std::to_string(tail.modified);
        }
        if (seen == file.seen) return;
        file = MonthFile{};
        file.seen = seen;
        if (!there) return;
        const FileTail tail = folder_.files.Tail(path, 0);
        if (tail.size > kLargestMonthBytes) {
            file.problem = fileName + " is damaged (it is larger than a month's hours can be)";
            return;
        }
        const std::string text = folder_.files.ReadAll(path);
        file.hash = ContentHash(text);
        try {
            file.rows = ParseHours(text, month);
        } catch (const HistoryFormatError& e) {
            file.rows.clear();
            file.problem = fileName + " is damaged (" + e.what() + ")";
        }
    } catch (const FileError& e) {
        file = MonthFile{};  // seen stays empty: tried again next second
        file.problem = fileName + " cannot be read: " + e.what();
    } catch (const std::bad_alloc&) {
        file.rows.clear();
        file.problem = fileName + " cannot be read: there is not enough memory for it";
    }
}

void HoursView::Rebuild(bool force) {
    const std::vector<std::string> names = FilesOfPeriod();
    std::vector<const std::vector<HourRow>*> rows;
    OwedRows owed;
    std::vector<std::string> problems;
    for (const std::string& name : names) {
        Refresh(name);
        const MonthFile& file = files_[name];
        rows.push_back(&file.rows);
        AddRows(owed, NotYetIn(app_, name, file.hash, calendar_));
        if (!file.problem.empty()) problems.push_back(file.problem);
    }
    std::string notice;
    for (const std::string& p : problems) notice += (notice.empty() ? "" : " ") + p + ".";
    if (!problems.empty()) notice += " The other hours are shown.";

    // A tick without news changes nothing on screen.
    std::string madeOf = HistoryDate(calendar_.Today()) + "|" + notice + "|" + std::to_string(rows.size());
    for (const std::string& name : names) madeOf += "|" + files_[name].seen;
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

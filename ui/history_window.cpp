#include "ui/history_window.h"

#include <algorithm>
#include <iterator>
#include <new>

#include "app/history_ledger.h"
#include "core/atomic_file.h"
#include "ui/chart_text.h"

namespace qm::ui {

namespace {

std::string DamagedText(const std::string& problem) {
    return "history.csv is damaged (" + problem +
           "). The next save keeps it aside as history-damaged-<date>-<time>.csv and starts a new history.";
}

// history.csv's rows with the days it is still owed added in.
std::vector<HistoryRow> WithOwed(const std::vector<HistoryRow>& rows, const OwedDays& owed) {
    std::vector<HistoryRow> merged;
    merged.reserve(rows.size() + owed.size());
    auto day = owed.begin();
    for (const HistoryRow& row : rows) {
        for (; day != owed.end() && day->first < row.date; ++day) merged.push_back({day->first, day->second});
        merged.push_back(row);
        if (day != owed.end() && day->first == row.date) merged.back().figures += (day++)->second;
    }
    for (; day != owed.end(); ++day) merged.push_back({day->first, day->second});
    return merged;
}

}  // namespace

void HistoryWindow::Form_Load() {
    view_.SelectChoices(0, 0);
    ReadHistoryIfChanged();
    Rebuild(true);
}

void HistoryWindow::cboFigure_Click(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kChartFigures)) || kChartFigures[index] == figure_) return;
    figure_ = kChartFigures[index];  // the same bars: the pointed-at one stays
    Rebuild(true);
}

void HistoryWindow::cboPeriod_Click(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kChartPeriods)) || kChartPeriods[index] == period_) return;
    period_ = kChartPeriods[index];
    pointed_ = -1;
    Rebuild(true);
}

void HistoryWindow::PointAt(int bar) {
    if (bar < -1 || bar >= static_cast<int>(chart_.bars.size()) || bar == pointed_) return;
    pointed_ = bar;
    view_.RedrawChart();
    ShowDetail();
}

void HistoryWindow::ChartKeyDown(ChartKey key) {
    const int last = static_cast<int>(chart_.bars.size()) - 1;
    if (last < 0) return;
    int bar = pointed_;
    switch (key) {
        // Nothing pointed at yet: the arrows start from the current bar, the last.
        case ChartKey::Left: bar = bar < 0 ? last : std::max(0, bar - 1); break;
        case ChartKey::Right: bar = bar < 0 ? last : std::min(last, bar + 1); break;
        case ChartKey::Home: bar = 0; break;
        case ChartKey::End: bar = last; break;
        case ChartKey::Up:
        case ChartKey::Down: return;  // a row of bars has no rows above or below
    }
    PointAt(bar);
}

void HistoryWindow::cmdCopy_Click() {
    if (!view_.SetClipboardText(ClipboardText(chart_)))
        view_.Tell("The chart could not be copied: another program is using the clipboard. Try again in a moment.");
}

void HistoryWindow::cmdOpen_Click() {
    const std::string path = folder_.History();
    try {
        if (!folder_.files.Exists(path)) {
            view_.Tell(std::string("There is no history.csv yet. ") + kHistoryStartsText);
            return;
        }
    } catch (const FileError& e) {
        view_.Tell(std::string("history.csv cannot be opened: ") + e.what());
        return;
    }
    view_.ShellOpen(path);
}

void HistoryWindow::tabView_Click(int tab) {
    if (tab == tab_ || tab < 0 || tab >= kHistoryTabs) return;
    tab_ = tab;
    view_.ShowTab(tab);
    if (tab == kHoursTab && !hoursLoaded_) {
        hoursLoaded_ = true;
        hours_.Form_Load();
    } else if (tab == kKeysTab && !keysLoaded_) {
        keysLoaded_ = true;
        keys_.Form_Load();
    } else if (tab == kProgramsTab && !programsLoaded_) {
        programsLoaded_ = true;
        programs_.Form_Load();
    } else if (tab == kScreenTab && !screenLoaded_) {
        screenLoaded_ = true;
        screen_.Form_Load();
    } else {
        tmrFollow_Timer();
    }
}

void HistoryWindow::NextTab(bool back) { tabView_Click((tab_ + (back ? kHistoryTabs - 1 : 1)) % kHistoryTabs); }

void HistoryWindow::CopyChart() {
    switch (tab_) {
        case kHoursTab: hours_.cmdCopy_Click(); break;
        case kKeysTab: keys_.cmdCopy_Click(); break;
        case kProgramsTab: programs_.cmdProgramsCopy_Click(); break;
        case kScreenTab: screen_.cmdScreenCopy_Click(); break;
        default: cmdCopy_Click(); break;
    }
}

void HistoryWindow::tmrFollow_Timer() {
    switch (tab_) {
        case kHoursTab: hours_.tmrFollow_Timer(); break;
        case kKeysTab: keys_.tmrFollow_Timer(); break;
        case kProgramsTab: programs_.tmrFollow_Timer(); break;
        case kScreenTab: screen_.tmrFollow_Timer(); break;
        default: Rebuild(ReadHistoryIfChanged()); break;
    }
}

bool HistoryWindow::ReadHistoryIfChanged() {
    const std::string path = folder_.History();
    std::vector<HistoryRow> rows;
    std::string notice, seen = "none";
    uint64_t hash = 0;
    try {
        // Its length, the time of its last write and its last bytes tell a
        // history.csv that a save has changed, without reading all of it
        // every second.
        if (folder_.files.Exists(path)) {
            const FileTail tail = folder_.files.Tail(path, 64);
            seen = std::to_string(tail.size) + ":" + std::to_string(tail.modified) + ":" + tail.bytes;
            if (seen == seen_) return false;
            if (tail.size > kLargestHistoryBytes) {
                notice = DamagedText(TooLargeHistoryText(tail.size));
            } else {
                const std::string text = folder_.files.ReadAll(path);
                hash = ContentHash(text);
                try {
                    rows = ParseHistory(text);
                    if (rows.empty()) notice = kHistoryStartsText;
                } catch (const HistoryFormatError& e) {
                    rows.clear();
                    notice = DamagedText(e.what());
                }
            }
        } else {
            if (seen == seen_) return false;
            notice = kHistoryStartsText;
        }
    } catch (const FileError& e) {
        // A spreadsheet holds it: what was read before stays on screen, and
        // the next second tries again.
        seen_.clear();
        notice = std::string(everRead_ ? "history.csv cannot be read now; the chart shows it as it was read last: "
                                       : "history.csv cannot be read: ") +
                 e.what();
        if (notice == notice_) return false;
        notice_ = std::move(notice);
        return true;
    } catch (const std::exception& e) {
        // Out of memory, or the like: said once, and this file is not read
        // again until it changes.
        rows.clear();
        hash = 0;
        notice = std::string("history.csv cannot be read: ") +
                 (dynamic_cast<const std::bad_alloc*>(&e) ? "there is not enough memory for it" : e.what());
    }
    seen_ = seen;
    everRead_ = true;
    readHash_ = hash;
    const bool changed = rows != rows_ || notice != notice_;
    rows_ = std::move(rows);
    notice_ = std::move(notice);
    return changed;
}

void HistoryWindow::Rebuild(bool force) {
    // What saves still owe history.csv and what the run has counted since,
    // each under the day it was counted on.
    const OwedDays extra = DaysOf(NotYetIn(app_, kHistoryFile, everRead_ ? std::optional(readHash_) : std::nullopt,
                                           calendar_));
    const DayFigures unsaved;
    const LocalDate today = calendar_.Today();
    const std::string todayText = HistoryDate(today);
    if (!force && extra == extraSeen_ && unsaved == unsavedSeen_ && todayText == todaySeen_) return;
    extraSeen_ = extra;
    unsavedSeen_ = unsaved;
    todaySeen_ = todayText;
    chart_ = extra.empty() ? BuildHistoryChart(rows_, unsaved, today, figure_, period_)
                           : BuildHistoryChart(WithOwed(rows_, extra), unsaved, today, figure_, period_);
    if (pointed_ >= static_cast<int>(chart_.bars.size())) pointed_ = -1;
    view_.RedrawChart();
    ShowDetail();
}

void HistoryWindow::ShowDetail() {
    std::string text = DetailText(chart_, pointed_, numbers_, dates_);
    if (pointed_ < 0 && !notice_.empty()) text = notice_ + " " + text;
    if (text == detail_) return;
    detail_ = text;
    view_.SetDetailText(text);
}

}  // namespace qm::ui

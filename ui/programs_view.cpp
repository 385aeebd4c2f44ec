#include "ui/programs_view.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "app/history_ledger.h"
#include "core/dates.h"
#include "ui/keys_view.h"

namespace qm::ui {

std::vector<ProgramTotal> ProgramTotals(const std::vector<const std::vector<ProgramRow>*>& files,
                                        const OwedRows& owed, const std::string& first, const std::string& last) {
    struct Sum {
        ProgramTotal total;
        std::string named;  // the date of the row its name is from
    };
    std::map<std::string, Sum> sums;  // by program
    auto add = [&](const std::string& date, const std::string& program, const std::string& name,
                   const DayFigures& figures) {
        // YYYY-MM-DD dates compare as their days do.
        if (date < first || date > last) return;
        Sum& sum = sums[program];
        sum.total.figures += figures;
        // The files come month by month and what they are owed after them:
        // the last row of the latest day names the program as it is now.
        if (!name.empty() && date >= sum.named) {
            // Compared first: the name and the day seldom change from row to row.
            if (sum.total.name != name) sum.total.name = name;
            if (sum.named != date) sum.named = date;
        }
    };
    for (const std::vector<ProgramRow>* rows : files)
        for (const ProgramRow& row : *rows) add(row.date, row.program, row.name, row.figures);
    for (const auto& [key, figures] : owed)
        if (!key.program.empty()) add(key.date, key.program, key.name, figures);
    std::vector<ProgramTotal> totals;
    totals.reserve(sums.size());
    for (auto& [program, sum] : sums) {
        sum.total.program = program;
        if (sum.total.name.empty()) sum.total.name = program;
        totals.push_back(std::move(sum.total));
    }
    return totals;
}

void ProgramsView::Form_Load() {
    view_.SelectProgramsPeriod(static_cast<int>(period_));
    view_.SelectProgramsFigure(static_cast<int>(figure_));
    Rebuild(true);
}

void ProgramsView::cboProgramsFigure_Click(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kProgramsFigures)) || kProgramsFigures[index] == figure_)
        return;
    figure_ = kProgramsFigures[index];
    Rebuild(true);
}

void ProgramsView::cboProgramsPeriod_Click(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kKeysPeriods)) || kKeysPeriods[index] == period_) return;
    period_ = kKeysPeriods[index];
    Rebuild(true);
}

void ProgramsView::PointAt(int bar) {
    if (bar < -1 || bar >= static_cast<int>(chart_.bars.size()) || bar == pointed_) return;
    pointed_ = bar;
    view_.RedrawPrograms();
    ShowDetail();
}

void ProgramsView::ChartKeyDown(ChartKey key) {
    // The bars stand one above another, the most first.
    const int last = static_cast<int>(chart_.bars.size()) - 1;
    if (last < 0) return;
    switch (key) {
        case ChartKey::Up:
        case ChartKey::Left: PointAt(pointed_ < 0 ? 0 : std::max(0, pointed_ - 1)); break;
        case ChartKey::Down:
        case ChartKey::Right: PointAt(pointed_ < 0 ? 0 : std::min(last, pointed_ + 1)); break;
        case ChartKey::Home: PointAt(0); break;
        case ChartKey::End: PointAt(last); break;
    }
}

void ProgramsView::cmdProgramsCopy_Click() {
    if (!view_.SetClipboardText(ProgramsClipboardText(chart_)))
        view_.Tell("The programs could not be copied: another program is using the clipboard. Try again in a moment.");
}

void ProgramsView::tmrFollow_Timer() { Rebuild(false); }

std::vector<std::string> ProgramsView::FilesOfPeriod() {
    const LocalDate today = HistoryDay(calendar_.Today());
    const std::string first = FirstDateOf(period_, today);
    std::vector<std::string> names;
    if (first.empty()) {
        names = MonthFilesInFolder(folder_, "-programs.csv", files_.Known());
        for (std::string& name : MonthFilesBetween(today, today, ProgramsFileName)) names.push_back(std::move(name));
    } else {
        LocalDate from;
        ReadHistoryDate(first, from);
        names = MonthFilesBetween(from, today, ProgramsFileName);
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

void ProgramsView::Rebuild(bool force) {
    const std::vector<std::string> names = FilesOfPeriod();
    std::vector<const std::vector<ProgramRow>*> rows;
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
    if (!notice.empty()) notice += " The other programs are shown.";
    const LocalDate today = HistoryDay(calendar_.Today());
    const std::string todayText = HistoryDate(today);
    // A tick without news changes nothing on screen.
    if (!force && seen == seen_ && owed == owedSeen_ && todayText == todaySeen_ && notice == notice_) return;
    seen_ = std::move(seen);
    owedSeen_ = std::move(owed);
    todaySeen_ = todayText;
    notice_ = std::move(notice);
    // The bar pointed at stays with its program, wherever the new ranking puts it.
    ProgramBar pointed;
    if (pointed_ >= 0) pointed = chart_.bars[static_cast<size_t>(pointed_)];
    chart_ = BuildProgramsChart(ProgramTotals(rows, owedSeen_, FirstDateOf(period_, today), todayText), figure_,
                                period_);
    if (pointed_ >= 0) {
        const auto it = std::find_if(chart_.bars.begin(), chart_.bars.end(), [&](const ProgramBar& bar) {
            return bar.other == pointed.other && bar.program == pointed.program;
        });
        pointed_ = it == chart_.bars.end() ? -1 : static_cast<int>(it - chart_.bars.begin());
    }
    view_.RedrawPrograms();
    ShowDetail();
}

void ProgramsView::ShowDetail() {
    std::string text = ProgramsDetailText(chart_, pointed_, numbers_);
    if (pointed_ < 0 && !notice_.empty()) text = notice_ + " " + text;
    if (text == detail_) return;
    detail_ = text;
    view_.SetProgramsDetailText(text);
}

}  // namespace qm::ui

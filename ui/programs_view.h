// The behaviour of the History window's Programs tab: which month files of
// programs it reads, each program's figures over the period, the bars it
// shows and its commands. Plain code over ProgramsViewPort, tested without a
// screen; it writes nothing.
#pragma once

#include <string>
#include <vector>

#include "core/programs.h"
#include "ui/history_sources.h"
#include "ui/month_files.h"
#include "ui/programs_chart.h"

namespace qm::ui {

// What the behaviour needs of the real tab.
class ProgramsViewPort {
public:
    virtual ~ProgramsViewPort() = default;
    virtual void RedrawPrograms() = 0;
    virtual void SetProgramsDetailText(const std::string& text) = 0;
    virtual void SelectProgramsPeriod(int period) = 0;
    virtual void SelectProgramsFigure(int figure) = 0;
    // False when the clipboard could not be had (another program holds it).
    virtual bool SetClipboardText(const std::string& text) = 0;
    virtual void Tell(const std::string& text) = 0;  // a message box
};

// Each program's figures over the days from `first` to `last` (YYYY-MM-DD,
// both included): the files' rows and the program rows the files are still
// owed, by program, each with the name of its latest row.
std::vector<ProgramTotal> ProgramTotals(const std::vector<const std::vector<ProgramRow>*>& files,
                                        const OwedRows& owed, const std::string& first, const std::string& last);

class ProgramsView {
public:
    ProgramsView(const HistorySources& sources, ProgramsViewPort& view)
        : app_(sources.app), folder_(sources.folder), calendar_(sources.calendar), numbers_(sources.numbers),
          view_(view) {}

    // All time, Keys pressed.
    void Form_Load();
    void cboProgramsFigure_Click(int index);
    void cboProgramsPeriod_Click(int index);
    // The mouse is over bar `bar` of the chart, or over none (-1).
    void PointAt(int bar);
    // Up and Down (Left and Right alike) move from bar to bar once the chart has the focus.
    void ChartKeyDown(ChartKey key);
    void cmdProgramsCopy_Click();
    // Once a second: month files a save changed, the run's counting, a new day.
    void tmrFollow_Timer();

    const ProgramsChart& Chart() const { return chart_; }
    int PointedBar() const { return pointed_; }
    // Said over the chart: month files that are damaged or cannot be read.
    const std::string& Notice() const { return notice_; }

private:
    std::vector<std::string> FilesOfPeriod();
    void Rebuild(bool force);
    void ShowDetail();

    const AppState& app_;
    const ProgramFolder& folder_;
    const Calendar& calendar_;
    const NumberFormat& numbers_;
    ProgramsViewPort& view_;

    ProgramsFigure figure_ = ProgramsFigure::Keys;
    KeysPeriod period_ = KeysPeriod::AllTime;
    ProgramsChart chart_;
    int pointed_ = -1;
    std::string notice_, detail_;
    MonthFiles<ProgramRow> files_{folder_, ParsePrograms, kLargestProgramsBytes};
    // What the chart was made from, so that a tick without news changes nothing on screen.
    std::vector<std::string> seen_;
    OwedRows owedSeen_;
    std::string todaySeen_;
};

}  // namespace qm::ui

// The behaviour of the History window, frmHistory: what it reads, which chart
// it shows, and each command. Plain code over HistoryWindowView, so it is
// tested without a screen.
#pragma once

#include <string>
#include <vector>

#include "ui/history_chart.h"
#include "ui/history_sources.h"
#include "ui/hours_view.h"
#include "ui/keys_view.h"
#include "ui/programs_view.h"
#include "ui/screen_view.h"

namespace qm::ui {

// What the behaviour needs of the real window: the Days tab's controls here,
// the other tabs' through their own ports.
class HistoryWindowView : public HoursViewPort, public KeysViewPort, public ProgramsViewPort, public ScreenViewPort {
public:
    // The chart, the pointed-at bar or the notice changed: draw the chart again.
    virtual void RedrawChart() = 0;
    virtual void SetDetailText(const std::string& text) = 0;
    virtual void SelectChoices(int figure, int period) = 0;
    // False when the clipboard could not be had (another program holds it).
    bool SetClipboardText(const std::string& text) override = 0;
    void Tell(const std::string& text) override = 0;  // a message box
    virtual void ShellOpen(const std::string& path) = 0;
    // Chooses the tab in the tab control and shows its controls alone.
    virtual void ShowTab(int tab) = 0;
};

inline constexpr const char* kHistoryStartsText = "The history starts with the first save, within a minute.";

class HistoryWindow {
public:
    HistoryWindow(const HistorySources& sources, HistoryWindowView& view)
        : app_(sources.app), folder_(sources.folder), calendar_(sources.calendar), numbers_(sources.numbers),
          dates_(sources.dates), view_(view), hours_(sources, view), keys_(sources, view), programs_(sources, view),
          screen_(sources, view) {}

    // Reads history.csv and shows Keys pressed over the last 30 days on the Days tab.
    void Form_Load();
    // The user chose tab `tab` (HistoryTab): its chart is brought up to date
    // as it shows. The Hours, Keys, Programs and Screen tabs read their files the
    // first time they are chosen.
    void tabView_Click(int tab);
    // Ctrl+Tab, Ctrl+Shift+Tab: the next or the previous tab, round.
    void NextTab(bool back);
    // Ctrl+C: the chart of the tab shown.
    void CopyChart();
    void cboFigure_Click(int index);
    void cboPeriod_Click(int index);
    // The mouse is over bar `bar` of the chart, or over none (-1).
    void PointAt(int bar);
    void ChartKeyDown(ChartKey key);
    void cmdCopy_Click();
    void cmdOpen_Click();
    // Once a second: what the run has counted since, a new history.csv or
    // month file, a new day; for the tab shown only.
    void tmrFollow_Timer();

    int Tab() const { return tab_; }
    HoursView& Hours() { return hours_; }
    KeysView& Keys() { return keys_; }
    ProgramsView& Programs() { return programs_; }
    ScreenView& Screen() { return screen_; }

    const HistoryChart& Chart() const { return chart_; }
    int PointedBar() const { return pointed_; }
    // Said over the chart: an empty, damaged or unreadable history.csv; else empty.
    const std::string& Notice() const { return notice_; }

private:
    // Reads history.csv when it is not what was read last; true when it was read.
    bool ReadHistoryIfChanged();
    // Rows of history.csv with what it is still owed, and the run's unsaved part.
    void Rebuild(bool force);
    void ShowDetail();

    const AppState& app_;  // only read: the window never changes the figures
    const ProgramFolder& folder_;
    const Calendar& calendar_;
    const NumberFormat& numbers_;
    const DateFormat& dates_;
    HistoryWindowView& view_;

    ChartFigure figure_ = ChartFigure::KeysPressed;
    ChartPeriod period_ = ChartPeriod::LastThirtyDays;
    HistoryChart chart_;
    int pointed_ = -1;
    std::string notice_;
    std::string detail_;

    std::vector<HistoryRow> rows_;  // history.csv as last read
    std::string seen_;              // its length, last write and last bytes then ("none": not there); empty: read again
    uint64_t readHash_ = 0;         // the ContentHash of its bytes then
    bool everRead_ = false;
    // What the chart was made from, so that a tick without news changes nothing on screen.
    OwedDays extraSeen_;
    DayFigures unsavedSeen_;
    std::string todaySeen_;

    HoursView hours_;
    KeysView keys_;
    ProgramsView programs_;
    ScreenView screen_;
    int tab_ = 0;
    bool hoursLoaded_ = false, keysLoaded_ = false, programsLoaded_ = false, screenLoaded_ = false;
};

}  // namespace qm::ui

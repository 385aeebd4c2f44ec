// The behaviour of the History window, frmHistory: what it reads, which chart
// it shows, and each command. Plain code over HistoryWindowView, so it is
// tested without a screen.
#pragma once

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/services.h"
#include "core/platform/date_format.h"
#include "ui/history_chart.h"

namespace qm::ui {

// What the behaviour needs of the real window.
class HistoryWindowView {
public:
    virtual ~HistoryWindowView() = default;
    // The chart, the pointed-at bar or the notice changed: draw the chart again.
    virtual void RedrawChart() = 0;
    virtual void SetDetailText(const std::string& text) = 0;
    virtual void SelectChoices(int figure, int period) = 0;
    // False when the clipboard could not be had (another program holds it).
    virtual bool SetClipboardText(const std::string& text) = 0;
    virtual void ShellOpen(const std::string& path) = 0;
    virtual void Tell(const std::string& text) = 0;  // a message box
};

// The keys that move along the bars once the chart has the focus.
enum class ChartKey { Left, Right, Home, End };

inline constexpr const char* kHistoryStartsText = "The history starts with the first save, within a minute.";

// What the History window reads: the run's figures, history.csv beside the
// program, today's date and the user's regional formats. It writes nothing.
struct HistorySources {
    const AppState& app;
    const ProgramFolder& folder;
    const Calendar& calendar;
    const NumberFormat& numbers;
    const DateFormat& dates;
};

class HistoryWindow {
public:
    HistoryWindow(const HistorySources& sources, HistoryWindowView& view)
        : app_(sources.app), folder_(sources.folder), calendar_(sources.calendar), numbers_(sources.numbers),
          dates_(sources.dates), view_(view) {}

    // Reads history.csv and shows Keys pressed over the last 30 days.
    void Form_Load();
    void cboFigure_Click(int index);
    void cboPeriod_Click(int index);
    // The mouse is over bar `bar` of the chart, or over none (-1).
    void PointAt(int bar);
    void ChartKeyDown(ChartKey key);
    void cmdCopy_Click();
    void cmdOpen_Click();
    // Once a second: what the run has counted since, a new history.csv, a new day.
    void tmrFollow_Timer();

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
};

}  // namespace qm::ui

// The behaviour of the History window's Hours tab: which month files of
// hours it reads, the chart it shows and its commands. Plain code over
// HoursViewPort, tested without a screen; it writes nothing.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/history_sources.h"
#include "ui/hours_chart.h"
#include "ui/month_files.h"

namespace qm::ui {

// What the behaviour needs of the real tab.
class HoursViewPort {
public:
    virtual ~HoursViewPort() = default;
    virtual void RedrawHoursChart() = 0;
    virtual void SetHoursDetailText(const std::string& text) = 0;
    virtual void SelectHoursChoices(int figure, int period) = 0;
    // False when the clipboard could not be had (another program holds it).
    virtual bool SetClipboardText(const std::string& text) = 0;
    virtual void Tell(const std::string& text) = 0;  // a message box
};

class HoursView {
public:
    HoursView(const HistorySources& sources, HoursViewPort& view)
        : app_(sources.app), folder_(sources.folder), calendar_(sources.calendar), numbers_(sources.numbers),
          view_(view) {}

    // Keys pressed today.
    void Form_Load();
    void cboFigure_Click(int index);
    void cboPeriod_Click(int index);
    void PointAt(int hour);  // -1: none
    void ChartKeyDown(ChartKey key);
    void cmdCopy_Click();
    // Once a second: month files a save changed, the run's counting, a new day.
    void tmrFollow_Timer();

    const HoursChart& Chart() const { return chart_; }
    int PointedHour() const { return pointed_; }
    // Said over the chart: month files that are damaged or cannot be read.
    const std::string& Notice() const { return notice_; }

private:
    // The file names (history\YYYY-MM-hours.csv) the period needs.
    std::vector<std::string> FilesOfPeriod();
    void Rebuild(bool force);
    void ShowDetail();

    const AppState& app_;
    const ProgramFolder& folder_;
    const Calendar& calendar_;
    const NumberFormat& numbers_;
    HoursViewPort& view_;

    ChartFigure figure_ = ChartFigure::KeysPressed;
    HoursPeriod period_ = HoursPeriod::Today;
    HoursChart chart_;
    int pointed_ = -1;
    std::string notice_, detail_;
    MonthFiles<HourRow> files_{folder_, ParseHours, kLargestMonthBytes};
    std::string madeOf_;                       // what the chart was made from, in short
};

}  // namespace qm::ui

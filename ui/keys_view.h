// The behaviour of the History window's Keys tab: which month files of keys
// it reads, each code's presses over the period, the keyboard it shows and
// its commands. Plain code over KeysViewPort, tested without a screen; it
// writes nothing.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/keys.h"
#include "core/platform/keyboard_layout.h"
#include "ui/history_sources.h"
#include "ui/keys_chart.h"
#include "ui/month_files.h"

namespace qm::ui {

// What the behaviour needs of the real tab.
class KeysViewPort {
public:
    virtual ~KeysViewPort() = default;
    virtual void RedrawKeys() = 0;
    virtual void SetKeysDetailText(const std::string& text) = 0;
    virtual void SelectKeysPeriod(int period) = 0;
    // False when the clipboard could not be had (another program holds it).
    virtual bool SetClipboardText(const std::string& text) = 0;
    virtual void Tell(const std::string& text) = 0;  // a message box
};

// Each code's presses over the days from `first` to `last` (YYYY-MM-DD,
// both included): the files' rows and what the files are still owed.
std::map<int, int64_t> KeyTotals(const std::vector<const std::vector<KeyRow>*>& files, const OwedRows& owed,
                                 const std::string& first, const std::string& last);

// The first day (YYYY-MM-DD) of the period ending today; empty for All time.
std::string FirstDateOf(KeysPeriod period, const LocalDate& today);

class KeysView {
public:
    KeysView(const HistorySources& sources, KeysViewPort& view)
        : app_(sources.app), folder_(sources.folder), calendar_(sources.calendar), numbers_(sources.numbers),
          layout_(sources.keyboard ? *sources.keyboard : drawing_), view_(view) {}

    // All time.
    void Form_Load();
    void cboPeriod_Click(int index);
    // The mouse is over cap `cap` of the drawing (KeyboardCaps), or over none (-1).
    void PointAt(int cap);
    // The arrows move from cap to cap once the drawing has the focus.
    void ChartKeyDown(ChartKey key);
    void cmdCopy_Click();
    // Once a second: month files a save changed, the run's counting, a new day.
    void tmrFollow_Timer();

    const KeysChart& Chart() const { return chart_; }
    int PointedCap() const { return pointed_; }
    // Said over the drawing: month files that are damaged or cannot be read.
    const std::string& Notice() const { return notice_; }

private:
    std::vector<std::string> FilesOfPeriod();
    void Rebuild(bool force);
    void ShowDetail();

    const AppState& app_;
    const ProgramFolder& folder_;
    const Calendar& calendar_;
    const NumberFormat& numbers_;
    DrawingLayout drawing_;
    const KeyboardLayout& layout_;
    KeysViewPort& view_;

    KeysPeriod period_ = KeysPeriod::AllTime;
    KeysChart chart_;
    int pointed_ = -1;
    std::string notice_, detail_;
    MonthFiles<KeyRow> files_{folder_, ParseKeys, kLargestKeysBytes};
    // What the drawing was made from, so that a tick without news changes nothing on screen.
    std::vector<std::string> seen_;
    OwedRows owedSeen_;
    std::string todaySeen_;
};

}  // namespace qm::ui

// The behaviour of the History window's Screen tab: which maps of the screen
// a period shows (the month files, what the saves still owe them and what
// the run has counted since), the arrangement of monitors it draws, the
// texts of the pointed cell and of the period, and Copy and Save picture.
// Plain code over ScreenViewPort, tested without a screen; it writes
// nothing but the picture the user asks for.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/screen_map.h"
#include "ui/history_sources.h"
#include "ui/screen_picture.h"

namespace qm::ui {

// What the behaviour needs of the real tab.
class ScreenViewPort {
public:
    virtual ~ScreenViewPort() = default;
    virtual void RedrawScreen() = 0;
    virtual void SetScreenDetailText(const std::string& text) = 0;
    virtual void SelectScreenWhat(int what) = 0;
    // The list of periods, and the one chosen in it.
    virtual void SetScreenPeriods(const std::vector<std::string>& names, int chosen) = 0;
    // Where to save the picture, the user asked (a Save dialog offering
    // `suggested`); empty when they cancelled.
    virtual std::string AskPictureFile(const std::string& suggested) = 0;
    // Writes the picture at its full size as a PNG, band by band; empty when
    // done, else what went wrong.
    virtual std::string SavePicture(const std::string& path, const ScreenPicture& picture) = 0;
    // The picture at `size` on the clipboard as a bitmap; false when the
    // clipboard could not be had.
    virtual bool SetClipboardPicture(const ScreenPicture& picture, PictureSize size) = 0;
    virtual void Tell(const std::string& text) = 0;  // a message box
};

// Where the maps come from: the map files of the history folder.
class ScreenSource {
public:
    virtual ~ScreenSource() = default;
    // The months that have map files (YYYY-MM), each with a text that changes
    // whenever its files do. Raises FileError.
    virtual std::map<std::string, std::string> Months() = 0;
    // Raises ScreenFormatError and FileError.
    virtual ScreenMaps Read(const std::string& month) = 0;
};

class FolderScreenSource : public ScreenSource {
public:
    explicit FolderScreenSource(const ProgramFolder& folder) : folder_(folder) {}
    // A save adds a segment under a new name and folds segments into the
    // base by removing them: the names tell what changed.
    std::map<std::string, std::string> Months() override;
    ScreenMaps Read(const std::string& month) override { return ReadScreenMonth(folder_, month); }

private:
    const ProgramFolder& folder_;
};

// Of a month's maps, the one to draw: that of the current arrangement when
// it has one, else the one with the most counts; -1 when none has a count.
int PickArrangement(const ScreenMaps& maps, const Arrangement& current);

// The travel of a monitor in meters, and how it was measured.
struct MonitorMeters {
    double meters = 0;
    bool measured = false;  // from the monitor's size; else kScreenPixelsPerMeter
};
inline constexpr double kScreenPixelsPerMeter = 3500;
MonitorMeters MetersOf(const Monitor& monitor, uint64_t travelPixels);

class ScreenView {
public:
    ScreenView(const HistorySources& sources, ScreenViewPort& view, ScreenSource* source = nullptr)
        : app_(sources.app), calendar_(sources.calendar), numbers_(sources.numbers), dates_(sources.dates),
          view_(view), folderSource_(sources.folder), source_(source ? *source : folderSource_) {}

    // Travel, this month.
    void Form_Load();
    void cboScreenWhat_Click(int index);
    void cboScreenPeriod_Click(int index);
    // The chart is width x height pixels: the maps take it less the legend's
    // `legendHeight` at the bottom and a margin of `margin` around them.
    void SetArea(int width, int height, int margin, int legendHeight);
    // The mouse is at (x, y) of the chart; off the maps, the period's summary.
    void PointAt(int x, int y);
    void cmdScreenCopy_Click();
    void cmdScreenSave_Click();
    // Once a second: map files a save changed, the run's counting, a new month.
    void tmrFollow_Timer();

    ScreenWhat What() const { return what_; }
    const ScreenCounts& Counts() const { return counts_; }
    const ScreenPicture& Picture() const { return picture_; }
    const ScreenPaint& Paint() const { return paint_; }
    // The monitors drawn for their places in Paint(), as FitMonitor draws them.
    const std::vector<MonitorImage>& Images() const { return images_; }
    int PointedCell() const { return static_cast<int>(pointed_.cell); }
    const std::vector<std::string>& PeriodNames() const { return periodNames_; }
    // Said over the maps: damaged or unreadable files, other arrangements left out.
    const std::string& Notice() const { return notice_; }

private:
    struct Month {
        std::string stamp;  // the source's, when read
        ScreenMaps maps;
        std::string problem;
    };
    void Rebuild(bool force);
    void UpdatePeriods(const std::string& thisMonth, const std::string& lastMonth);
    const Month& Files(const std::string& month);
    std::string MonthName(const std::string& month) const;
    std::string ChosenMonth() const;
    std::string PeriodName() const;
    void ShowDetail();
    void FitImages();

    const AppState& app_;
    const Calendar& calendar_;
    const NumberFormat& numbers_;
    const DateFormat& dates_;
    ScreenViewPort& view_;
    FolderScreenSource folderSource_;
    ScreenSource& source_;

    ScreenWhat what_ = ScreenWhat::Travel;
    // The period chosen: 0 this month, 1 last month, 2 `month_`, 3 all time.
    int periodKind_ = 0;
    std::string month_;
    std::vector<std::string> periodNames_, periodMonths_;  // "" for All time
    std::map<std::string, std::string> listed_;            // the source's months as last listed
    std::map<std::string, Month> months_;                  // as read, by month
    struct AllTime {
        std::string key;  // the monitors and the files' stamps it was made of
        ScreenMaps files;  // the files' maps of the monitors as they are
        bool others = false;
        std::string problems;
    } allTime_;

    ArrangementMap shown_;  // the map drawn
    ScreenCounts counts_;
    ScreenPicture picture_;
    ScreenPaint paint_;
    std::vector<MonitorImage> images_;
    int width_ = 0, height_ = 0, margin_ = 0, legendHeight_ = 0;
    ScreenSpot pointed_;
    std::string notice_, detail_;
    bool loaded_ = false;
};

}  // namespace qm::ui

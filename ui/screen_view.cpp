#include "ui/screen_view.h"

#include <algorithm>
#include <iterator>
#include <new>

#include "app/screen_store.h"
#include "core/dates.h"
#include "core/hours.h"
#include "core/identity.h"
#include "input/screen_ledger.h"

namespace qm::ui {

namespace {

uint64_t CountsIn(const ArrangementMap& map) {
    uint64_t n = 0;
    for (const Layer& layer : map.layers)
        for (const CellCount& c : layer) n += c.count;
    return n;
}

std::string CountPhrase(ScreenWhat what, uint64_t n, const NumberFormat& numbers) {
    static constexpr const char* kNames[][2] = {{"pass", "passes"},
                                                {"click", "clicks"},
                                                {"left click", "left clicks"},
                                                {"right click", "right clicks"},
                                                {"middle click", "middle clicks"}};
    return numbers.Format(static_cast<double>(n), 0) + " " + kNames[static_cast<int>(what)][n == 1 ? 0 : 1];
}

std::string MonitorName(size_t i) { return "Monitor " + std::to_string(i + 1); }

std::string MonthBefore(const LocalDate& today) {
    LocalDate month{today.year, today.month - 1, 1};
    if (month.month < 1) month = {today.year - 1, 12, 1};
    return month.year < 1 ? std::string() : HistoryDate(month).substr(0, 7);
}

// Adds the maps of `current` among `maps` to `sum`; `others` when the rest count anything.
void AddCurrent(ScreenMaps& sum, bool& others, const ScreenMaps& maps, const Arrangement& current) {
    for (const ArrangementMap& map : maps) {
        if (map.arrangement.SameAs(current))
            AddMaps(sum, {map});
        else if (!map.IsEmpty())
            others = true;
    }
}

}  // namespace

std::map<std::string, std::string> FolderScreenSource::Months() {
    std::map<std::string, std::string> months;
    std::vector<std::string> names = folder_.files.FileNames(folder_.Path(kHistoryFolder));
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        std::string month;
        uint32_t segment = 0;
        if (ReadScreenFileName(name, month, segment)) months[month] += name + "|";
    }
    return months;
}

int PickArrangement(const ScreenMaps& maps, const Arrangement& current) {
    int most = -1;
    uint64_t mostCounts = 0;
    for (size_t i = 0; i < maps.size(); ++i) {
        const uint64_t counts = CountsIn(maps[i]);
        if (counts == 0) continue;
        if (maps[i].arrangement.SameAs(current)) return static_cast<int>(i);
        if (counts > mostCounts) most = static_cast<int>(i), mostCounts = counts;
    }
    return most;
}

MonitorMeters MetersOf(const Monitor& monitor, uint64_t travelPixels) {
    const double pixels = static_cast<double>(travelPixels);
    if (monitor.widthMm > 0 && monitor.Width() > 0)
        return {pixels / (monitor.Width() / (monitor.widthMm / 1000.0)), true};
    return {pixels / kScreenPixelsPerMeter, false};
}

void ScreenView::Form_Load() {
    loaded_ = true;
    view_.SelectScreenWhat(static_cast<int>(what_));
    Rebuild(true);
}

void ScreenView::cboScreenWhat_Click(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kScreenWhats)) || kScreenWhats[index] == what_) return;
    what_ = kScreenWhats[index];
    Rebuild(true);
}

void ScreenView::cboScreenPeriod_Click(int index) {
    if (index < 0 || index >= static_cast<int>(periodMonths_.size())) return;
    const int last = static_cast<int>(periodMonths_.size()) - 1;
    periodKind_ = index == 0 ? 0 : index == 1 ? 1 : index == last ? 3 : 2;
    month_ = periodMonths_[static_cast<size_t>(index)];
    Rebuild(true);
}

void ScreenView::SetArea(int width, int height, int margin, int legendHeight) {
    if (width == width_ && height == height_ && margin == margin_ && legendHeight == legendHeight_) return;
    width_ = width, height_ = height, margin_ = margin, legendHeight_ = legendHeight;
    paint_ = LayOutScreen(counts_.arrangement, width - 2 * margin, height - legendHeight - 2 * margin,
                          std::max(1, margin / 4));
    for (PixelRect& r : paint_.monitors)
        if (r.right > r.left) r = {r.left + margin, r.top + margin, r.right + margin, r.bottom + margin};
    FitImages();
}

void ScreenView::FitImages() {
    images_.clear();
    for (size_t i = 0; i < paint_.monitors.size() && i < counts_.arrangement.monitors.size(); ++i)
        images_.push_back(FitMonitor(counts_, i, paint_.monitors[i].Width(), paint_.monitors[i].Height()));
}

void ScreenView::PointAt(int x, int y) {
    const ScreenSpot spot = SpotAt(paint_, counts_.arrangement, x, y);
    if (spot.monitor == pointed_.monitor && spot.cell == pointed_.cell) return;
    pointed_ = spot;
    ShowDetail();
}

void ScreenView::cmdScreenCopy_Click() {
    if (picture_.width <= 0 || picture_.height <= 0) return;
    if (!view_.SetClipboardPicture(picture_, FitPicture(picture_.width, picture_.height, kMostClipboardBytes)))
        view_.Tell("The picture could not be copied: another program is using the clipboard. Try again in a moment.");
}

void ScreenView::cmdScreenSave_Click() {
    if (picture_.width <= 0 || picture_.height <= 0) return;
    const std::string month = ChosenMonth();
    std::string suggested = std::string(QM_PRODUCT) + " screen " + (month.empty() ? "all time" : month);
    if (what_ != ScreenWhat::Travel) {
        std::string what = kScreenWhatNames[static_cast<int>(what_)];
        std::transform(what.begin(), what.end(), what.begin(),
                       [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
        suggested += " " + what.substr(0, what.find(" ("));
    }
    const std::string path = view_.AskPictureFile(suggested + ".png");
    if (path.empty()) return;
    const std::string failure = view_.SavePicture(path, picture_);
    if (!failure.empty()) view_.Tell("The picture could not be saved: " + failure);
}

void ScreenView::tmrFollow_Timer() {
    if (loaded_) Rebuild(false);
}

std::string ScreenView::MonthName(const std::string& month) const {
    return dates_.YearMonth(std::stoi(month.substr(0, 4)), std::stoi(month.substr(5, 2)));
}

std::string ScreenView::PeriodName() const {
    const auto at = std::find(periodMonths_.begin(), periodMonths_.end(), ChosenMonth());
    return at == periodMonths_.end() ? std::string() : periodNames_[static_cast<size_t>(at - periodMonths_.begin())];
}

std::string ScreenView::ChosenMonth() const {
    if (periodMonths_.empty()) return "";
    switch (periodKind_) {
        case 0: return periodMonths_[0];
        case 1: return periodMonths_[1];
        case 2: return month_;
        default: return "";
    }
}

void ScreenView::UpdatePeriods(const std::string& thisMonth, const std::string& lastMonth) {
    std::vector<std::string> names{"This month", "Last month"}, months{thisMonth, lastMonth};
    for (auto it = listed_.rbegin(); it != listed_.rend(); ++it)
        if (it->first < lastMonth) {
            names.push_back(MonthName(it->first));
            months.push_back(it->first);
        }
    names.push_back("All time");
    months.push_back("");
    // A month chosen by name whose files are gone: this month instead.
    if (periodKind_ == 2 && std::find(months.begin() + 2, months.end() - 1, month_) == months.end() - 1)
        periodKind_ = 0;
    if (names == periodNames_ && months == periodMonths_) return;
    periodNames_ = std::move(names);
    periodMonths_ = std::move(months);
    int chosen = periodKind_ == 3 ? static_cast<int>(periodMonths_.size()) - 1 : periodKind_;
    if (periodKind_ == 2)
        chosen =
            static_cast<int>(std::find(periodMonths_.begin(), periodMonths_.end(), month_) - periodMonths_.begin());
    view_.SetScreenPeriods(periodNames_, chosen);
}

const ScreenView::Month& ScreenView::Files(const std::string& month) {
    const auto listed = listed_.find(month);
    const std::string stamp = listed == listed_.end() ? "none" : listed->second;
    Month& m = months_[month];
    if (m.stamp == stamp && !m.stamp.empty()) return m;
    m = Month{};
    m.stamp = stamp;
    if (listed == listed_.end()) return m;
    try {
        m.maps = source_.Read(month);
    } catch (const ScreenFormatError& e) {
        m.problem = "The maps of " + MonthName(month) + " are damaged (" + e.what() + ").";
    } catch (const FileError& e) {
        m.stamp.clear();  // held by another program: tried again in a second
        m.problem = "The maps of " + MonthName(month) + " cannot be read: " + e.what() + ".";
    } catch (const std::bad_alloc&) {
        m.problem = "The maps of " + MonthName(month) + " cannot be read: there is not enough memory for them.";
    }
    return m;
}

void ScreenView::Rebuild(bool force) {
    const LocalDate today = HistoryDay(calendar_.Today());
    const std::string thisMonth = HistoryDate(today).substr(0, 7), lastMonth = MonthBefore(today);
    try {
        listed_ = source_.Months();
    } catch (const FileError&) {
        // The folder cannot be listed now: the files as listed before.
    }
    const std::vector<std::string> namesBefore = periodNames_;
    UpdatePeriods(thisMonth, lastMonth);
    if (periodNames_ != namesBefore) force = true;
    const std::string chosen = ChosenMonth();
    const Arrangement& current = app_.screen.arrangement;
    const std::map<std::string, ScreenMaps> unsaved = UnsavedNow(app_.screen);

    std::string notice;
    // A month's maps: its files, what the saves still owe them, what the run counted since.
    const auto mapsOf = [&](const std::string& month) {
        const Month& files = Files(month);
        if (!files.problem.empty()) notice += (notice.empty() ? "" : " ") + files.problem;
        ScreenMaps maps = files.maps;
        if (const auto owed = app_.screenStore.owed.find(month); owed != app_.screenStore.owed.end())
            AddMaps(maps, owed->second);
        if (const auto run = unsaved.find(month); run != unsaved.end()) AddMaps(maps, run->second);
        return maps;
    };
    ArrangementMap shown;
    bool others = false;
    if (!chosen.empty()) {
        ScreenMaps maps = mapsOf(chosen);
        const int pick = PickArrangement(maps, current);
        for (size_t i = 0; i < maps.size(); ++i)
            if (static_cast<int>(i) != pick && !maps[i].IsEmpty()) others = true;
        if (pick >= 0) shown = std::move(maps[static_cast<size_t>(pick)]);
        if (others)
            notice += (notice.empty() ? "" : " ") + PeriodName() + " also has maps of another arrangement of monitors.";
    } else {
        // All time: every month's maps of the monitors as they are now. The
        // files' sum is made again only when a file or the monitors changed.
        std::string key;
        for (const Monitor& m : current.monitors)
            key += std::to_string(m.left) + "," + std::to_string(m.top) + "," + std::to_string(m.right) + "," +
                   std::to_string(m.bottom) + ";";
        for (const auto& [month, stamp] : listed_) key += month + ":" + stamp + ";";
        if (key != allTime_.key) {
            allTime_ = AllTime{};
            bool readable = true;
            for (const auto& [month, stamp] : listed_) {
                const Month& files = Files(month);
                readable = readable && !files.stamp.empty();
                if (!files.problem.empty()) allTime_.problems += (allTime_.problems.empty() ? "" : " ") + files.problem;
                AddCurrent(allTime_.files, allTime_.others, files.maps, current);
            }
            if (readable) allTime_.key = key;  // a file held by another program is read again in a second
        }
        notice = allTime_.problems;
        ScreenMaps sum = allTime_.files;
        others = allTime_.others;
        for (const auto& [month, maps] : app_.screenStore.owed) AddCurrent(sum, others, maps, current);
        for (const auto& [month, maps] : unsaved) AddCurrent(sum, others, maps, current);
        if (!sum.empty()) shown = std::move(sum[0]);
        if (others)
            notice += std::string(notice.empty() ? "" : " ") + "Maps of other arrangements of monitors are left out.";
    }
    if (shown.arrangement.monitors.empty()) shown.arrangement = current;
    shown.travelPixels.resize(shown.arrangement.monitors.size());
    // A tick without news changes nothing on screen.
    if (!force && shown == shown_ && notice == notice_) return;
    const bool sameMonitors = shown.arrangement.monitors == shown_.arrangement.monitors;
    shown_ = std::move(shown);
    notice_ = std::move(notice);
    counts_ = CountsOf(shown_, what_);
    picture_ = DrawScreen(counts_);
    if (!sameMonitors) {
        pointed_ = {};
        const int w = width_;
        width_ = -1;  // laid out again for the new monitors
        SetArea(w, height_, margin_, legendHeight_);
    } else {
        FitImages();
    }
    view_.RedrawScreen();
    ShowDetail();
}

void ScreenView::ShowDetail() {
    const std::vector<Monitor>& monitors = counts_.arrangement.monitors;
    std::string text;
    if (pointed_.monitor >= 0 && pointed_.cell >= 0 && static_cast<size_t>(pointed_.monitor) < monitors.size()) {
        const Monitor& m = monitors[static_cast<size_t>(pointed_.monitor)];
        const size_t cell = static_cast<size_t>(pointed_.cell);
        const uint32_t count = cell < counts_.cells.size() ? counts_.cells[cell] : 0;
        const MonitorMeters meters = MetersOf(m, counts_.travelPixels[static_cast<size_t>(pointed_.monitor)]);
        text = MonitorName(static_cast<size_t>(pointed_.monitor)) + " (" + std::to_string(m.Width()) + " \xC3\x97 " +
               std::to_string(m.Height()) + "), at " + std::to_string(pointed_.at.x) + ", " +
               std::to_string(pointed_.at.y) + ": " + CountPhrase(what_, count, numbers_) + "; the cursor went " +
               numbers_.Format(meters.meters, 1) + " m on it" +
               (meters.measured ? ", measured from the monitor's size" : " (size not known: 3500 pixels a meter)");
    } else {
        // The period's total, then each monitor's travel; the monitors that do
        // not tell their size are said to be measured otherwise.
        text = PeriodName() + ": " + CountPhrase(what_, counts_.total, numbers_);
        for (size_t i = 0; i < monitors.size(); ++i) {
            const MonitorMeters meters = MetersOf(monitors[i], counts_.travelPixels[i]);
            text += "; " + MonitorName(i) + ": " + numbers_.Format(meters.meters, 1) + " m" +
                    (meters.measured ? "" : " (size not known: 3500 pixels a meter)");
        }
        if (!notice_.empty()) text = notice_ + " " + text;
    }
    if (text == detail_) return;
    detail_ = text;
    view_.SetScreenDetailText(text);
}

}  // namespace qm::ui

#include "app/app_state.h"

#include <cstdio>

#include "app/debug_log.h"
#include "core/stat_file.h"
#include "core/text.h"

namespace qm {

std::string ProgramFilePath(const Platform& platform, const char* fileName) {
    return AddBackslash(FolderOfPath(platform.programPath)) + fileName;
}

std::string StatFilePath(const Platform& platform) { return ProgramFilePath(platform, "stat.dat"); }
std::string HistoryFilePath(const Platform& platform) { return ProgramFilePath(platform, "history.csv"); }

namespace {

void LogQuietly(Platform& platform, const std::string& message) {
    try {
        WriteDebugLog(platform, message);
    } catch (const std::exception&) {
        // Nowhere left to report it; counting and saving go on.
    }
}

// A name beside history.csv that no file has yet, from the local time.
std::string DamagedHistoryName(Platform& platform) {
    const LocalDateTime now = platform.calendar.Now();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", now.date.year, now.date.month, now.date.day,
                  now.hour, now.minute, now.second);
    std::string name = std::string("history-damaged-") + stamp + ".csv";
    for (int n = 2; platform.files.Exists(ProgramFilePath(platform, name.c_str())); ++n)
        name = std::string("history-damaged-") + stamp + "-" + std::to_string(n) + ".csv";
    return name;
}

}  // namespace

void WriteProgramHistory(AppState& app, Platform& platform) {
    HistoryBacklog& backlog = app.history;
    if (backlog.owed.empty()) return;
    const std::string path = HistoryFilePath(platform);
    try {
        std::string text;
        if (platform.files.Exists(path)) {
            try {
                text = HistoryWithAdded(platform.files.ReadAll(path), backlog.owed);
            } catch (const HistoryFormatError& e) {
                // Moved aside in one step, untouched, for the user to look at; the
                // history starts anew rather than stopping for good.
                const std::string name = DamagedHistoryName(platform);
                platform.files.Replace(path, ProgramFilePath(platform, name.c_str()));
                LogQuietly(platform, "history.csv is damaged (" + std::string(e.what()) + "); it is kept as " + name +
                                         " and a new history.csv starts");
            }
        }
        if (text.empty()) text = HistoryWithAdded(HistoryText({}), backlog.owed);
        WriteFileAtomically(platform.files, path, text);
        backlog.owed.clear();
        backlog.lastFailure.clear();
    } catch (const std::exception& e) {
        if (backlog.lastFailure != e.what()) {
            backlog.lastFailure = e.what();
            LogQuietly(platform, "Writing history.csv failed: " + backlog.lastFailure);
        }
    }
}

void SaveProgramStatistics(AppState& app, Platform& platform) {
    // What this save merges, taken before the merge changes SavedStat: what
    // was counted, whatever the all-time figures can hold.
    const DayFigures unsaved = UnsavedFigures(app.stats);
    const StatRecord savedBefore = app.stats.SavedStat;
    std::vector<CappedField> capped;
    try {
        capped = SaveStatistics(app.stats, platform.files, StatFilePath(platform));
    } catch (...) {
        // Merged but not written: CommonStat holds these figures now and the
        // next save that writes stat.dat brings them to the history.
        if (!(app.stats.SavedStat == savedBefore)) app.history.merged += unsaved;
        throw;
    }
    // A file that already held the limit when it was loaded is no news.
    if (!app.capNoticeGiven)
        for (const CappedField& c : capped)
            if (!c.wasAlreadyThere) app.capNoticeOwed.push_back(c);
    DayFigures saved = app.history.merged;
    saved += unsaved;
    app.history.merged = {};
    if (!saved.IsZero()) app.history.owed[HistoryDate(platform.calendar.Today())] += saved;
    WriteProgramHistory(app, platform);
}

namespace {
const char* FigureName(StatField field) {
    switch (field) {
        case StatField::MousePixels: return "Covered pixels on display";
        case StatField::KeysPressed: return "Keys pressed";
        case StatField::LettersTyped: return "Letters typed (the base of the typing speed)";
        case StatField::MouseClicks: return "Mouse clicks";
        case StatField::PassedSeconds: return "Passed Time";
    }
    return "";
}
}  // namespace

std::string CapNoticeText(const std::vector<CappedField>& capped) {
    std::string text;
    for (const CappedField& c : capped) {
        text += std::string("The all-time figure \"") + FigureName(c.field) + "\" has reached " +
                (c.atMaximum ? "2147483647, the most" : "-2147483648, the least") + " that stat.dat can hold. ";
    }
    text += capped.size() > 1 ? "These figures stay there" : "It stays there";
    text += "; every other figure goes on counting and is saved as usual.\n\n"
            "To start the all-time figures anew, choose \"Reset common statistics\" in the File menu.";
    return text;
}

void ResetCurrentStatistics(AppState& app, Platform& platform) {
    SaveProgramStatistics(app, platform);
    ClearStatistics(app.stats.SavedStat, platform.calendar);
    ClearStatistics(app.stats.CurrentStat, platform.calendar);
    app.runClock.Restart(platform.clock);
}

void ResetCommonStatistics(AppState& app, Platform& platform) {
    // All or nothing: a reset whose save fails leaves the figures as they were.
    // The unsaved part goes back to being unsaved, so the history must not
    // hold it as merged either: the next save counts it once.
    const StatRecord common = app.stats.CommonStat, saved = app.stats.SavedStat;
    const DayFigures mergedBefore = app.history.merged;
    ClearStatistics(app.stats.CommonStat, platform.calendar);
    try {
        SaveProgramStatistics(app, platform);
    } catch (...) {
        app.stats.CommonStat = common;
        app.stats.SavedStat = saved;
        app.history.merged = mergedBefore;
        throw;
    }
}

void LoadProgramStatistics(AppState& app, Platform& platform) {
    LoadStatistics(app.stats, platform.files, StatFilePath(platform), platform.calendar,
                   [&](bool flag) { SetAutorun(flag, platform.registry, platform.programPath); });
}

}  // namespace qm

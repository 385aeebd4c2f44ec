#include "app/app_state.h"

#include "core/stat_file.h"
#include "core/text.h"

namespace qm {

std::string ProgramFilePath(const Platform& platform, const char* fileName) {
    return AddBackslash(FolderOfPath(platform.programPath)) + fileName;
}

std::string StatFilePath(const Platform& platform) { return ProgramFilePath(platform, "stat.dat"); }

void SaveProgramStatistics(AppState& app, Platform& platform) {
    const std::vector<CappedField> capped = SaveStatistics(app.stats, platform.files, StatFilePath(platform));
    if (app.capNoticeGiven) return;
    // A file that already held the limit when it was loaded is no news.
    for (const CappedField& c : capped)
        if (!c.wasAlreadyThere) app.capNoticeOwed.push_back(c);
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
    const StatRecord common = app.stats.CommonStat, saved = app.stats.SavedStat;
    ClearStatistics(app.stats.CommonStat, platform.calendar);
    try {
        SaveProgramStatistics(app, platform);
    } catch (...) {
        app.stats.CommonStat = common;
        app.stats.SavedStat = saved;
        throw;
    }
}

void LoadProgramStatistics(AppState& app, Platform& platform) {
    LoadStatistics(app.stats, platform.files, StatFilePath(platform), platform.calendar,
                   [&](bool flag) { SetAutorun(flag, platform.registry, platform.programPath); });
}

}  // namespace qm

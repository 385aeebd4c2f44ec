#include "app/app_state.h"

#include "core/stat_file.h"
#include "core/text.h"

namespace qm {

std::string ProgramFilePath(const Platform& platform, const char* fileName) {
    return AddBackslash(FolderOfPath(platform.programPath)) + fileName;
}

std::string StatFilePath(const Platform& platform) { return ProgramFilePath(platform, "stat.dat"); }

void SaveProgramStatistics(AppState& app, Platform& platform) {
    SaveStatistics(app.stats, platform.files, StatFilePath(platform));
}

void ResetCurrentStatistics(AppState& app, Platform& platform) {
    SaveProgramStatistics(app, platform);
    ClearStatistics(app.stats.SavedStat, platform.calendar);
    ClearStatistics(app.stats.CurrentStat, platform.calendar);
    app.runClock.Restart(platform.clock);
}

void ResetCommonStatistics(AppState& app, Platform& platform) {
    ClearStatistics(app.stats.CommonStat, platform.calendar);
    SaveProgramStatistics(app, platform);
}

void LoadProgramStatistics(AppState& app, Platform& platform) {
    LoadStatistics(app.stats, platform.files, StatFilePath(platform), platform.calendar,
                   [&](bool flag) { SetAutorun(flag, platform.registry, platform.programPath); });
}

}  // namespace qm

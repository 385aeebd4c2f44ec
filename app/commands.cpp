#include "app/commands.h"

#include "app/save.h"

namespace qm {

void FollowWindowsStartupSwitch(AppState& app, const AutorunPlace& autorun) {
    if (app.stats.AutorunEnabled && AutorunDisabledByWindows(autorun.registry, autorun.paths, autorun.programPath))
        app.stats.AutorunEnabled = false;
}

AutorunResult ChangeAutorun(AppState& app, bool on, const AutorunPlace& autorun) {
    app.stats.AutorunEnabled = on;
    AutorunResult result = SetAutorun(on, autorun.registry, autorun.paths, autorun.programPath);
    if (result.outcome == AutorunOutcome::MachineValueRemains) app.stats.AutorunEnabled = true;
    return result;
}

std::optional<std::string> TakeCapNotice(AppState& app) {
    if (app.capNoticeOwed.empty() || app.capNoticeGiven) return std::nullopt;
    // Given before anyone shows it: the periodic save goes on inside a message box's loop.
    app.capNoticeGiven = true;
    std::string text = CapNoticeText(app.capNoticeOwed);
    app.capNoticeOwed.clear();
    return text;
}

}  // namespace qm

// What the user's commands change in the program's state. The windows call
// these and read AppState; they do not write it themselves.
#pragma once

#include <optional>
#include <string>

#include "app/app_state.h"
#include "app/autorun.h"
#include "app/services.h"

namespace qm {

// Windows' own Startup switch wins: with this copy's Run values switched off
// there (Task Manager, Settings), "Run at start" is off. Line 9 of stat.dat
// follows at the next save.
void FollowWindowsStartupSwitch(AppState& app, const AutorunPlace& autorun);

// "Run at start" turned on or off. When clearing leaves an administrator's
// value behind, the flag stays set: Windows still starts the program.
AutorunResult ChangeAutorun(AppState& app, bool on, const AutorunPlace& autorun);

// The notice about all-time figures held at a limit of the file, once a run:
// the text when one is owed and has not been given, marked as given.
std::optional<std::string> TakeCapNotice(AppState& app);

}  // namespace qm

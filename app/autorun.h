// Registration to start with Windows: one REG_SZ value under a Run key, and
// Windows' own Startup switch for it.
#pragma once

#include <string>

#include "core/identity.h"
#include "core/platform/path_names.h"
#include "core/platform/registry.h"

namespace qm {

inline constexpr const char* kRunSubkey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kRunValueName = QM_TITLE;
inline constexpr const char* kStartHiddenSwitch = "/" QM_HIDDEN_SWITCH;

// The command the Run value holds: the program folder with a backslash, the
// program's name with ".exe", then " /hiden". A path with a blank is put in
// quotation marks, so that Windows cannot start C:\Program.exe instead.
std::string AutorunCommand(const std::string& programPath);

// The program a Run value's command starts, quoted or not (earlier versions
// wrote paths with blanks unquoted), without the start-hidden switch.
std::string ProgramOfCommand(const std::string& command);

// Whether the two paths name one file: equal names, or one file once links,
// substitute drives and short names are resolved.
bool SameFile(PathNames& names, const std::string& a, const std::string& b);

// Whether the folder lies in a user profile: in this user's profile folder or
// anywhere under the folder of all profiles, however either is spelled.
bool InUserProfile(PathNames& names, const std::string& folder);

// Whether Windows will not start this copy although it is registered: it
// has a Run value, and Windows' own Startup switch (Task Manager, and
// Settings, Apps, Startup, since Windows 8) has every one of them off.
// Windows' switch wins: the program then treats "Run at start" as off.
bool AutorunDisabledByWindows(Registry& registry, PathNames& names, const std::string& programPath);

enum class AutorunOutcome {
    Done,
    // Clearing could not delete this copy's value under HKEY_LOCAL_MACHINE
    // (an administrator's, which a standard user may not remove): the
    // program still starts with Windows.
    MachineValueRemains,
    // Set, while a value under HKEY_LOCAL_MACHINE starts another copy for
    // every user: that value stays, and both copies start at logon.
    OtherCopyStartsToo,
};

struct AutorunResult {
    AutorunOutcome outcome = AutorunOutcome::Done;
    std::string otherCopyFolder;  // for OtherCopyStartsToo
};

// Writes this copy's Run value when the flag is set and deletes it when the
// flag is clear. A copy inside a user profile belongs to that user and is
// registered under HKEY_CURRENT_USER only, even by an administrator; a copy
// elsewhere under HKEY_LOCAL_MACHINE where the user may write there, and
// under HKEY_CURRENT_USER otherwise. Values that start another copy are
// never deleted or overwritten, except this user's own value, which this
// copy's replaces: one value per logon starts one copy. Setting switches
// this copy's value on in Windows' Startup switch too, where it is off
// there (only the entry of the value that now starts it; other programs'
// entries stay as they are). Failures of single registry calls are silent.
AutorunResult SetAutorun(bool flag, Registry& registry, PathNames& names, const std::string& programPath);

}  // namespace qm

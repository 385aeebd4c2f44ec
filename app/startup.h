// Start-up: refuse a second copy, start the run clock, make sure stat.dat
// exists, load it, show the main window and start the sampler.
#pragma once

#include <string>

#include "app/app_state.h"
#include "app/services.h"
#include "app/single_copy.h"

namespace qm {

enum class MessageIcon { Information, Question, Error };

// What start-up needs of the system and of the main window.
class StartupHost {
public:
    virtual ~StartupHost() = default;
    // The locks that keep one copy per session and per stat.dat.
    virtual CopyLocks& Locks() = 0;
    virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
    virtual void InitCommonControls() = 0;
    // Creates, loads and shows the main window; its timers start with it.
    virtual void ShowMainWindow() = 0;
    // The 60 ms sampler timer on the main window.
    virtual void StartSampler() = 0;
};

inline constexpr const char* kPrevInstanceLogText = "PrevInstance detected";
inline constexpr const char* kSameStatFileLogText =
    "PrevInstance detected: a copy in another session or on another computer uses this stat.dat";
inline constexpr const char* kLockFileHeldLogText =
    "PrevInstance detected: another program still holds stat.dat.lock of a copy that has ended";
inline constexpr const char* kPrevInstanceMessage =
    "\xD0\x9A\xD0\xBE\xD0\xBF\xD0\xB8\xD1\x8F \xD0\xBF\xD1\x80\xD0\xBE\xD0\xB3\xD1\x80\xD0\xB0\xD0\xBC\xD0\xBC\xD1"
    "\x8B \xD1\x83\xD0\xB6\xD0\xB5 \xD0\xB7\xD0\xB0\xD0\xBF\xD1\x83\xD1\x89\xD0\xB5\xD0\xBD\xD0\xB0";  // "Копия программы уже запущена"

enum class StartResult { Running, Refused, Failed };

// The error shown when the lock file cannot be made in the program folder.
std::string NoLockFileText(const std::string& folder, const std::string& reason);

// Main: on Running the message loop takes over; otherwise the program ends.
// A folder where the lock file cannot be made is reported with the reason,
// and nothing in it is touched.
// A stat.dat that cannot be looked at, created or read is reported with its
// path, line and fault, and left exactly as it was. A temporary file left
// beside it by an earlier save is removed once it has loaded.
StartResult Main(AppState& app, Platform& platform, StartupHost& host);

}  // namespace qm

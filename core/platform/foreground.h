// The window in front, as the tick credits what it counts to a program.
#pragma once

#include <cstdint>
#include <string>

namespace qm {

struct ForegroundWindow {
    uintptr_t window = 0;  // 0: no window in front
    uint32_t process = 0;  // the process the window belongs to

    bool operator==(const ForegroundWindow&) const = default;
};

// A process's executable: its file name in lower case (notepad.exe) and
// the description its version resource gives (empty where it has none).
struct ProgramName {
    std::string program;  // empty when the process cannot be named
    std::string name;
};

class Foreground {
public:
    virtual ~Foreground() = default;
    // One cheap call, made only on a tick that counted something.
    virtual ForegroundWindow Window() = 0;
    // The executable of that window's process, looked up only when the
    // window in front has changed.
    virtual ProgramName NameOf(const ForegroundWindow& window) = 0;
};

}  // namespace qm

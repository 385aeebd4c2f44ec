// The window in front and its program over Win32, and the icons of
// programs for the Programs tab.
#pragma once

#include <map>
#include <string>

#include "core/platform/foreground.h"
#include "win32/handles.h"

namespace qm::win32 {

class Win32Foreground : public Foreground {
public:
    ForegroundWindow Window() override;  // GetForegroundWindow, GetWindowThreadProcessId
    // QueryFullProcessImageNameW, and the FileDescription of its version
    // resource. Remembers the executable's path for its icon (in memory only).
    ProgramName NameOf(const ForegroundWindow& window) override;

    // Where the executable of `program` (a file name in lower case) is: the
    // one seen in front in this run, else the one registered under App Paths
    // or found on the search path; empty when none is there any more.
    std::wstring PathOf(const std::string& program) const;

private:
    std::map<std::string, std::wstring> seen_;  // by program
};

// The small icon (of `size` pixels) of the executable at `path`; none when it has none.
UniqueIcon ProgramIcon(const std::wstring& path, int size);

}  // namespace qm::win32

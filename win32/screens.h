// The monitors over Win32, with the size of each one's picture from its EDID.
#pragma once

#include <vector>

#include "core/platform/screens.h"

namespace qm::win32 {

class Win32Screens : public Screens {
public:
    // EnumDisplayMonitors (the program is per-monitor DPI aware: physical
    // pixels), the main monitor first, then the others in the system's order.
    // When the system lists none: the main screen's rectangle alone.
    std::vector<Monitor> Monitors() override;
};

}  // namespace qm::win32

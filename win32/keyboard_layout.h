// The active keyboard layout over Win32.
#pragma once

#include <string>

#include "core/platform/keyboard_layout.h"

namespace qm::win32 {

// The layout of the calling thread, asked anew each call: the user may
// switch layouts while the History window is open.
class Win32KeyboardLayout : public KeyboardLayout {
public:
    int CodeAt(int scanCode) const override;        // MapVirtualKeyEx, scan code to key code
    std::string CapLabel(int code) const override;  // the unshifted character, upper case
    bool HasIsoKey() const override;
};

}  // namespace qm::win32

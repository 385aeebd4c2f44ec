// The user's active keyboard layout, as the Keys tab draws the keyboard.
#pragma once

#include <string>

namespace qm {

class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;
    // The key code the typing key at a place of the keyboard sends, the
    // place given by its scan code (set 1, not extended); 0 when the layout
    // has no key there. A French layout sends A (0x41) from the place of
    // the US Q (0x10), a German one Z (0x5A) from that of the US Y.
    virtual int CodeAt(int scanCode) const = 0;
    // The key as the layout names it on its cap (UTF-8): the character it
    // types, upper case; empty when it types none.
    virtual std::string CapLabel(int code) const = 0;
    // Whether the layout has the key between Left Shift and Z that ISO
    // keyboards have and ANSI ones do not.
    virtual bool HasIsoKey() const = 0;
};

}  // namespace qm

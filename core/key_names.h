// Fixed English names of the virtual-key codes, whatever the keyboard layout:
// what the month files of keys write beside each code.
#pragma once

#include <string>

namespace qm {

// "A", "Space", "Left Shift", "Numpad 5", "Middle button", "Browser Back";
// a code without a name of its own is "Key 0xE9".
std::string KeyName(int code);

}  // namespace qm

#include "core/key_names.h"

#include <cstdio>

namespace qm {

namespace {

// Names by code; empty where a code has none.
const char* const kNames[256] = {
    // 0x00
    "", "Left button", "Right button", "Cancel", "Middle button", "Back button", "Forward button", "",
    "Backspace", "Tab", "", "", "Clear", "Enter", "", "",
    // 0x10
    "Shift", "Ctrl", "Alt", "Pause", "Caps Lock", "IME Kana", "IME On", "IME Junja",
    "IME Final", "IME Kanji", "IME Off", "Esc", "IME Convert", "IME Nonconvert", "IME Accept", "IME Mode Change",
    // 0x20
    "Space", "Page Up", "Page Down", "End", "Home", "Left", "Up", "Right",
    "Down", "Select", "Print", "Execute", "Print Screen", "Insert", "Delete", "Help",
    // 0x30: digits, 0x41: letters (filled in below)
    "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
    "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
    "", "", "", "", "", "", "", "", "", "", "", "Left Windows", "Right Windows", "Menu", "", "Sleep",
    // 0x60
    "Numpad 0", "Numpad 1", "Numpad 2", "Numpad 3", "Numpad 4", "Numpad 5", "Numpad 6", "Numpad 7",
    "Numpad 8", "Numpad 9", "Numpad *", "Numpad +", "Numpad Separator", "Numpad -", "Numpad .", "Numpad /",
    // 0x70: F1-F24 (filled in below)
    "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
    "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
    // 0x90
    "Num Lock", "Scroll Lock", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
    // 0xA0
    "Left Shift", "Right Shift", "Left Ctrl", "Right Ctrl", "Left Alt", "Right Alt", "Browser Back",
    "Browser Forward", "Browser Refresh", "Browser Stop", "Browser Search", "Browser Favorites", "Browser Home",
    "Volume Mute", "Volume Down", "Volume Up",
    // 0xB0
    "Media Next Track", "Media Previous Track", "Media Stop", "Media Play/Pause", "Launch Mail",
    "Launch Media Select", "Launch App 1", "Launch App 2", "", "", "; :", "= +", ", <", "- _", ". >", "/ ?",
    // 0xC0
    "` ~", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
    "", "", "", "", "", "", "", "", "", "", "", "[ {", "\\ |", "] }", "' \"", "OEM 8",
    // 0xE0
    "", "", "< > (ISO)", "", "", "IME Process", "", "Packet", "", "", "", "", "", "", "", "",
    "", "", "", "", "", "", "Attn", "CrSel", "ExSel", "Erase EOF", "Play", "Zoom", "", "PA1", "OEM Clear", "",
};

}  // namespace

std::string KeyName(int code) {
    if (code >= '0' && code <= '9') return std::string(1, static_cast<char>(code));
    if (code >= 'A' && code <= 'Z') return std::string(1, static_cast<char>(code));
    if (code >= 0x70 && code <= 0x87) return "F" + std::to_string(code - 0x70 + 1);
    if (code >= 0 && code < 256 && kNames[code][0] != '\0') return kNames[code];
    char text[16];
    std::snprintf(text, sizeof text, "Key 0x%02X", static_cast<unsigned>(code) & 0xFFu);
    return text;
}

}  // namespace qm

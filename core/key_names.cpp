#include "core/key_names.h"

#include <cstdio>

namespace qm {

namespace {

std::string Hex(int code) {
    char text[16];
    std::snprintf(text, sizeof text, "Key 0x%02X", code & 0xFF);
    return text;
}

}  // namespace

std::string KeyName(int code) {
    if (code < 0 || code > 255) return Hex(code);
    if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) return std::string(1, static_cast<char>(code));
    if (code >= 0x60 && code <= 0x69) return "Numpad " + std::to_string(code - 0x60);
    if (code >= 0x70 && code <= 0x87) return "F" + std::to_string(code - 0x6F);
    switch (code) {
        case 0x01: return "Left button";
        case 0x02: return "Right button";
        case 0x03: return "Break";
        case 0x04: return "Middle button";
        case 0x05: return "Back button (X1)";
        case 0x06: return "Forward button (X2)";
        case 0x08: return "Backspace";
        case 0x09: return "Tab";
        case 0x0C: return "Clear";
        case 0x0D: return "Enter";
        case 0x10: return "Shift";
        case 0x11: return "Ctrl";
        case 0x12: return "Alt";
        case 0x13: return "Pause";
        case 0x14: return "Caps Lock";
        case 0x15: return "IME Kana/Hangul";
        case 0x16: return "IME On";
        case 0x17: return "IME Junja";
        case 0x18: return "IME Final";
        case 0x19: return "IME Hanja/Kanji";
        case 0x1A: return "IME Off";
        case 0x1B: return "Esc";
        case 0x1C: return "IME Convert";
        case 0x1D: return "IME Nonconvert";
        case 0x1E: return "IME Accept";
        case 0x1F: return "IME Mode Change";
        case 0x20: return "Space";
        case 0x21: return "Page Up";
        case 0x22: return "Page Down";
        case 0x23: return "End";
        case 0x24: return "Home";
        case 0x25: return "Left arrow";
        case 0x26: return "Up arrow";
        case 0x27: return "Right arrow";
        case 0x28: return "Down arrow";
        case 0x29: return "Select";
        case 0x2A: return "Print";
        case 0x2B: return "Execute";
        case 0x2C: return "Print Screen";
        case 0x2D: return "Insert";
        case 0x2E: return "Delete";
        case 0x2F: return "Help";
        case 0x5B: return "Left Win";
        case 0x5C: return "Right Win";
        case 0x5D: return "Menu";
        case 0x5F: return "Sleep";
        case 0x6A: return "Numpad *";
        case 0x6B: return "Numpad +";
        case 0x6C: return "Numpad Separator";
        case 0x6D: return "Numpad -";
        case 0x6E: return "Numpad .";
        case 0x6F: return "Numpad /";
        case 0x90: return "Num Lock";
        case 0x91: return "Scroll Lock";
        case 0xA0: return "Left Shift";
        case 0xA1: return "Right Shift";
        case 0xA2: return "Left Ctrl";
        case 0xA3: return "Right Ctrl";
        case 0xA4: return "Left Alt";
        case 0xA5: return "Right Alt";
        case 0xA6: return "Browser Back";
        case 0xA7: return "Browser Forward";
        case 0xA8: return "Browser Refresh";
        case 0xA9: return "Browser Stop";
        case 0xAA: return "Browser Search";
        case 0xAB: return "Browser Favorites";
        case 0xAC: return "Browser Home";
        case 0xAD: return "Volume Mute";
        case 0xAE: return "Volume Down";
        case 0xAF: return "Volume Up";
        case 0xB0: return "Media Next Track";
        case 0xB1: return "Media Previous Track";
        case 0xB2: return "Media Stop";
        case 0xB3: return "Media Play/Pause";
        case 0xB4: return "Launch Mail";
        case 0xB5: return "Launch Media";
        case 0xB6: return "Launch App 1";
        case 0xB7: return "Launch App 2";
        case 0xBA: return "OEM 1 (; :)";
        case 0xBB: return "OEM Plus (= +)";
        case 0xBC: return "OEM Comma (, <)";
        case 0xBD: return "OEM Minus (- _)";
        case 0xBE: return "OEM Period (. >)";
        case 0xBF: return "OEM 2 (/ ?)";
        case 0xC0: return "OEM 3 (` ~)";
        case 0xDB: return "OEM 4 ([ {)";
        case 0xDC: return "OEM 5 (\\ |)";
        case 0xDD: return "OEM 6 (] })";
        case 0xDE: return "OEM 7 (' \")";
        case 0xDF: return "OEM 8";
        case 0xE2: return "OEM 102 (< >)";
        case 0xE5: return "IME Process";
        case 0xE7: return "Packet";
        case 0xF6: return "Attn";
        case 0xF7: return "CrSel";
        case 0xF8: return "ExSel";
        case 0xF9: return "Erase EOF";
        case 0xFA: return "Play";
        case 0xFB: return "Zoom";
        case 0xFD: return "PA1";
        case 0xFE: return "OEM Clear";
    }
    return Hex(code);
}

}  // namespace qm

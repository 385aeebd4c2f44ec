#include "win32/keyboard_layout.h"

#include <windows.h>

#include "win32/wide.h"

namespace qm::win32 {

namespace {

HKL Layout() { return GetKeyboardLayout(0); }

// The character a key types without Shift, upper case; 0 for none. A dead
// key (an accent that waits for the next letter) has the top bit set.
wchar_t CharOf(UINT code, HKL layout) {
    const UINT mapped = MapVirtualKeyExW(code, MAPVK_VK_TO_CHAR, layout) & 0x7FFFFFFF;
    wchar_t c = static_cast<wchar_t>(mapped & 0xFFFF);
    if (c <= L' ') return 0;  // Enter, Tab, Backspace, Esc, Space
    wchar_t text[2] = {c, 0};
    CharUpperBuffW(text, 1);
    return text[0];
}

}  // namespace

int Win32KeyboardLayout::CodeAt(int scanCode) const {
    return static_cast<int>(MapVirtualKeyExW(static_cast<UINT>(scanCode), MAPVK_VSC_TO_VK, Layout()));
}

std::string Win32KeyboardLayout::CapLabel(int code) const {
    const HKL layout = Layout();
    if (const wchar_t c = CharOf(static_cast<UINT>(code), layout)) return Narrow(std::wstring_view(&c, 1));
    const UINT scan = MapVirtualKeyExW(static_cast<UINT>(code), MAPVK_VK_TO_VSC, layout);
    if (scan == 0) return {};
    wchar_t name[64] = {};
    const int length = GetKeyNameTextW(static_cast<LONG>(scan << 16), name, 64);
    return length > 0 ? Narrow(std::wstring_view(name, static_cast<size_t>(length))) : std::string();
}

// Whether the place between Left Shift and Z (scan 0x56) types something of its
// own. Layouts for ANSI keyboards map it too, to a second backslash: the
// character of the place above Enter (scan 0x2B) tells the two apart.
bool Win32KeyboardLayout::HasIsoKey() const {
    const HKL layout = Layout();
    const UINT extra = MapVirtualKeyExW(0x56, MAPVK_VSC_TO_VK, layout);
    if (extra == 0) return false;
    const wchar_t c = CharOf(extra, layout);
    return c != 0 && c != CharOf(MapVirtualKeyExW(0x2B, MAPVK_VSC_TO_VK, layout), layout);
}

}  // namespace qm::win32

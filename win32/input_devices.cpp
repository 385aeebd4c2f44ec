#include "win32/input_devices.h"

#include <windows.h>

namespace qm::win32 {

uint16_t Win32Input::GetAsyncKeyState(int virtualKey) {
    return static_cast<uint16_t>(::GetAsyncKeyState(virtualKey));
}

std::optional<Point> Win32Input::GetCursorPos() {
    POINT p{};
    if (!::GetCursorPos(&p)) return std::nullopt;
    return Point{p.x, p.y};
}

std::optional<uint32_t> Win32Input::LastInputMs() {
    LASTINPUTINFO info{};
    info.cbSize = sizeof info;
    if (!::GetLastInputInfo(&info)) return std::nullopt;
    return info.dwTime;
}

uint32_t Win32Input::NowMs() { return ::GetTickCount(); }

}  // namespace qm::win32

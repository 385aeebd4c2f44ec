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

}  // namespace qm::win32

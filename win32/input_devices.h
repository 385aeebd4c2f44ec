// The key states and the cursor over Win32.
#pragma once

#include <cstdint>
#include <optional>

#include "core/platform/input_devices.h"

namespace qm::win32 {

class Win32Input : public InputDevices {
public:
    uint16_t GetAsyncKeyState(int virtualKey) override;
    std::optional<Point> GetCursorPos() override;
    std::optional<uint32_t> LastInputMs() override;  // GetLastInputInfo
    uint32_t NowMs() override;                       // GetTickCount, its clock
};

}  // namespace qm::win32

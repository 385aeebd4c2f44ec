// The keyboard's and mouse's state as the sampler polls it.
#pragma once

#include <cstdint>
#include <optional>

namespace qm {

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Point&) const = default;
};

// Key states and the cursor.
class InputDevices {
public:
    virtual ~InputDevices() = default;
    // Bit 0 is set when the key was pressed since the previous query.
    virtual uint16_t GetAsyncKeyState(int virtualKey) = 0;
    // The cursor in screen pixels; nothing when it cannot be read (a locked
    // workstation, a secure desktop).
    virtual std::optional<Point> GetCursorPos() = 0;
    // When the last keyboard or mouse input reached the session, on the
    // clock of NowMs (milliseconds that wrap every 49.7 days); nothing when
    // that cannot be told.
    virtual std::optional<uint32_t> LastInputMs() = 0;
    virtual uint32_t NowMs() = 0;
};

}  // namespace qm

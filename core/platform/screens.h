// The monitors as the system arranges them on the virtual screen.
#pragma once

#include <cstdint>
#include <vector>

namespace qm {

// One monitor: its rectangle in physical pixels of the virtual screen
// (right and bottom excluded; left and top may be negative) and, where the
// monitor tells it (its EDID), the size of its picture in millimetres.
struct Monitor {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    uint32_t widthMm = 0, heightMm = 0;  // 0: not known

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool SameRect(const Monitor& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator==(const Monitor&) const = default;
};

class Screens {
public:
    virtual ~Screens() = default;
    // Every monitor, the main one first; asked at start-up and when the
    // system says the displays changed, never at a tick.
    virtual std::vector<Monitor> Monitors() = 0;
};

}  // namespace qm

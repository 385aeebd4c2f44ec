#include "ui/layout.h"

#include <algorithm>
#include <cmath>

namespace qm::ui {

int TwipsToPixels(int twips, int dpi) {
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / kTwipsPerInch));
}

const Widget* WindowLayout::Find(int id) const {
    for (const Widget& w : widgets)
        if (w.id == id) return &w;
    return nullptr;
}

const MenuItem* WindowLayout::FindMenu(int id) const {
    for (const MenuItem& m : menu)
        if (m.id == id) return &m;
    return nullptr;
}

PixelBox Anchored(PixelBox r, uint8_t anchors, int dx, int dy) {
    auto follow = [](int& start, int& length, bool first, bool second, int grow) {
        if (first && second)
            length = std::max(0, length + grow);
        else if (second)
            start += grow;
    };
    follow(r.left, r.width, anchors & AnchorLeft, anchors & AnchorRight, dx);
    follow(r.top, r.height, anchors & AnchorTop, anchors & AnchorBottom, dy);
    return r;
}

}  // namespace qm::ui

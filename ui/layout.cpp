#include "ui/layout.h"

#include <cmath>

namespace qm::ui {

int TwipsToPixels(int twips, int dpi) {
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / kTwipsPerInch));
}

const Widget* WindowLayout::Find(const std::string& wanted, int index) const {
    for (const Widget& w : widgets)
        if (w.name == wanted && w.index == index) return &w;
    return nullptr;
}

const MenuItem* WindowLayout::FindMenu(const std::string& wanted) const {
    for (const MenuItem& m : menu)
        if (m.name == wanted) return &m;
    return nullptr;
}

}  // namespace qm::ui

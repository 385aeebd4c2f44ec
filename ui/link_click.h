// When a link box opens its target: once per click or double-click.
#pragma once

namespace qm::ui {

// Windows reports a double-click as press, release, double-click press,
// release. Opening on every release would open the target twice; the second
// release belongs to the same double-click and opens nothing. A press that
// ends outside the link (the user thought better of it) opens nothing either.
class LinkClick {
public:
    // The left button went down over the link; doubleClick for the press
    // that Windows reports as the second of a double-click.
    void Pressed(bool doubleClick) { armed_ = !doubleClick; }
    // The button came up, over the link or not. True: open the target.
    bool Released(bool overLink) {
        const bool open = armed_ && overLink;
        armed_ = false;
        return open;
    }
    // The press ended without a release reaching the link (capture lost).
    void Cancelled() { armed_ = false; }

private:
    bool armed_ = false;
};

}  // namespace qm::ui

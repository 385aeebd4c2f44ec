#include "ui/link_click.h"

#include <gtest/gtest.h>

#include <string>

namespace qm::ui {
namespace {

// Plays the mouse messages a link box receives and counts the opens:
// 'd' press, 'D' the press Windows reports as a double-click, 'u' release
// over the link, 'o' release elsewhere, 'c' capture lost.
int Opens(const std::string& messages) {
    LinkClick link;
    int opens = 0;
    for (char m : messages) {
        if (m == 'd' || m == 'D') link.Pressed(m == 'D');
        if (m == 'u' || m == 'o') opens += link.Released(m == 'u') ? 1 : 0;
        if (m == 'c') link.Cancelled();
    }
    return opens;
}

TEST(LinkClick, OnceForEachClickOrDoubleClick) {
    EXPECT_EQ(Opens("du"), 1);
    EXPECT_EQ(Opens("dudu"), 2);    // two clicks too far apart for a double-click
    EXPECT_EQ(Opens("duDu"), 1);    // a double-click
    EXPECT_EQ(Opens("duDudu"), 2);  // a triple click: Windows makes the third a plain press
    EXPECT_EQ(Opens("duDuduDu"), 2);
}

TEST(LinkClick, NothingWithoutAPressAndReleaseOnTheLink) {
    EXPECT_EQ(Opens("do"), 0);    // pressed on the link, released elsewhere
    EXPECT_EQ(Opens("u"), 0);     // pressed elsewhere, released on the link
    EXPECT_EQ(Opens("dou"), 0);
    EXPECT_EQ(Opens("dcu"), 0);   // capture taken away in between
    EXPECT_EQ(Opens("dodu"), 1);  // a later click still works
}

}  // namespace
}  // namespace qm::ui

// The monitors as the system lists them (under Wine in CI).
#include "win32/screens.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace qm::win32 {
namespace {

TEST(Win32Screens, MainMonitorFirstAndTogetherTheVirtualScreen) {
    const std::vector<Monitor> monitors = Win32Screens().Monitors();
    ASSERT_FALSE(monitors.empty());
    const auto metric = [](int index) { return GetSystemMetrics(index); };
    EXPECT_TRUE(monitors[0].SameRect({0, 0, metric(SM_CXSCREEN), metric(SM_CYSCREEN)}));  // at the origin
    Monitor all = monitors[0];
    for (const Monitor& m : monitors) {
        EXPECT_TRUE(m.Width() > 0 && m.Height() > 0 && (m.widthMm == 0) == (m.heightMm == 0));
        all = {std::min(all.left, m.left), std::min(all.top, m.top), std::max(all.right, m.right),
               std::max(all.bottom, m.bottom)};
    }
    const int x = metric(SM_XVIRTUALSCREEN), y = metric(SM_YVIRTUALSCREEN);
    EXPECT_TRUE(all.SameRect({x, y, x + metric(SM_CXVIRTUALSCREEN), y + metric(SM_CYVIRTUALSCREEN)}));
}

}  // namespace
}  // namespace qm::win32

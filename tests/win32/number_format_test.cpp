// Regional number formats from the real system (run under Wine in CI).
#include "win32/number_format.h"

#include <gtest/gtest.h>

#include <string>

#include "core/display.h"

namespace qm::win32 {
namespace {

TEST(Win32NumberFormat, MetersInUnitedStatesAndGermanFormats) {
    Win32NumberFormat us(L"en-US"), german(L"de-DE");
    EXPECT_EQ(MetersText(4521873, us), "1,291.96");
    EXPECT_EQ(MetersText(1750, us), "0.50");
    EXPECT_EQ(MetersText(0, us), "0.00");
    EXPECT_EQ(MetersText(4521873, german), "1.291,96");
    EXPECT_EQ(MetersText(2147483647, german), "613.566,76");
}

TEST(Win32NumberFormat, DebugLogSecondsWithFiveDecimals) {
    Win32NumberFormat us(L"en-US"), german(L"de-DE");
    EXPECT_EQ(us.Format(1234.56789, 5), "1,234.56789");
    EXPECT_EQ(german.Format(1234.56789, 5), "1.234,56789");
    EXPECT_EQ(us.Format(0.5, 5), "0.50000");
}

TEST(Win32NumberFormat, UserDefaultFormatsTwoDecimals) {
    Win32NumberFormat user;
    std::string text = MetersText(1750, user);
    EXPECT_TRUE(text == "0.50" || text == "0,50") << text;
}

}  // namespace
}  // namespace qm::win32

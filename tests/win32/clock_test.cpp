// The real counter and calendar (run under Wine in CI).
#include "win32/clock.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "input/clock.h"

namespace qm::win32 {
namespace {

TEST(Win32Counter, HiResSecondsMovesForward) {
    Win32Counter counter;
    EXPECT_GT(counter.Frequency(), 0);
    CounterTimeSource clock(counter);
    double a = clock.HiResSeconds();
    Sleep(20);
    double b = clock.HiResSeconds();
    EXPECT_GT(b, a);
    EXPECT_LT(b - a, 5.0);
}

TEST(Win32Calendar, TodayAndNowAreTheLocalDateAndTime) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    LocalDate today = Win32Calendar().Today();
    EXPECT_EQ(today.year, now.wYear);
    EXPECT_EQ(today.month, now.wMonth);
    EXPECT_EQ(today.day, now.wDay);
    LocalDateTime at = Win32Calendar().Now();
    EXPECT_EQ(at.date.year, now.wYear);
    EXPECT_NEAR(at.hour * 3600 + at.minute * 60 + at.second, now.wHour * 3600 + now.wMinute * 60 + now.wSecond, 2);
}

TEST(Win32Calendar, NowTextHoldsTheRegionalDateAndTime) {
    std::string now = Win32Calendar().NowText();
    SYSTEMTIME t;
    GetLocalTime(&t);
    EXPECT_NE(now.find(std::to_string(t.wYear)), std::string::npos) << now;
    EXPECT_NE(now.find(' '), std::string::npos) << now;
    EXPECT_NE(now.find(':'), std::string::npos) << now;
}

}  // namespace
}  // namespace qm::win32

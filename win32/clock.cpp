#include "win32/clock.h"

#include <windows.h>

#include <cstdio>

#include "win32/wide.h"

namespace qm::win32 {

int64_t Win32Counter::Frequency() {
    LARGE_INTEGER value{};
    QueryPerformanceFrequency(&value);
    return value.QuadPart;
}

int64_t Win32Counter::Count() {
    LARGE_INTEGER value{};
    QueryPerformanceCounter(&value);
    return value.QuadPart;
}

LocalDate Win32Calendar::Today() const {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

LocalDateTime Win32Calendar::Now() const {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {{now.wYear, now.wMonth, now.wDay}, now.wHour, now.wMinute, now.wSecond};
}

std::string Win32Calendar::NowText() const {
    wchar_t date[128] = {}, time[128] = {};
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 128, nullptr);
    GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, nullptr, nullptr, time, 128);
    return Narrow(date) + " " + Narrow(time);
}

namespace {
// The regional text of a date; `plain` where the system will not write it (before 1601).
std::string DateText(DWORD flags, int year, int month, int day, const char* plain) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    wchar_t text[128] = {};
    if (GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, flags, &st, nullptr, text, 128, nullptr) == 0) return plain;
    return Narrow(text);
}
}  // namespace

std::string Win32DateFormat::ShortDate(const LocalDate& date) const {
    char plain[32];
    std::snprintf(plain, sizeof plain, "%04d-%02d-%02d", date.year, date.month, date.day);
    return DateText(DATE_SHORTDATE, date.year, date.month, date.day, plain);
}

std::string Win32DateFormat::YearMonth(int year, int month) const {
    char plain[32];
    std::snprintf(plain, sizeof plain, "%04d-%02d", year, month);
    return DateText(DATE_YEARMONTH, year, month, 1, plain);
}

}  // namespace qm::win32

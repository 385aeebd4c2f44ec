#include "win32/clock.h"

#include <windows.h>

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

}  // namespace qm::win32

// The high-resolution counter and the local calendar over Win32.
#pragma once

#include <cstdint>
#include <string>

#include "core/platform/clock.h"
#include "core/platform/date_format.h"

namespace qm::win32 {

class Win32Counter : public Counter {
public:
    int64_t Frequency() override;
    int64_t Count() override;
};

class Win32Calendar : public Calendar {
public:
    LocalDate Today() const override;
    LocalDateTime Now() const override;
    std::string NowText() const override;
};

// Dates as the user's region writes them, read afresh at each call.
class Win32DateFormat : public DateFormat {
public:
    std::string ShortDate(const LocalDate& date) const override;
    std::string YearMonth(int year, int month) const override;
};

}  // namespace qm::win32

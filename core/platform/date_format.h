// Dates as the user's region writes them.
#pragma once

#include <string>

#include "core/platform/clock.h"

namespace qm {

// The user's regional date formats.
class DateFormat {
public:
    virtual ~DateFormat() = default;
    // The regional short date, for example 12/7/2026 (UTF-8).
    virtual std::string ShortDate(const LocalDate& date) const = 0;
    // The regional year and month, for example "December 2026" (UTF-8).
    virtual std::string YearMonth(int year, int month) const = 0;
};

}  // namespace qm

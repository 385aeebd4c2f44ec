// The high-resolution counter and the local calendar over Win32.
#pragma once

#include <cstdint>
#include <string>

#include "core/platform/clock.h"

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

}  // namespace qm::win32

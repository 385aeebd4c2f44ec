// The platform's clocks: the high-resolution counter, seconds read from it,
// and the local calendar.
#pragma once

#include <cstdint>
#include <string>

namespace qm {

// The platform's high-resolution counter.
class Counter {
public:
    virtual ~Counter() = default;
    virtual int64_t Frequency() = 0;  // ticks per second
    virtual int64_t Count() = 0;      // ticks since the counter's origin
};

// Seconds as a double; read afresh at every use.
class TimeSource {
public:
    virtual ~TimeSource() = default;
    virtual double HiResSeconds() = 0;
};

struct LocalDate {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
};

struct LocalDateTime {
    LocalDate date;
    int hour = 0;    // 0..23
    int minute = 0;
    int second = 0;
};

// Today's local date, and the local date and time as regional text.
class Calendar {
public:
    virtual ~Calendar() = default;
    virtual LocalDate Today() const = 0;
    virtual LocalDateTime Now() const = 0;
    // The regional short date, a blank, the regional time (UTF-8).
    virtual std::string NowText() const = 0;
};

}  // namespace qm

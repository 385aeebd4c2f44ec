// The calendar of the figures: local dates in the proleptic Gregorian
// calendar, how the program counts days and months, and the two ways it
// writes a date (stat.dat's MM-DD-YYYY, the history's YYYY-MM-DD).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/platform/clock.h"

namespace qm {

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);  // month 1 to 12

// Days since 1970-01-01, for any year; a day before has a smaller number.
int64_t DayNumber(const LocalDate& date);
// Months since January of year 0.
int64_t MonthNumber(const LocalDate& date);
LocalDate DayBefore(LocalDate date);

// The day under which the history files a date: the history's dates have
// four digits, so a clock beyond 9999-12-31 files there, one before year 1
// under 0001-01-01.
LocalDate HistoryDay(LocalDate date);

// A date as MM-DD-YYYY, for example 03-14-2024 (line 8 of stat.dat).
std::string DateText(const LocalDate& date);

// HistoryDay(date) as YYYY-MM-DD, for example 2024-03-04.
std::string HistoryDate(const LocalDate& date);

// Reads YYYY-MM-DD of a real date of year 1 or later; false for any other text.
bool ReadHistoryDate(std::string_view text, LocalDate& date);

}  // namespace qm

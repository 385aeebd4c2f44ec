#include "core/dates.h"

#include <algorithm>
#include <cstdio>

namespace qm {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

int64_t DayNumber(const LocalDate& date) {
    const int64_t y = int64_t{date.year} - (date.month <= 2);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t dayOfYear = (153 * (date.month > 2 ? date.month - 3 : date.month + 9) + 2) / 5 + date.day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

int64_t MonthNumber(const LocalDate& date) { return int64_t{date.year} * 12 + date.month - 1; }

LocalDate DayBefore(LocalDate date) {
    if (--date.day >= 1) return date;
    if (--date.month < 1) date.month = 12, --date.year;
    date.day = DaysInMonth(date.year, date.month);
    return date;
}

LocalDate HistoryDay(LocalDate date) {
    if (date.year > 9999) return {9999, 12, 31};
    if (date.year < 1) return {1, 1, 1};
    date.month = std::clamp(date.month, 1, 12);
    date.day = std::clamp(date.day, 1, DaysInMonth(date.year, date.month));
    return date;
}

std::string DateText(const LocalDate& date) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d-%02d-%04d", date.month, date.day, date.year);
    return buffer;
}

std::string HistoryDate(const LocalDate& date) {
    const LocalDate d = HistoryDay(date);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buffer;
}

namespace {
bool Digits(std::string_view text, size_t from, size_t count, int& value) {
    value = 0;
    for (size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}
}  // namespace

bool ReadHistoryDate(std::string_view text, LocalDate& date) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    if (!Digits(text, 0, 4, date.year) || !Digits(text, 5, 2, date.month) || !Digits(text, 8, 2, date.day))
        return false;
    return date.year >= 1 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= DaysInMonth(date.year, date.month);
}

}  // namespace qm

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brenvale {

// A day of the Gregorian calendar, years 1 to 9999.
struct Date {
    int year = 1970;
    int month = 1;
    int day = 1;

    auto operator<=>(const Date&) const = default;
    bool operator==(const Date&) const = default;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
bool IsValidDate(int year, int month, int day);

// Days since 1970-01-01 (negative before it), and back.
int64_t DayNumber(Date d);
Date FromDayNumber(int64_t n);

// 0 for Monday up to 6 for Sunday.
int Weekday(Date d);

Date AddDays(Date d, int64_t days);
// Months and years keep the day of the month where the new month has it and otherwise take
// its last day: 2027-01-31 + 1 month is 2027-02-28, 2028-02-29 + 1 year is 2029-02-28.
Date AddMonths(Date d, int64_t months);
int64_t DaysBetween(Date from, Date to);

// Empty when the result would leave the years 1 to 9999.
std::optional<Date> AddDaysChecked(Date d, int64_t days);
std::optional<Date> AddMonthsChecked(Date d, int64_t months);

// "YYYY-MM-DD", and the same form read back (exactly: two-digit month and day, a real day).
std::string FormatIsoDate(Date d);
std::optional<Date> ParseIsoDate(std::string_view text);
// Appends "YYYY-MM-DD" without a temporary string.
void AppendIsoDate(std::string& out, Date d);

// Today on this machine's clock, in local time.
Date LocalToday();

}  // namespace brenvale

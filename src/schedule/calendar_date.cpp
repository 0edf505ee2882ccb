#include "schedule/calendar_date.h"

#include <ctime>

namespace brenvale {

namespace {

constexpr int kFirstYear = 1;
constexpr int kLastYear = 9999;

bool InRange(Date d) {
    return d.year >= kFirstYear && d.year <= kLastYear;
}

}  // namespace

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(int year, int month, int day) {
    return year >= kFirstYear && year <= kLastYear && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month);
}

// The civil calendar counted in eras of 400 years, which repeat exactly.
int64_t DayNumber(Date d) {
    int64_t y = d.year - (d.month <= 2 ? 1 : 0);
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yearOfEra = y - era * 400;
    int64_t monthFromMarch = d.month > 2 ? d.month - 3 : d.month + 9;
    int64_t dayOfYear = (153 * monthFromMarch + 2) / 5 + d.day - 1;
    int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

Date FromDayNumber(int64_t n) {
    n += 719468;
    int64_t era = (n >= 0 ? n : n - 146096) / 146097;
    int64_t dayOfEra = n - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    int day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    int month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

int Weekday(Date d) {
    // 1970-01-01 was a Thursday (3).
    int64_t w = (DayNumber(d) + 3) % 7;
    return static_cast<int>(w < 0 ? w + 7 : w);
}

Date AddDays(Date d, int64_t days) {
    return FromDayNumber(DayNumber(d) + days);
}

Date AddMonths(Date d, int64_t months) {
    int64_t index = int64_t{d.year} * 12 + (d.month - 1) + months;
    int64_t year = index >= 0 ? index / 12 : (index - 11) / 12;
    Date out{static_cast<int>(year), static_cast<int>(index - year * 12 + 1), 1};
    int last = DaysInMonth(out.year, out.month);
    out.day = d.day < last ? d.day : last;
    return out;
}

int64_t DaysBetween(Date from, Date to) {
    return DayNumber(to) - DayNumber(from);
}

std::optional<Date> AddDaysChecked(Date d, int64_t days) {
    // Far beyond the range, the sum itself could overflow: nothing there is a day.
    if (days > 4000000 || days < -4000000) {
        return std::nullopt;
    }
    Date out = AddDays(d, days);
    return InRange(out) ? std::optional<Date>(out) : std::nullopt;
}

std::optional<Date> AddMonthsChecked(Date d, int64_t months) {
    if (months > 200000 || months < -200000) {
        return std::nullopt;
    }
    Date out = AddMonths(d, months);
    return InRange(out) ? std::optional<Date>(out) : std::nullopt;
}

void AppendIsoDate(std::string& out, Date d) {
    char buffer[10];
    int y = d.year;
    for (int i = 3; i >= 0; --i) {
        buffer[i] = static_cast<char>('0' + y % 10);
        y /= 10;
    }
    buffer[4] = '-';
    buffer[5] = static_cast<char>('0' + d.month / 10);
    buffer[6] = static_cast<char>('0' + d.month % 10);
    buffer[7] = '-';
    buffer[8] = static_cast<char>('0' + d.day / 10);
    buffer[9] = static_cast<char>('0' + d.day % 10);
    out.append(buffer, sizeof buffer);
}

std::string FormatIsoDate(Date d) {
    std::string out;
    AppendIsoDate(out, d);
    return out;
}

std::optional<Date> ParseIsoDate(std::string_view t) {
    if (t.size() != 10 || t[4] != '-' || t[7] != '-') {
        return std::nullopt;
    }
    int value[3] = {0, 0, 0};
    const int starts[3] = {0, 5, 8};
    const int lengths[3] = {4, 2, 2};
    for (int part = 0; part < 3; ++part) {
        for (int i = 0; i < lengths[part]; ++i) {
            char c = t[static_cast<size_t>(starts[part] + i)];
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            value[part] = value[part] * 10 + (c - '0');
        }
    }
    if (!IsValidDate(value[0], value[1], value[2])) {
        return std::nullopt;
    }
    return Date{value[0], value[1], value[2]};
}

Date LocalToday() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace brenvale

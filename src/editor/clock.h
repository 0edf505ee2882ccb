#pragma once

#include <cstdint>

#include "schedule/calendar_date.h"

namespace brenvale {

// A moment of local time: the day, and the seconds since its midnight.
struct LocalTime {
    Date day;
    int seconds = 0;  // 0 to 86399

    int minutes() const { return seconds / 60; }
    // Seconds since 1970-01-01 00:00 local time, counting every day as 86400 seconds: what
    // the reminders compare and subtract.
    int64_t count() const { return DayNumber(day) * 86400 + seconds; }
    static LocalTime FromCount(int64_t count);

    auto operator<=>(const LocalTime&) const = default;
    bool operator==(const LocalTime&) const = default;
};

// Where the editor reads the time: the window gives it the system's clock, tests a clock they
// move on themselves, so that a test crosses midnight without waiting for it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
};

// The machine's clock in its local time zone.
class SystemClock final : public Clock {
public:
    LocalTime now() const override;
};

}  // namespace brenvale

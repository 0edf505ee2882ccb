#include "editor/clock.h"

#include <ctime>

namespace brenvale {

LocalTime LocalTime::FromCount(int64_t count) {
    int64_t days = count >= 0 ? count / 86400 : -((-count + 86399) / 86400);
    return {FromDayNumber(days), static_cast<int>(count - days * 86400)};
}

LocalTime SystemClock::now() const {
    std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return {{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday},
            local.tm_hour * 3600 + local.tm_min * 60 + (local.tm_sec > 59 ? 59 : local.tm_sec)};
}

}  // namespace brenvale

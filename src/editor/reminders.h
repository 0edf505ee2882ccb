#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "document/item_kind.h"
#include "editor/clock.h"
#include "schedule/item_tokens.h"

namespace brenvale {

class ScheduleIndex;
class Topic;

// An open Item due at a time of day.
struct TimedItem {
    Topic* topic = nullptr;
    uint32_t item = 0;
    DueDate due;

    LocalTime time() const { return {due.day, due.minutes * 60}; }
};

// The open Items with a time of day due after `from` and by `to`, in the order of their times
// (those of one time in no set order); with no `from`, every one due by `to`.
std::vector<TimedItem> TimedDuesBetween(ScheduleIndex& index, const ListKindOptions& kinds,
                                        std::optional<LocalTime> from, LocalTime to);

// The first time after `after` at which an open Item is due.
std::optional<LocalTime> NextTimedDue(ScheduleIndex& index, const ListKindOptions& kinds,
                                      LocalTime after);

// What a reminder was about: an Item found again by its Topic, due and text, if it is still
// there and open. The index names the Topics with dues on each day, so a Topic that left the
// document is never looked into.
struct ReminderTarget {
    Topic* topic = nullptr;
    DueDate due;
    std::string text;  // CP932
};
std::optional<size_t> FindReminderItem(ScheduleIndex& index, const ListKindOptions& kinds,
                                       const ReminderTarget& target);

}  // namespace brenvale

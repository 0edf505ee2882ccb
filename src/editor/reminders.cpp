#include "editor/reminders.h"

#include <algorithm>

#include "common/check_mark.h"
#include "document/topic.h"
#include "editor/open_dues.h"
#include "editor/schedule_index.h"
#include "schedule/item_scan.h"

namespace brenvale {

std::vector<TimedItem> TimedDuesBetween(ScheduleIndex& index, const ListKindOptions& kinds,
                                        std::optional<LocalTime> from, LocalTime to) {
    std::vector<TimedItem> found;
    const auto& days = index.days();
    auto day = from ? days.lower_bound(from->day) : days.begin();
    for (; day != days.end() && day->first <= to.day; ++day) {
        if (day->second.timed == 0) {
            continue;
        }
        for (const auto& entry : day->second.topics) {
            // Not a structured binding: clang 14 cannot capture one in the lambda.
            auto* topic = entry.first;
            ForEachOpenDue(
                *topic, kinds, day->first, [&](size_t i, const DueDate& due, std::string_view) {
                    TimedItem item{topic, static_cast<uint32_t>(i), due};
                    if (due.hasTime() && (!from || item.time() > *from) && item.time() <= to) {
                        found.push_back(item);
                    }
                });
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const TimedItem& a, const TimedItem& b) { return a.due < b.due; });
    return found;
}

std::optional<LocalTime> NextTimedDue(ScheduleIndex& index, const ListKindOptions& kinds,
                                      LocalTime after) {
    const auto& days = index.days();
    for (auto day = days.lower_bound(after.day); day != days.end(); ++day) {
        if (day->second.timed == 0) {
            continue;
        }
        std::optional<LocalTime> first;
        for (const auto& [topic, count] : day->second.topics) {
            ForEachOpenDue(*topic, kinds, day->first,
                           [&](size_t, const DueDate& due, std::string_view) {
                               LocalTime time{due.day, due.minutes * 60};
                               if (due.hasTime() && time > after && (!first || time < *first)) {
                                   first = time;
                               }
                           });
        }
        if (first) {
            return first;
        }
    }
    return std::nullopt;
}

std::optional<size_t> FindReminderItem(ScheduleIndex& index, const ListKindOptions& kinds,
                                       const ReminderTarget& target) {
    const auto& days = index.days();
    auto day = days.find(target.due.day);
    if (day == days.end()) {
        return std::nullopt;
    }
    const TopicCounts& topics = day->second.topics;
    auto it = std::lower_bound(
        topics.begin(), topics.end(), target.topic,
        [](const std::pair<Topic*, uint32_t>& entry, Topic* key) { return entry.first < key; });
    if (it == topics.end() || it->first != target.topic) {
        return std::nullopt;
    }
    std::optional<size_t> found;
    ForEachOpenDue(*target.topic, kinds, target.due.day,
                   [&](size_t i, const DueDate& due, std::string_view text) {
                       if (!found && due == target.due && text == target.text) {
                           found = i;
                       }
                   });
    return found;
}

}  // namespace brenvale

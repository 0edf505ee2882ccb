#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/document.h"
#include "document/item_kind.h"
#include "schedule/item_tokens.h"
#include "schedule/tag_index.h"

namespace brenvale {

// The groups of the agenda, in the order shown. 今週 holds the days after tomorrow up to the
// coming Sunday (weeks run Monday to Sunday), so it is empty on a Saturday and a Sunday;
// それ以降 holds what comes after that Sunday. An Item overdue stays in 期限切れ until it is
// ticked or given another due.
enum class AgendaGroup : uint8_t { Overdue, Today, Tomorrow, ThisWeek, Later };
inline constexpr int kAgendaGroupCount = 5;

// "期限切れ", "今日", "明日", "今週", "それ以降" (UTF-8).
const char* AgendaGroupName(AgendaGroup group);
AgendaGroup GroupOf(Date due, Date today);
// The last day of today's week: the coming Sunday (today itself on a Sunday).
Date EndOfWeek(Date today);

// An open Item with a due, where it lies in the document.
struct AgendaEntry {
    Topic* topic = nullptr;
    uint32_t item = 0;
    DueDate due;
    AgendaGroup group = AgendaGroup::Later;
};

struct AgendaOptions {
    // Only dues up to this day (the overdue ones always); none: every due.
    std::optional<Date> through;
    // Only Items with all these tags (names, matched through TagKey).
    std::vector<std::string> tags;
};

// The open Items (unchecked ordinary Items, as the status bar counts them) that have a due,
// sorted by due (a whole day before the times of that day), then in document order. One pass
// over the Items; the memory is the entries returned.
std::vector<AgendaEntry> CollectAgenda(const Document& doc, Date today, const ListKindOptions& list,
                                       const AgendaOptions& options = {});

// The rows of topic's list in the order of their dues (a whole day before the times of that
// day), the Items without a due after them; Items of the same due, and those without one, keep
// their order. order[k] is the row that goes to row k.
std::vector<uint32_t> DueOrder(const Topic& topic);

// A routine whose due day has passed, and its caption renewed (see RenewedCaption).
struct RoutineRenewal {
    Topic* topic = nullptr;
    std::string caption;
};
// The routines of doc to renew on `today`, in tree order.
std::vector<RoutineRenewal> RoutinesToRenew(const Document& doc, Date today);

// The captions from the top level down to topic, joined by separator (CP932).
std::string TopicPath(const Topic& topic, std::string_view separator);

}  // namespace brenvale

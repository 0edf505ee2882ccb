#include "schedule/agenda.h"

#include <algorithm>

#include "common/check_mark.h"
#include "schedule/item_scan.h"
#include "schedule/repeats.h"

namespace brenvale {

const char* AgendaGroupName(AgendaGroup group) {
    switch (group) {
        case AgendaGroup::Overdue:
            return "期限切れ";
        case AgendaGroup::Today:
            return "今日";
        case AgendaGroup::Tomorrow:
            return "明日";
        case AgendaGroup::ThisWeek:
            return "今週";
        case AgendaGroup::Later:
            break;
    }
    return "それ以降";
}

Date EndOfWeek(Date today) {
    return AddDays(today, 6 - Weekday(today));
}

AgendaGroup GroupOf(Date due, Date today) {
    int64_t days = DaysBetween(today, due);
    if (days < 0) {
        return AgendaGroup::Overdue;
    }
    if (days == 0) {
        return AgendaGroup::Today;
    }
    if (days == 1) {
        return AgendaGroup::Tomorrow;
    }
    return due <= EndOfWeek(today) ? AgendaGroup::ThisWeek : AgendaGroup::Later;
}

std::vector<AgendaEntry> CollectAgenda(const Document& doc, Date today, const ListKindOptions& list,
                                       const AgendaOptions& options) {
    std::vector<AgendaEntry> entries;
    TagFilter filter;
    filter.require = options.tags;
    TagMatcher matcher(filter);
    ForEachTopic(doc, [&](Topic& topic, int) {
        ForEachStoredItem(topic, [&](size_t i, std::string_view stored, bool may) {
            if (!may || IsCheckedMark(StoredMark(stored))) {
                return;
            }
            std::string_view text = StoredText(stored);
            if (!CountsAsUnchecked(text, false, list)) {
                return;
            }
            std::optional<DueDate> due;
            ForEachToken(text, [&](const ItemToken& token) {
                if (token.kind == TokenKind::Due && !due) {
                    due = token.due;
                }
            });
            if (!due || (options.through && due->day > *options.through && due->day >= today)) {
                return;
            }
            if (!options.tags.empty() && !matcher.matches(text)) {
                return;
            }
            entries.push_back({&topic, static_cast<uint32_t>(i), *due, GroupOf(due->day, today)});
        });
    });
    std::stable_sort(entries.begin(), entries.end(),
                     [](const AgendaEntry& a, const AgendaEntry& b) { return a.due < b.due; });
    return entries;
}

std::vector<uint32_t> DueOrder(const Topic& topic) {
    struct Row {
        std::optional<DueDate> due;
        uint32_t row;
    };
    std::vector<Row> rows;
    rows.reserve(topic.items.size());
    ForEachStoredItem(topic, [&](size_t i, std::string_view stored, bool may) {
        Row row{std::nullopt, static_cast<uint32_t>(i)};
        if (may) {
            std::string_view text = StoredText(stored);
            ForEachToken(text, [&](const ItemToken& token) {
                if (token.kind == TokenKind::Due && !row.due) {
                    row.due = token.due;
                }
            });
        }
        rows.push_back(row);
    });
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return a.due && (!b.due || *a.due < *b.due);
    });
    std::vector<uint32_t> order;
    order.reserve(rows.size());
    for (const Row& row : rows) {
        order.push_back(row.row);
    }
    return order;
}

std::vector<RoutineRenewal> RoutinesToRenew(const Document& doc, Date today) {
    std::vector<RoutineRenewal> renewals;
    ForEachTopic(doc, [&](Topic& topic, int) {
        if (!MayHoldTokens(topic.caption)) {
            return;
        }
        if (std::optional<std::string> caption = RenewedCaption(topic.caption, today)) {
            renewals.push_back({&topic, std::move(*caption)});
        }
    });
    return renewals;
}

std::string TopicPath(const Topic& topic, std::string_view separator) {
    std::vector<const Topic*> chain;
    for (const Topic* t = &topic; t; t = t->parent()) {
        chain.push_back(t);
    }
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (it != chain.rbegin()) {
            path.append(separator);
        }
        path.append((*it)->caption.view());
    }
    return path;
}

}  // namespace brenvale

#include "editor/agenda_view.h"

#include <algorithm>

#include "common/check_mark.h"
#include "common/cp932.h"
#include "document/topic.h"
#include "editor/open_dues.h"
#include "editor/schedule_index.h"
#include "editor/tree_rows.h"
#include "schedule/item_scan.h"

namespace brenvale {

void AgendaView::refresh(Date today) {
    today_ = today;
    version_ = 0;
    for (Group& group : groups_) {
        group = {};
    }
    for (const auto& [day, entry] : index_.days()) {
        Group& group = groups_[Index(GroupOf(day, today))];
        group.days.push_back({day, group.size, entry.open, false, {}});
        group.size += entry.open;
    }
    version_ = index_.version();
}

bool AgendaView::stale() const {
    return version_ != index_.version() || !index_.built();
}

size_t AgendaView::total() const {
    size_t total = 0;
    for (const Group& group : groups_) {
        total += group.size;
    }
    return total;
}

const AgendaRow* AgendaView::row(AgendaGroup group, size_t k) {
    Group& g = groups_[Index(group)];
    if (k >= g.size) {
        return nullptr;
    }
    auto day = std::upper_bound(g.days.begin(), g.days.end(), k,
                                [](size_t k, const Day& d) { return k < d.first; }) -
               1;
    if (!day->loaded) {
        load(*day);
    }
    size_t at = k - day->first;
    return at < day->rows.size() ? &day->rows[at] : nullptr;
}

void AgendaView::load(Day& day) {
    day.loaded = true;
    auto it = index_.days().find(day.day);
    if (it == index_.days().end()) {
        return;
    }
    ListKindOptions kinds = settings_.listKindOptions();
    struct Found {
        AgendaRow row;
        size_t place;  // the Topic's place in tree order
    };
    std::vector<Found> found;
    found.reserve(day.size);
    for (const auto& entry : it->second.topics) {
        // Not a structured binding: clang 14 cannot capture one in the lambda.
        auto* topic = entry.first;
        size_t place = rows_.treeOrderIndex(topic);
        ForEachOpenDue(*topic, kinds, day.day, [&](size_t i, const DueDate& due, std::string_view) {
            found.push_back({{topic, static_cast<uint32_t>(i), due}, place});
        });
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (a.row.due != b.row.due) {
            return a.row.due < b.row.due;
        }
        return a.place != b.place ? a.place < b.place : a.row.item < b.row.item;
    });
    day.rows.reserve(found.size());
    for (const Found& f : found) {
        day.rows.push_back(f.row);
    }
}

std::string AgendaView::PlaceText(const Topic& topic, std::string_view text) {
    std::vector<const Topic*> chain;
    for (const Topic* t = &topic; t; t = t->parent()) {
        chain.push_back(t);
    }
    std::string out;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        AppendCp932AsUtf8(out, (*it)->caption.view());
        out += " › ";
    }
    AppendCp932AsUtf8(out, text);
    return out;
}

}  // namespace brenvale

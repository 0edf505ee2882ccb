#include "editor/schedule_index.h"

#include <algorithm>
#include <optional>

#include "common/check_mark.h"
#include "document/document.h"
#include "document/item.h"
#include "document/item_kind.h"
#include "editor/document_session.h"
#include "merge/conflict_mark.h"
#include "schedule/item_scan.h"
#include "schedule/item_tokens.h"

namespace brenvale {

namespace {

// Adds sign to t's count, keeping the list ordered and without zero counts.
void Count(TopicCounts& counts, Topic* t, int sign) {
    auto it = std::lower_bound(counts.begin(), counts.end(), t,
                               [](const auto& entry, Topic* key) { return entry.first < key; });
    if (it != counts.end() && it->first == t) {
        it->second += static_cast<uint32_t>(sign);
        if (it->second == 0) {
            counts.erase(it);
        }
    } else if (sign > 0) {
        counts.insert(it, {t, static_cast<uint32_t>(sign)});
    }
}

// Adds every change to counts in one pass: counts stays ordered and without zero counts.
void Merge(TopicCounts& counts, std::vector<std::pair<Topic*, int64_t>>& changes) {
    std::sort(changes.begin(), changes.end(),
              [](const auto& x, const auto& y) { return x.first < y.first; });
    TopicCounts merged;
    merged.reserve(counts.size() + changes.size());
    auto it = counts.begin();
    for (size_t i = 0; i < changes.size();) {
        Topic* t = changes[i].first;
        int64_t value = 0;
        for (; i < changes.size() && changes[i].first == t; ++i) {
            value += changes[i].second;
        }
        for (; it != counts.end() && it->first < t; ++it) {
            merged.push_back(*it);
        }
        if (it != counts.end() && it->first == t) {
            value += it->second;
            ++it;
        }
        if (value > 0) {
            merged.emplace_back(t, static_cast<uint32_t>(value));
        }
    }
    merged.insert(merged.end(), it, counts.end());
    counts.swap(merged);
}

}  // namespace

void ScheduleIndex::count(TopicCounts& counts, Topic* t, int sign) {
    if (!batching_) {
        Count(counts, t, sign);
        return;
    }
    std::vector<std::pair<Topic*, int64_t>>& changes = pending_[&counts];
    if (!changes.empty() && changes.back().first == t) {
        changes.back().second += sign;
    } else {
        changes.emplace_back(t, sign);
    }
}

template <typename Fn>
void ScheduleIndex::inBatch(Fn&& fn) {
    batching_ = true;
    try {
        fn();
    } catch (...) {
        // Half a batch is not an index: it is built again when next asked for.
        batching_ = false;
        pending_.clear();
        invalidate();
        throw;
    }
    batching_ = false;
    for (auto& [counts, changes] : pending_) {
        Merge(*counts, changes);
    }
    pending_.clear();
    std::erase_if(tags_, [](const auto& entry) { return entry.second.total == 0; });
    std::erase_if(days_, [](const auto& entry) { return entry.second.open == 0; });
}

void ScheduleIndex::invalidate() {
    if (!built_) {
        return;
    }
    built_ = false;
    ++version_;
    tags_.clear();
    days_.clear();
    keys_.clear();
    untaggedOpen_ = 0;
    conflictMarks_ = 0;
}

void ScheduleIndex::ensureBuilt() {
    if (built_) {
        return;
    }
    built_ = true;
    ++version_;
    kinds_ = settings_.listKindOptions();
    inBatch([&] {
        ForEachTopic(session_.document(), [&](Topic& t, int) {
            conflictMarks_ += HasConflictMark(t.caption.view()) ? 1 : 0;
            ForEachStoredItem(t, [&](size_t, std::string_view stored, bool may) {
                apply(&t, shareOf(stored, may), +1);
            });
        });
    });
}

const std::string& ScheduleIndex::keyOf(std::string_view name) {
    auto it = keys_.find(name);
    if (it == keys_.end()) {
        it = keys_.emplace(std::string(name), TagKey(name)).first;
    }
    return it->second;
}

// Filled anew for each Item, so that reading one allocates nothing.
const ScheduleIndex::Share& ScheduleIndex::shareOf(std::string_view stored, bool may) {
    Share& share = share_;
    share.due.reset();
    share.tags.clear();
    share.names.clear();
    std::string_view text = StoredText(stored);
    share.open = CountsAsUnchecked(text, IsCheckedMark(StoredMark(stored)), kinds_);
    // The mark holds a '#': a text that may hold no token holds no mark either.
    share.conflict = may && HasConflictMark(text);
    if (!may) {
        return share;
    }
    ForEachToken(text, [&](const ItemToken& token) {
        if (token.kind == TokenKind::Due && !share.due) {
            share.due = token.due;
        } else if (token.kind == TokenKind::Tag) {
            const std::string* key = &keyOf(token.value(text));
            // Two spellings of one tag ("#tag #ＴＡＧ") count once.
            if (std::none_of(share.tags.begin(), share.tags.end(),
                             [&](const std::string* k) { return *k == *key; })) {
                share.tags.push_back(key);
                share.names.push_back(token.value(text));
            }
        }
    });
    return share;
}

void ScheduleIndex::apply(Topic* t, const Share& share, int sign) {
    ++version_;
    conflictMarks_ += share.conflict ? static_cast<size_t>(sign) : 0;
    for (size_t i = 0; i < share.tags.size(); ++i) {
        auto it = tags_.find(*share.tags[i]);
        if (it == tags_.end()) {
            if (sign < 0) {
                continue;  // cannot happen while the index follows the document
            }
            it = tags_.emplace(*share.tags[i], IndexedTag{std::string(share.names[i]), 0, 0, {}})
                     .first;
        }
        IndexedTag& tag = it->second;
        tag.total += static_cast<size_t>(sign);
        tag.open += share.open ? static_cast<size_t>(sign) : 0;
        count(tag.topics, t, sign);
        if (tag.total == 0 && !batching_) {
            tags_.erase(it);
        }
    }
    if (share.tags.empty() && share.open) {
        untaggedOpen_ += static_cast<size_t>(sign);
    }
    if (share.open && share.due) {
        IndexedDay& day = days_[share.due->day];
        day.open += static_cast<size_t>(sign);
        day.timed += share.due->hasTime() ? static_cast<size_t>(sign) : 0;
        count(day.topics, t, sign);
        if (day.open == 0 && !batching_) {
            days_.erase(share.due->day);
        }
    }
}

void ScheduleIndex::applyStored(const Topic& t, std::string_view stored, int sign) {
    apply(const_cast<Topic*>(&t), shareOf(stored, MayHoldTokens(StoredText(stored))), sign);
}

void ScheduleIndex::applySubtree(const Topic& top, int sign) {
    inBatch([&] {
        ForEachInSubtree(top, [&](Topic& t, int) {
            conflictMarks_ += HasConflictMark(t.caption.view()) ? static_cast<size_t>(sign) : 0;
            ForEachStoredItem(t, [&](size_t, std::string_view stored, bool may) {
                apply(&t, shareOf(stored, may), sign);
            });
        });
    });
}

const std::map<std::string, IndexedTag>& ScheduleIndex::tags() {
    ensureBuilt();
    return tags_;
}

size_t ScheduleIndex::untaggedOpen() {
    ensureBuilt();
    return untaggedOpen_;
}

const std::map<Date, IndexedDay>& ScheduleIndex::days() {
    ensureBuilt();
    return days_;
}

const IndexedTag* ScheduleIndex::tag(std::string_view key) {
    ensureBuilt();
    auto it = tags_.find(std::string(key));
    return it == tags_.end() ? nullptr : &it->second;
}

size_t ScheduleIndex::conflictMarks() {
    ensureBuilt();
    return conflictMarks_;
}

void ScheduleIndex::captionChanged(std::string_view before, std::string_view after) {
    if (built_) {
        conflictMarks_ -= HasConflictMark(before) ? 1 : 0;
        conflictMarks_ += HasConflictMark(after) ? 1 : 0;
    }
}

void ScheduleIndex::itemsAdded(const Topic& t, size_t row, size_t count) {
    if (!built_) {
        return;
    }
    for (size_t i = row; i < row + count; ++i) {
        applyStored(t, t.items[i].stored(), +1);
    }
}

void ScheduleIndex::itemLeaving(const Topic& t, size_t row) {
    if (built_) {
        applyStored(t, t.items[row].stored(), -1);
    }
}

void ScheduleIndex::itemReplaced(const Topic& t, TextRef before, TextRef after) {
    if (!built_ || before == after) {
        return;
    }
    const TextStore& store = t.items.store();
    applyStored(t, store.stored(before), -1);
    applyStored(t, store.stored(after), +1);
}

void ScheduleIndex::subtreeAdded(const Topic& top) {
    if (built_) {
        applySubtree(top, +1);
    }
}

void ScheduleIndex::subtreeLeaving(const Topic& top) {
    if (built_) {
        applySubtree(top, -1);
    }
}

}  // namespace brenvale

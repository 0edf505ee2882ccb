#include "editor/progress_counts.h"

#include <utility>
#include <vector>

#include "document/topic.h"
#include "editor/view_notifier.h"

namespace brenvale {

namespace {

constexpr uint32_t kGenerations = 1u << 30;

}  // namespace

void ProgressCounts::touch(const Topic& t) const {
    if (t.tally.generation != generation_) {
        t.tally.generation = generation_;
        t.tally.ownKnown = 0;
        t.tally.subtreeKnown = 0;
    }
}

Progress ProgressCounts::itemShare(const Topic& t, size_t row) const {
    ItemView item = t.items[row];
    if (item.kind(settings_.listKindOptions()) != ItemKind::Ordinary) {
        return {};
    }
    return {item.checked() ? 1u : 0u, 1u};
}

Progress ProgressCounts::own(const Topic& t) const {
    touch(t);
    TopicTally& tally = t.tally;
    if (!tally.ownKnown) {
        ListKindOptions options = settings_.listKindOptions();
        uint32_t checked = 0;
        uint32_t total = 0;
        const ItemList& items = t.items;
        for (size_t i = 0; i < items.size(); ++i) {
            ItemView item = items[i];
            if (item.kind(options) == ItemKind::Ordinary) {
                ++total;
                checked += item.checked();
            }
        }
        tally.checked = checked;
        tally.total = total;
        tally.ownKnown = 1;
    }
    return {tally.checked, tally.total};
}

Progress ProgressCounts::subtree(const Topic& top) const {
    touch(top);
    if (!top.tally.subtreeKnown) {
        // Children before their parent, without recursion (a file may nest thousands of
        // levels); subtrees already known are taken as they are.
        std::vector<std::pair<const Topic*, size_t>> pending{{&top, 0}};
        while (!pending.empty()) {
            auto& [t, next] = pending.back();
            if (next < t->childCount()) {
                const Topic* child = t->child(next++);
                touch(*child);
                if (!child->tally.subtreeKnown) {
                    pending.emplace_back(child, 0);
                }
                continue;
            }
            Progress sum = own(*t);
            for (size_t i = 0; i < t->childCount(); ++i) {
                sum.checked += t->child(i)->tally.subtreeChecked;
                sum.total += t->child(i)->tally.subtreeTotal;
            }
            t->tally.subtreeChecked = sum.checked;
            t->tally.subtreeTotal = sum.total;
            t->tally.subtreeKnown = 1;
            pending.pop_back();
        }
    }
    return {top.tally.subtreeChecked, top.tally.subtreeTotal};
}

ProgressText ProgressCounts::text(const Topic& t) const {
    Progress p = t.hasChildren() && !t.expanded ? subtree(t) : own(t);
    if (p.total == 0) {
        return {};
    }
    return {std::to_string(p.checked) + "/" + std::to_string(p.total), p.checked == p.total};
}

void ProgressCounts::adjust(Topic* t, int64_t checked, int64_t total) {
    if (checked == 0 && total == 0) {
        return;
    }
    touch(*t);
    if (t->tally.ownKnown) {
        t->tally.checked = static_cast<uint32_t>(t->tally.checked + checked);
        t->tally.total = static_cast<uint32_t>(t->tally.total + total);
    }
    // An unknown subtree has only unknown ones above it (see childrenChanged): the walk
    // stops at the first.
    for (Topic* x = t; x; x = x->parent()) {
        touch(*x);
        if (!x->tally.subtreeKnown) {
            break;
        }
        x->tally.subtreeChecked = static_cast<uint32_t>(x->tally.subtreeChecked + checked);
        x->tally.subtreeTotal = static_cast<uint32_t>(x->tally.subtreeTotal + total);
    }
    changed(t);
}

void ProgressCounts::changed(Topic* t) {
    if (!untold_) {
        untold_ = true;
        untoldTopic_ = t;
    } else if (untoldTopic_ != t) {
        untoldTopic_ = nullptr;
    }
}

void ProgressCounts::tellViews() {
    if (untold_) {
        untold_ = false;
        Topic* t = std::exchange(untoldTopic_, nullptr);
        views_.tree([&](EditorObserver& o) { o.topicProgressChanged(t); });
    }
}

void ProgressCounts::itemsAdded(Topic* t, size_t row, size_t count) {
    int64_t checked = 0;
    int64_t total = 0;
    for (size_t i = row; i < row + count; ++i) {
        Progress share = itemShare(*t, i);
        checked += share.checked;
        total += share.total;
    }
    adjust(t, checked, total);
}

void ProgressCounts::itemLeaving(Topic* t, size_t row) {
    Progress share = itemShare(*t, row);
    adjust(t, -int64_t{share.checked}, -int64_t{share.total});
}

void ProgressCounts::itemChanged(Topic* t, size_t row, Progress before) {
    Progress after = itemShare(*t, row);
    adjust(t, int64_t{after.checked} - before.checked, int64_t{after.total} - before.total);
}

void ProgressCounts::childrenChanged(Topic* parent) {
    // The subtree counts of parent and of every Topic above it are worked out again. An
    // unknown subtree has only unknown ones above it, so the walk stops at the first.
    for (Topic* x = parent; x; x = x->parent()) {
        touch(*x);
        if (!x->tally.subtreeKnown) {
            break;
        }
        x->tally.subtreeKnown = 0;
    }
    if (parent) {
        changed(parent);
    }
}

void ProgressCounts::recountAll() {
    generation_ = generation_ + 1 == kGenerations ? 1 : generation_ + 1;
    changed(nullptr);
}

}  // namespace brenvale

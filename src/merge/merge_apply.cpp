#include "merge/merge_apply.h"

#include <utility>

namespace brenvale {

void CopyItems(const ItemList& from, ItemList& to) {
    to.reserve(to.size() + from.size());
    for (size_t i = 0; i < from.size(); ++i) {
        std::string_view stored = from[i].stored();
        to.insert(to.size(), StoredMark(stored), StoredText(stored));
    }
}

namespace {

// Gives a Topic of ours the merged list: ours' Items stay where their bytes are, the others
// are copied into ours' storage.
void SetMergedItems(Topic& topic, const MergedList& list, const ItemList& theirs) {
    TextStore& store = topic.items.store();
    std::vector<TextRef> refs;
    refs.reserve(list.items.size());
    for (const MergedItem& item : list.items) {
        switch (item.from) {
            case MergedItem::From::Ours:
                refs.push_back(topic.items.ref(item.index));
                break;
            case MergedItem::From::Theirs: {
                std::string_view stored = theirs[item.index].stored();
                refs.push_back(store.add(StoredMark(stored), StoredText(stored)));
                break;
            }
            case MergedItem::From::Made:
                refs.push_back(store.add(list.made[item.index]));
                break;
        }
    }
    topic.items.clear();
    topic.items.appendRefs(refs.data(), refs.size());
}

// Turns ours' Document into the planned tree. Topics that stay under the same parent are only
// moved within it; the others are taken out (deepest first, so each is a leaf or keeps only
// what goes with it) and put back where the plan has them, parents before children.
}  // namespace

std::vector<MergeConflict> ApplyPlan(const TreePlan& plan, Document& doc, const FlatTree& ours,
                                     const FlatTree& theirs) {
    const size_t n = plan.topics.size();
    std::vector<int32_t> plannedOf(ours.size(), -1);
    for (size_t k = 0; k < n; ++k) {
        if (plan.topics[k].ours != kNoTopic) {
            plannedOf[static_cast<size_t>(plan.topics[k].ours)] = static_cast<int32_t>(k);
        }
    }
    auto oursTopic = [&](int32_t o) { return ours.topic(o); };
    std::vector<DetachedTopic> detached(n);
    for (size_t o = ours.size(); o-- > 0;) {
        Topic* t = oursTopic(static_cast<int32_t>(o));
        if (!plan.oursKept[o]) {
            doc.remove(t);
            continue;
        }
        int32_t parent = plan.topics[static_cast<size_t>(plannedOf[o])].parent;
        Topic* target = nullptr;
        if (parent != kNoTopic) {
            int32_t p = plan.topics[static_cast<size_t>(parent)].ours;
            target = p == kNoTopic ? nullptr : oursTopic(p);
            if (!target) {
                detached[static_cast<size_t>(plannedOf[o])] = doc.remove(t);
                continue;
            }
        }
        if (t->parent() != target) {
            detached[static_cast<size_t>(plannedOf[o])] = doc.remove(t);
        }
    }
    std::vector<Topic*> topicOf(n, nullptr);
    std::vector<size_t> nextRow(n + 1, 0);  // per planned parent, the top level first
    for (size_t k = 0; k < n; ++k) {
        const PlannedTopic& p = plan.topics[k];
        Topic* parent = p.parent == kNoTopic ? nullptr : topicOf[static_cast<size_t>(p.parent)];
        size_t row = nextRow[static_cast<size_t>(p.parent + 1)]++;
        Topic* t;
        if (p.ours != kNoTopic) {
            t = oursTopic(p.ours);
            if (detached[k]) {
                t = &doc.insert(parent, row, std::move(detached[k]));
            } else if (doc.sibling(parent, row) != t) {
                doc.move(t, parent, row);
            }
        } else {
            DetachedTopic made = doc.create();
            if (p.theirs != kNoTopic) {
                made->setCaption(theirs.caption(p.theirs));
                made->icon = theirs.icon(p.theirs);
                made->expanded = theirs.expanded(p.theirs);
            }
            t = &doc.insert(parent, row, std::move(made));
        }
        topicOf[k] = t;
    }
    std::vector<MergeConflict> conflicts;
    for (size_t k = 0; k < n; ++k) {
        const PlannedTopic& p = plan.topics[k];
        Topic& t = *topicOf[k];
        if (p.caption >= 0) {
            t.setCaption(plan.captions[static_cast<size_t>(p.caption)]);
        }
        if (p.icon >= 0) {
            t.icon = p.icon;
        }
        // theirs' list is read only where it is needed: a detached tree reads it from its file.
        if (p.items == PlannedTopic::Items::CopyTheirs) {
            t.items.clear();
            CopyItems(theirs.items(p.theirs), t.items);
        } else if (p.items == PlannedTopic::Items::Merged) {
            const MergedList& list = plan.lists[static_cast<size_t>(p.list)];
            SetMergedItems(t, list, theirs.items(p.theirs));
        }
        if (p.conflict) {
            conflicts.push_back({*p.conflict, &t, kNoItem});
        }
        if (p.items == PlannedTopic::Items::Merged) {
            for (const auto& [row, kind] : plan.lists[static_cast<size_t>(p.list)].conflicts) {
                conflicts.push_back({kind, &t, row});
            }
        }
    }
    return conflicts;
}

}  // namespace brenvale

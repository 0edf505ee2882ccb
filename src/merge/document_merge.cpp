#include "merge/document_merge.h"

#include <optional>
#include <utility>

#include "merge/flat_tree.h"
#include "merge/topic_matching.h"
#include "merge/tree_merge.h"

namespace brenvale {

namespace {

void CopyItems(const ItemList& from, ItemList& to) {
    to.reserve(to.size() + from.size());
    for (size_t i = 0; i < from.size(); ++i) {
        std::string_view stored = from[i].stored();
        to.insert(to.size(), StoredMark(stored), StoredText(stored));
    }
}

// Gives a Topic of ours the merged list: ours' Items stay where their bytes are, the others
// are copied into ours' storage.
void SetMergedItems(Topic& topic, const MergedList& list, const Topic* theirs) {
    TextStore& store = topic.items.store();
    std::vector<TextRef> refs;
    refs.reserve(list.items.size());
    for (const MergedItem& item : list.items) {
        switch (item.from) {
            case MergedItem::From::Ours:
                refs.push_back(topic.items.ref(item.index));
                break;
            case MergedItem::From::Theirs: {
                std::string_view stored = theirs->items[item.index].stored();
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
std::vector<MergeConflict> ApplyPlan(const TreePlan& plan, Document& doc, const FlatTree& ours,
                                     const FlatTree& theirs) {
    const size_t n = plan.topics.size();
    std::vector<int32_t> plannedOf(ours.size(), -1);
    for (size_t k = 0; k < n; ++k) {
        if (plan.topics[k].ours != kNoTopic) {
            plannedOf[static_cast<size_t>(plan.topics[k].ours)] = static_cast<int32_t>(k);
        }
    }
    auto oursTopic = [&](int32_t o) {
        return const_cast<Topic*>(ours.topics[static_cast<size_t>(o)]);
    };
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
                const Topic& from = theirs.at(p.theirs);
                made->setCaption(from.caption.view());
                made->icon = from.icon;
                made->expanded = from.expanded;
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
        const Topic* from = p.theirs == kNoTopic ? nullptr : &theirs.at(p.theirs);
        if (p.items == PlannedTopic::Items::CopyTheirs) {
            t.items.clear();
            CopyItems(from->items, t.items);
        } else if (p.items == PlannedTopic::Items::Merged) {
            const MergedList& list = plan.lists[static_cast<size_t>(p.list)];
            SetMergedItems(t, list, from);
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

TopicMatch SameTopics(size_t n) {
    TopicMatch match;
    match.toAfter.resize(n);
    match.toBefore.resize(n);
    for (size_t i = 0; i < n; ++i) {
        match.toAfter[i] = match.toBefore[i] = static_cast<int32_t>(i);
    }
    return match;
}

// base is null for a two-way merge.
MergeResult Merge(const Document* base, std::unique_ptr<Document> ours, const Document& theirs) {
    std::vector<MergeConflict> conflicts;
    {
        TextKeys captions(ours->topicCount() + theirs.topicCount());
        std::optional<FlatTree> baseTree;
        if (base) {
            baseTree = Flatten(*base, captions);
        }
        FlatTree oursTree = Flatten(*ours, captions);
        FlatTree theirsTree = Flatten(theirs, captions);
        const FlatTree& b = base ? *baseTree : oursTree;
        TreePlan plan;
        {
            TopicMatch toOurs = base ? MatchTopics(b, oursTree) : SameTopics(oursTree.size());
            TopicMatch toTheirs = MatchTopics(b, theirsTree, base != nullptr);
            plan = PlanTreeMerge({b, oursTree, theirsTree, toOurs, toTheirs, base == nullptr});
        }
        conflicts = ApplyPlan(plan, *ours, oursTree, theirsTree);
    }
    return {std::move(ours), std::move(conflicts)};
}

}  // namespace

MergeResult MergeDocuments(const Document& base, std::unique_ptr<Document> ours,
                           const Document& theirs) {
    return Merge(&base, std::move(ours), theirs);
}

MergeResult MergeDocuments(const Document& base, const Document& ours, const Document& theirs) {
    return Merge(&base, CopyDocument(ours), theirs);
}

MergeResult UniteDocuments(std::unique_ptr<Document> ours, const Document& theirs) {
    return Merge(nullptr, std::move(ours), theirs);
}

MergeResult UniteDocuments(const Document& ours, const Document& theirs) {
    return Merge(nullptr, CopyDocument(ours), theirs);
}

std::unique_ptr<Document> CopyDocument(const Document& doc) {
    auto copy = std::make_unique<Document>();
    std::vector<Topic*> path;
    ForEachTopic(doc, [&](const Topic& t, int level) {
        path.resize(static_cast<size_t>(level));
        DetachedTopic made = copy->create();
        made->setCaption(t.caption.view());
        made->icon = t.icon;
        made->expanded = t.expanded;
        CopyItems(t.items, made->items);
        path.push_back(&copy->append(path.empty() ? nullptr : path.back(), std::move(made)));
    });
    copy->fileName = doc.fileName;
    copy->untitled = doc.untitled;
    return copy;
}

DocumentGeometry MergeGeometry(const DocumentGeometry& base, const DocumentGeometry& ours,
                               const DocumentGeometry& theirs) {
    auto pick = [](int b, int o, int t) { return o == b ? t : o; };
    return {pick(base.height, ours.height, theirs.height),
            pick(base.width, ours.width, theirs.width), pick(base.top, ours.top, theirs.top),
            pick(base.left, ours.left, theirs.left),
            pick(base.treeWidth, ours.treeWidth, theirs.treeWidth)};
}

MergedFile MergeDocumentBytes(std::string_view base, std::string_view ours, std::string_view theirs,
                              const ReadOptions& options) {
    ReadResult b = ParseDocument(base, options);
    ReadResult o = ParseDocument(ours, options);
    ReadResult t = ParseDocument(theirs, options);
    DocumentGeometry ob = o.geometry.appliedTo({});
    DocumentGeometry geometry =
        b.document->empty() ? ob
                            : MergeGeometry(b.geometry.appliedTo({}), ob, t.geometry.appliedTo({}));
    MergeResult merged = b.document->empty()
                             ? UniteDocuments(std::move(o.document), *t.document)
                             : MergeDocuments(*b.document, std::move(o.document), *t.document);
    return {std::move(merged), geometry};
}

}  // namespace brenvale

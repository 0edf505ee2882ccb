#include "editor/document_changes.h"

#include <unordered_set>
#include <utility>

#include "common/check_mark.h"
#include "document/model.h"
#include "document/tree_clipboard.h"
#include "editor/document_session.h"
#include "editor/item_changes.h"
#include "editor/progress_counts.h"
#include "editor/schedule_index.h"
#include "editor/topic_changes.h"
#include "editor/tree_rows.h"
#include "editor/undo_history.h"
#include "editor/view_notifier.h"
#include "editor/visible_list.h"
#include "exchange/outline_import.h"

namespace brenvale {

Document& DocumentChanges::document() const {
    return session_.document();
}

bool DocumentChanges::inStep() const {
    return history_.inStep() && !history_.replaying();
}

void DocumentChanges::record(std::unique_ptr<UndoChange> change) {
    if (!history_.replaying()) {
        history_.record(std::move(change));
    }
}

bool DocumentChanges::shown(const Topic* t) const {
    return t && t == list_.topic();
}

// ---- The tree's rows

bool DocumentChanges::rowsFollow() const {
    return !views_.treeHeld() && rows_.current();
}

void DocumentChanges::tellRowsBefore(const TreeRowChange& change) {
    using Kind = TreeRowChange::Kind;
    switch (change.kind) {
        case Kind::Insert:
            views_.tree(
                [&](EditorObserver& o) { o.beginInsertTreeRows(change.first, change.count); });
            break;
        case Kind::Remove:
            views_.tree(
                [&](EditorObserver& o) { o.beginRemoveTreeRows(change.first, change.count); });
            break;
        case Kind::Move:
            views_.tree([&](EditorObserver& o) {
                o.beginMoveTreeRows(change.first, change.count, change.destination);
            });
            break;
        case Kind::None:
        case Kind::Update:
            break;
    }
}

void DocumentChanges::tellRowsAfter(const TreeRowChange& change) {
    using Kind = TreeRowChange::Kind;
    switch (change.kind) {
        case Kind::Insert:
            views_.tree([](EditorObserver& o) { o.endInsertTreeRows(); });
            break;
        case Kind::Remove:
            views_.tree([](EditorObserver& o) { o.endRemoveTreeRows(); });
            break;
        case Kind::Move:
            views_.tree([](EditorObserver& o) { o.endMoveTreeRows(); });
            break;
        case Kind::Update:
            views_.tree([&](EditorObserver& o) { o.treeRowsChanged(change.first, change.count); });
            break;
        case Kind::None:
            break;
    }
}

void DocumentChanges::repaintRow(const Topic* t) {
    size_t row = t && rowsFollow() ? rows_.rowOf(t) : TreeRows::npos;
    if (row != TreeRows::npos) {
        views_.tree([&](EditorObserver& o) { o.treeRowsChanged(row, 1); });
    }
}

// ---- Topics

Topic& DocumentChanges::addTopic(Topic* reference, bool asChild, std::string_view text, int icon,
                                 int imageCount) {
    Topic* parent = asChild ? reference : (reference ? reference->parent() : nullptr);
    size_t row = document().siblingCount(parent);
    Topic& added = putTopic(parent, row, MakeTopic(document(), text, icon, imageCount));
    record(std::make_unique<TopicPlacement>(added));
    return added;
}

// The paste only appends: Items to the Topic that was current, Topics as last children or
// siblings. The record takes out the new Topics that hang from Topics already there, in the
// order they came, and the Items appended to the current one; the views hear of those
// subtrees in the same order, each after the Topics before it in tree order.
PasteResult DocumentChanges::pasteTree(Topic* current, std::string_view text, int imageCount) {
    if (rowsFollow()) {
        rows_.reserve(ClipboardTopicLines(text));
    }
    size_t itemsBefore = current ? current->items.size() : 0;
    PasteResult pasted = PasteTreeText(document(), current, text, imageCount);
    session_.noteTextChange();
    if (current && current->items.size() > itemsBefore) {
        size_t count = current->items.size() - itemsBefore;
        if (shown(current)) {
            list_.itemsInserted(itemsBefore, count);
            list_.remeasure();
        }
        record(std::make_unique<ItemPlacement>(current, itemsBefore, count));
        progress_.itemsAdded(current, itemsBefore, count);
        index_.itemsAdded(*current, itemsBefore, count);
        applyTrashRule(current);
    }
    std::unordered_set<const Topic*> created(pasted.created.begin(), pasted.created.end());
    for (Topic* t : pasted.created) {
        if (created.contains(t->parent())) {
            continue;
        }
        record(std::make_unique<TopicPlacement>(*t));
        index_.subtreeAdded(*t);
        TreeRows::Plan plan = rowsFollow() ? rows_.planAdded(*t) : TreeRows::Plan();
        Topic* parent = t->parent();
        size_t row = t->row();
        views_.tree([&](EditorObserver& o) { o.beginInsertTopic(parent, row); });
        tellRowsBefore(plan.change());
        rows_.apply(plan);
        tellRowsAfter(plan.change());
        views_.tree([](EditorObserver& o) { o.endInsertTopic(); });
        progress_.childrenChanged(parent);
        repaintRow(parent);
    }
    return pasted;
}

ImportedTopics DocumentChanges::importOutline(OutlineImport& outline, int imageCount,
                                              std::string_view sourceName) {
    if (rowsFollow()) {
        rows_.reserve(outline.topicCount());
    }
    ImportedTopics imported = outline.build(document(), imageCount, sourceName);
    // Each new top-level Topic is told as the tree paste tells its Topics.
    for (Topic* t : imported.topLevel) {
        record(std::make_unique<TopicPlacement>(*t));
        index_.subtreeAdded(*t);
        TreeRows::Plan plan = rowsFollow() ? rows_.planAdded(*t) : TreeRows::Plan();
        size_t row = t->row();
        views_.tree([&](EditorObserver& o) { o.beginInsertTopic(nullptr, row); });
        tellRowsBefore(plan.change());
        rows_.apply(plan);
        tellRowsAfter(plan.change());
        views_.tree([](EditorObserver& o) { o.endInsertTopic(); });
    }
    return imported;
}

void DocumentChanges::removeTopic(Topic* t) {
    Topic* parent = t->parent();
    size_t row = t->row();
    record(std::make_unique<TopicPlacement>(parent, row, takeTopic(parent, row)));
}

Topic& DocumentChanges::putTopic(Topic* parent, size_t row, DetachedTopic t) {
    TreeRows::Plan plan = rowsFollow() ? rows_.planInsert(parent, row, *t) : TreeRows::Plan();
    views_.tree([&](EditorObserver& o) { o.beginInsertTopic(parent, row); });
    tellRowsBefore(plan.change());
    Topic& put = document().insert(parent, row, std::move(t));
    index_.subtreeAdded(put);
    rows_.apply(plan);
    tellRowsAfter(plan.change());
    views_.tree([](EditorObserver& o) { o.endInsertTopic(); });
    session_.noteTextChange();
    progress_.childrenChanged(parent);
    repaintRow(parent);
    return put;
}

DetachedTopic DocumentChanges::takeTopic(Topic* parent, size_t row) {
    Topic* t = document().sibling(parent, row);
    TreeRows::Plan plan = rowsFollow() ? rows_.planRemove(*t) : TreeRows::Plan();
    views_.tree([&](EditorObserver& o) { o.beginRemoveTopic(parent, row); });
    tellRowsBefore(plan.change());
    index_.subtreeLeaving(*t);
    DetachedTopic taken = document().remove(t);
    rows_.apply(plan);
    tellRowsAfter(plan.change());
    views_.tree([](EditorObserver& o) { o.endRemoveTopic(); });
    session_.noteTextChange();
    progress_.childrenChanged(parent);
    repaintRow(parent);
    return taken;
}

void DocumentChanges::moveTopic(Topic* t, Topic* parent, size_t row) {
    Topic* fromParent = t->parent();
    size_t fromRow = t->row();
    if (fromParent == parent && fromRow == row) {
        return;
    }
    TreeRows::Plan plan = rowsFollow() ? rows_.planMove(*t, parent, row) : TreeRows::Plan();
    views_.tree([&](EditorObserver& o) { o.beginMoveTopic(fromParent, fromRow, parent, row); });
    tellRowsBefore(plan.change());
    document().move(t, parent, row);
    rows_.apply(plan);
    tellRowsAfter(plan.change());
    views_.tree([](EditorObserver& o) { o.endMoveTopic(); });
    session_.noteTextChange();
    progress_.childrenChanged(fromParent);
    progress_.childrenChanged(parent);
    repaintRow(fromParent);
    repaintRow(parent);
    record(std::make_unique<TopicMove>(t, fromParent, fromRow));
}

void DocumentChanges::setCaption(Topic* t, std::string_view caption) {
    if (t->caption == caption) {
        return;
    }
    Caption before = t->caption;
    t->setCaption(caption);
    index_.captionChanged(before.view(), caption);
    session_.noteTextChange();
    if (inStep()) {
        record(std::make_unique<TopicCaptionChange>(t, std::move(before)));
    }
    views_.tree([&](EditorObserver& o) { o.topicChanged(t); });
}

void DocumentChanges::setIcon(Topic* t, int icon) {
    if (t->icon == icon) {
        return;
    }
    int before = t->icon;
    t->icon = icon;
    if (inStep()) {
        record(std::make_unique<TopicIconChange>(t, before));
    }
    views_.tree([&](EditorObserver& o) { o.topicChanged(t); });
}

void DocumentChanges::setExpanded(Topic* t, bool expanded) {
    if (t->expanded == expanded) {
        return;
    }
    changeExpansion(t, expanded);
    if (inStep()) {
        record(std::make_unique<TopicExpansionChange>(t, !expanded));
    }
}

void DocumentChanges::changeExpansion(Topic* t, bool expanded) {
    TreeRows::Plan plan = rowsFollow() ? rows_.planExpansion(*t, expanded) : TreeRows::Plan();
    tellRowsBefore(plan.change());
    t->expanded = expanded;
    rows_.apply(plan);
    tellRowsAfter(plan.change());
    views_.tree([&](EditorObserver& o) { o.topicExpansionChanged(t); });
    repaintRow(t);
}

void DocumentChanges::expandAll() {
    // Only the folded Topics change; the rows list them without a walk of the tree.
    std::vector<Topic*> folded = rows_.foldedTopics(nullptr);
    bool follow = rowsFollow();
    if (follow) {
        views_.tree([](EditorObserver& o) { o.beginResetTreeRows(); });
    }
    for (Topic* t : folded) {
        TreeRows::Plan plan = follow ? rows_.planExpansion(*t, true) : TreeRows::Plan();
        t->expanded = true;
        rows_.apply(plan);
    }
    if (follow) {
        views_.tree([](EditorObserver& o) { o.endResetTreeRows(); });
    }
    views_.tree([](EditorObserver& o) { o.manyExpansionsChanged(); });
}

void DocumentChanges::expandSubtree(Topic* top) {
    // In tree order: each Topic's rows come in once its folded ancestors are open.
    for (Topic* t : rows_.foldedTopics(top)) {
        setExpanded(t, true);
    }
}

void DocumentChanges::applyTrashRule(Topic* t) {
    if (t && (t->icon == kIconTrash || t->icon == kIconTrashFull)) {
        setIcon(t, t->items.empty() ? kIconTrash : kIconTrashFull);
    }
}

void DocumentChanges::swapCaption(Topic* t, Caption& other) {
    std::swap(t->caption, other);
    index_.captionChanged(other.view(), t->caption.view());
    session_.noteTextChange();
    views_.tree([&](EditorObserver& o) { o.topicChanged(t); });
}

void DocumentChanges::swapIcon(Topic* t, int& other) {
    std::swap(t->icon, other);
    views_.tree([&](EditorObserver& o) { o.topicChanged(t); });
}

void DocumentChanges::swapExpanded(Topic* t, bool& other) {
    bool expanded = std::exchange(other, bool{t->expanded});
    if (expanded != t->expanded) {
        changeExpansion(t, expanded);
    }
}

}  // namespace brenvale

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

// ---- Items

std::optional<size_t> DocumentChanges::shownRow(const Topic* t, size_t row) const {
    return shown(t) ? list_.rowOfItem(row) : std::nullopt;
}

// Puts count Items into t's list from row on (insert does it), and tells of them.
void DocumentChanges::insertStored(Topic* t, size_t row, size_t count,
                                   const std::function<void(ItemList&)>& insert) {
    bool visible = shown(t);
    size_t firstRow = visible ? list_.insertionRow(row) : 0;
    if (visible) {
        views_.list([&](EditorObserver& o) { o.beginInsertItems(firstRow, firstRow + count - 1); });
    }
    insert(t->items);
    session_.noteTextChange();
    if (visible) {
        list_.itemsInserted(row, count);
        for (size_t r = firstRow; r < firstRow + count; ++r) {
            list_.textArrived(r);
        }
    }
    record(std::make_unique<ItemPlacement>(t, row, count));
    progress_.itemsAdded(t, row, count);
    index_.itemsAdded(*t, row, count);
    applyTrashRule(t);
    if (visible) {
        list_.updateExtent();
        views_.list([](EditorObserver& o) { o.endInsertItems(); });
    }
}

void DocumentChanges::insertItems(Topic* t, size_t row,
                                  const std::vector<std::string_view>& texts) {
    if (texts.empty()) {
        return;
    }
    insertStored(t, row, texts.size(), [&](ItemList& items) {
        items.reserve(items.size() + texts.size());
        for (size_t i = 0; i < texts.size(); ++i) {
            items.insert(row + i, kUncheckedMark, texts[i]);
        }
    });
}

void DocumentChanges::insertItem(Topic* t, size_t row, std::string_view mark,
                                 std::string_view text) {
    insertStored(t, row, 1, [&](ItemList& items) { items.insert(row, mark, text); });
}

void DocumentChanges::eraseItem(Topic* t, size_t row) {
    std::optional<size_t> visibleRow = shownRow(t, row);
    if (visibleRow) {
        list_.textLeaving(*visibleRow);
        views_.list([&](EditorObserver& o) { o.beginRemoveItem(*visibleRow); });
    }
    progress_.itemLeaving(t, row);
    index_.itemLeaving(*t, row);
    TextRef ref = t->items.take(row);
    session_.noteTextChange();
    bool moved = shown(t) && list_.itemRemoved(row);
    if (visibleRow) {
        views_.list([](EditorObserver& o) { o.endRemoveItem(); });
    }
    if (moved) {
        views_.all([](EditorObserver& o) { o.selectedRowChanged(); });
    }
    record(std::make_unique<ItemPlacement>(t, row, ref));
    applyTrashRule(t);
    if (shown(t)) {
        list_.updateExtent();
    }
}

void DocumentChanges::moveItem(Topic* t, size_t from, size_t to) {
    if (from == to) {
        return;
    }
    // Rows told only when the Item shows and its row moves: over hidden Items alone it keeps
    // its row.
    std::optional<std::pair<size_t, size_t>> rows;
    if (shown(t)) {
        rows = list_.rowsOfMove(from, to);
        if (rows && rows->first == rows->second) {
            rows.reset();
        }
    }
    if (rows) {
        views_.list([&](EditorObserver& o) { o.beginMoveItem(rows->first, rows->second); });
    }
    t->items.move(from, to);
    session_.noteTextChange();
    if (shown(t)) {
        list_.itemMoved(from, to);
    }
    if (rows) {
        views_.list([](EditorObserver& o) { o.endMoveItem(); });
    }
    record(std::make_unique<ItemMove>(t, from, to));
}

// Item row has a new stored form; the record keeps the one before. The views hear of it when
// it shows differently.
void DocumentChanges::changeItem(Topic* t, size_t row, TextRef before, bool looksChanged,
                                 bool textChanged) {
    if (t->items.ref(row) == before) {
        return;
    }
    if (textChanged) {
        session_.noteTextChange();
    }
    if (std::optional<size_t> visibleRow = shownRow(t, row)) {
        if (looksChanged) {
            views_.list([&](EditorObserver& o) { o.itemsChanged(*visibleRow, *visibleRow); });
        }
        list_.itemChanged(row);
    }
    record(std::make_unique<ItemFormChange>(t, row, before));
}

void DocumentChanges::setItem(Topic* t, size_t row, std::string_view mark, std::string_view text) {
    TextRef before = t->items.ref(row);
    Progress share = progress_.itemShare(*t, row);
    std::optional<size_t> visibleRow = shownRow(t, row);
    if (visibleRow) {
        list_.textLeaving(*visibleRow);
    }
    t->items.set(row, mark, text);
    index_.itemReplaced(*t, before, t->items.ref(row));
    if (visibleRow) {
        list_.textArrived(*visibleRow);
        list_.updateExtent();
    }
    progress_.itemChanged(t, row, share);
    changeItem(t, row, before, true, true);
}

void DocumentChanges::setChecked(Topic* t, size_t row, bool checked) {
    TextRef before = t->items.ref(row);
    Progress share = progress_.itemShare(*t, row);
    // Marks read from a file are rewritten as "■" or "□"; only a new tick shows.
    bool was = std::as_const(t->items)[row].checked();
    t->items[row].setChecked(checked);
    index_.itemReplaced(*t, before, t->items.ref(row));
    progress_.itemChanged(t, row, share);
    changeItem(t, row, before, was != checked, false);
}

void DocumentChanges::reorderItems(Topic* t, const std::vector<uint32_t>& order) {
    ItemList& items = t->items;
    bool moves = false;
    std::vector<TextRef> refs(order.size());
    for (size_t k = 0; k < order.size(); ++k) {
        refs[k] = items.ref(order[k]);
        moves = moves || order[k] != k;
    }
    if (!moves || order.size() != items.size()) {
        return;
    }
    bool visible = shown(t);
    if (visible) {
        views_.list([](EditorObserver& o) { o.beginResetList(); });
    }
    for (size_t k = 0; k < refs.size(); ++k) {
        items.setRef(k, refs[k]);
    }
    session_.noteTextChange();
    if (visible) {
        list_.itemsReordered(order);
        views_.list([](EditorObserver& o) { o.endResetList(); });
        views_.all([](EditorObserver& o) { o.selectedRowChanged(); });
    }
    record(std::make_unique<ItemOrder>(t, order));
}

void DocumentChanges::putItemRef(Topic* t, size_t row, TextRef ref) {
    t->items.insertRef(row, ref);
    session_.noteTextChange();
    progress_.itemsAdded(t, row, 1);
    index_.itemsAdded(*t, row, 1);
}

TextRef DocumentChanges::takeItemRef(Topic* t, size_t row) {
    progress_.itemLeaving(t, row);
    index_.itemLeaving(*t, row);
    session_.noteTextChange();
    return t->items.take(row);
}

void DocumentChanges::swapItemRef(Topic* t, size_t row, TextRef& other) {
    Progress share = progress_.itemShare(*t, row);
    TextRef current = t->items.ref(row);
    t->items.setRef(row, other);
    index_.itemReplaced(*t, current, other);
    other = current;
    session_.noteTextChange();
    progress_.itemChanged(t, row, share);
}

}  // namespace brenvale

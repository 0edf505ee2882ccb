// DocumentChanges: the changes of Topics' lists of Items.
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

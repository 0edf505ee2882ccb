// Dragging Topics in the tree and Items in the list or onto another Topic.
#include "common/cp932.h"
#include "document/tree_clipboard.h"
#include "editor/command_handlers.h"
#include "editor/document_changes.h"
#include "editor/document_session.h"
#include "editor/drag_state.h"
#include "editor/hint_panel.h"
#include "editor/undo_scope.h"

namespace brenvale {

namespace {

constexpr const char* kDropInstruction = "移動先にドロップして下さい (Escキーでキャンセル)";

void SetInsertionRow(MoveParts p, int row) {
    if (row != p.drag.insertionRow) {
        int previous = p.drag.insertionRow;
        p.drag.insertionRow = row;
        p.views.all([&](EditorObserver& o) { o.insertionRowChanged(previous); });
    }
}

// Moves s to the place the zone names; false when there is no such place or it lies inside
// s's own subtree.
bool PlaceTopic(MoveParts p, Topic* s, TopicDropZone zone, Topic* under) {
    Topic* parent = nullptr;
    size_t row = 0;
    switch (zone) {
        case TopicDropZone::OnTopic:
            parent = under;
            row = under->childCount();
            break;
        case TopicDropZone::ButtonOrRight:
            parent = under;
            row = 0;
            break;
        case TopicDropZone::Indent:
            parent = under->parent();
            row = under->row();
            break;
        case TopicDropZone::BelowAll:
            parent = nullptr;
            row = p.doc().topLevelCount();
            break;
        case TopicDropZone::Outside:
            return false;
    }
    if (parent == s || (parent && s->isAncestorOf(parent))) {
        return false;
    }
    // Rows count after s has left its place.
    if (s->parent() == parent && s->row() < row) {
        --row;
    }
    MoveTopicKeepingExpansion(p, s, parent, row);
    return true;
}

void DropTopic(MoveParts p, TopicDropZone zone, Topic* under) {
    Topic* s = p.selection.topic();
    if (!s || p.doc().topicCount() < 2) {
        return;
    }
    if (zone != TopicDropZone::BelowAll && zone != TopicDropZone::Outside && !under) {
        return;
    }
    UndoScope step(p, "ツリー移動");
    if (under == s || !PlaceTopic(p, s, zone, under)) {
        return;
    }
    p.session.setModified(true);
}

// row: the row at the drop point, rowCount() below the last Item, -1 outside the list.
void DropItemInList(MoveParts p, int row) {
    if (!p.list.hasSelectedItem() || row < 0) {
        return;
    }
    int count = static_cast<int>(p.list.rowCount());
    int target = row > count - 1 ? count - 1 : row;
    if (target == p.list.selectedRow()) {
        return;
    }
    UndoScope step(p, "チェックリスト移動");
    p.list.store(p.changes);
    // The Item lands between the rows it was dropped between, past the hidden Items there.
    size_t to = p.list.itemOfRow(static_cast<size_t>(target));
    p.changes.moveItem(p.selection.topic(), static_cast<size_t>(p.list.selectedItem()), to);
    p.list.selectItem(static_cast<long>(to));
    p.list.store(p.changes);
    p.session.setModified(true);
}

void DropItemOnTopic(MoveParts p, Topic* topic) {
    if (!topic || topic == p.selection.topic() || !p.list.hasSelectedItem()) {
        return;
    }
    UndoScope step(p, "チェックリスト移動");
    size_t row = static_cast<size_t>(p.list.selectedRow());
    std::string text(p.list.rowText(row));
    bool checked = p.list.rowChecked(row);
    ListDelExecute(p);
    ShowSelectedTopic(p, topic);
    size_t last = topic->items.size();
    Item item = Item::Unchecked(text);
    item.setChecked(checked);
    p.changes.insertItem(topic, last, item.mark(), item.text());
    p.list.selectItem(static_cast<long>(last));
    p.list.store(p.changes);
}

}  // namespace

int InsertionRow(int hovered, int dragged, int count) {
    int row = hovered;
    if (row >= dragged) {
        ++row;
    }
    return row > count ? count : row;
}

void BeginDrag(MoveParts p, DragKind kind) {
    p.drag.kind = kind;
    if (kind == DragKind::Topic) {
        Topic* t = p.selection.topic();
        std::string caption = t ? Cp932ToUtf8(t->caption) : std::string();
        p.hint.show("[\"" + caption + "\" 移動中] " + kDropInstruction);
    } else {
        p.hint.show(std::string("[チェックリスト 移動中] ") + kDropInstruction);
    }
}

void EndDrag(MoveParts p) {
    p.drag.kind = DragKind::None;
    SetInsertionRow(p, -1);
    p.hint.show("");
}

std::string DragText(MoveParts p) {
    if (p.drag.kind == DragKind::Topic && p.selection.topic()) {
        return BuildTreeClipboardText(*p.selection.topic());
    }
    if (p.drag.kind == DragKind::Item && p.list.hasSelectedItem()) {
        return std::string(p.list.rowText(static_cast<size_t>(p.list.selectedRow())));
    }
    return {};
}

bool TreeDragOver(MoveParts p) {
    SetInsertionRow(p, -1);
    return p.drag.active();
}

bool ListDragOver(MoveParts p, int pointerRow) {
    if (p.drag.kind != DragKind::Item) {
        return false;
    }
    if (pointerRow >= 0 && p.list.hasSelectedItem()) {
        SetInsertionRow(
            p, InsertionRow(pointerRow, p.list.selectedRow(), static_cast<int>(p.list.rowCount())));
    }
    return true;
}

void DropOnTree(MoveParts p, TopicDropZone zone, Topic* under) {
    if (p.drag.kind == DragKind::Topic) {
        DropTopic(p, zone, under);
    } else if (p.drag.kind == DragKind::Item) {
        bool onRow = zone != TopicDropZone::BelowAll && zone != TopicDropZone::Outside;
        DropItemOnTopic(p, onRow ? under : nullptr);
    }
}

void DropOnList(MoveParts p, int pointerRow) {
    if (p.drag.kind == DragKind::Item) {
        DropItemInList(p, pointerRow);
    }
}

}  // namespace brenvale

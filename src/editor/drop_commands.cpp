// Dragging Topics in the tree and Items in the list or onto another Topic.
#include "common/cp932.h"
#include "document/tree_clipboard.h"
#include "editor/editor.h"
#include "editor/editor_scopes.h"

namespace brenvale {

namespace {

constexpr const char* kDropInstruction = "移動先にドロップして下さい (Escキーでキャンセル)";

}  // namespace

void Editor::BeginTopicDrag() {
    drag_ = DragKind::Topic;
    std::string caption = selected_ ? Cp932ToUtf8(selected_->caption) : std::string();
    setHintPanel("[\"" + caption + "\" 移動中] " + kDropInstruction);
}

void Editor::BeginItemDrag() {
    drag_ = DragKind::Item;
    setHintPanel(std::string("[チェックリスト 移動中] ") + kDropInstruction);
}

void Editor::EndDrag() {
    drag_ = DragKind::None;
    setInsertionRow(-1);
    setHintPanel("");
}

std::string Editor::dragText() const {
    if (drag_ == DragKind::Topic && selected_) {
        return BuildTreeClipboardText(*selected_);
    }
    if (drag_ == DragKind::Item && hasSelectedItem()) {
        return std::string(rowText(static_cast<size_t>(selectedRow_)));
    }
    return {};
}

void Editor::setInsertionRow(int row) {
    if (row != insertionRow_) {
        int previous = insertionRow_;
        insertionRow_ = row;
        notify([&](EditorObserver& o) { o.insertionRowChanged(previous); });
    }
}

bool Editor::TreeDragOver() {
    setInsertionRow(-1);
    return dragging();
}

bool Editor::ListDragOver(int pointerRow) {
    if (drag_ != DragKind::Item) {
        return false;
    }
    if (pointerRow >= 0 && hasSelectedItem()) {
        setInsertionRow(InsertionRow(pointerRow, selectedRow_, static_cast<int>(rowCount())));
    }
    return true;
}

void Editor::DropOnTree(TopicDropZone zone, Topic* under) {
    if (drag_ == DragKind::Topic) {
        DropTopic(zone, under);
    } else if (drag_ == DragKind::Item) {
        bool onRow = zone != TopicDropZone::BelowAll && zone != TopicDropZone::Outside;
        DropItemOnTopic(onRow ? under : nullptr);
    }
}

void Editor::DropOnList(int pointerRow) {
    if (drag_ == DragKind::Item) {
        DropItemInList(pointerRow);
    }
}

// Moves s to the place the zone names; false when there is no such place or it lies inside
// s's own subtree.
bool Editor::placeTopic(Topic* s, TopicDropZone zone, Topic* under) {
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
            row = doc_->topLevelCount();
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
    moveKeepingExpansion(s, parent, row);
    return true;
}

void Editor::DropTopic(TopicDropZone zone, Topic* under) {
    Topic* s = selected_;
    if (!s || doc_->topicCount() < 2) {
        return;
    }
    if (zone != TopicDropZone::BelowAll && zone != TopicDropZone::Outside && !under) {
        return;
    }
    UndoScope step(*this, "ツリー移動");
    if (under == s || !placeTopic(s, zone, under)) {
        return;
    }
    SetModified(true);
    RefreshTreeCommands();
}

int Editor::InsertionRow(int hovered, int dragged, int count) {
    int row = hovered;
    if (row >= dragged) {
        ++row;
    }
    return row > count ? count : row;
}

void Editor::DropItemInList(int row) {
    if (!hasSelectedItem() || row < 0) {
        return;
    }
    int count = static_cast<int>(rowCount());
    int target = row > count - 1 ? count - 1 : row;
    size_t from = static_cast<size_t>(selectedRow_);
    if (target == selectedRow_) {
        return;
    }
    UndoScope step(*this, "チェックリスト移動");
    storeList();
    size_t to = static_cast<size_t>(target);
    notify([&](EditorObserver& o) { o.beginMoveItem(from, to); });
    changes_.moveItem(selected_, from, to);
    notify([](EditorObserver& o) { o.endMoveItem(); });
    setSelectedRow(target);
    storeList();
    SetModified(true);
    RefreshListCommands();
}

void Editor::DropItemOnTopic(Topic* topic) {
    if (!topic || topic == selected_ || !hasSelectedItem()) {
        return;
    }
    UndoScope step(*this, "チェックリスト移動");
    size_t row = static_cast<size_t>(selectedRow_);
    std::string text(rowText(row));
    bool checked = rowChecked(row);
    ListDelExecute();
    selectionChanged(topic);
    size_t last = rowCount();
    notify([&](EditorObserver& o) { o.beginInsertItems(last, last); });
    Item item = Item::Unchecked(text);
    item.setChecked(checked);
    changes_.insertItem(topic, last, item.mark(), item.text());
    widths_.add(measure_(text));
    notify([](EditorObserver& o) { o.endInsertItems(); });
    setSelectedRow(static_cast<int>(last));
    storeList();
    RefreshListCommands();
    UpdateListExtent();
}

}  // namespace brenvale

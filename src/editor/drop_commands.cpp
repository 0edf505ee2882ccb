// Dragging Topics in the tree and Items in the list or onto another Topic.
#include "common/cp932.h"
#include "editor/editor.h"

namespace brenvale {

namespace {

constexpr const char* kDropInstruction = "移動先にドロップして下さい (Escキーでキャンセル)";

}  // namespace

void Editor::BeginTopicDrag() {
    dragging_ = true;
    std::string caption = selected_ ? Cp932ToUtf8(selected_->caption) : std::string();
    setHintPanel("[\"" + caption + "\" 移動中] " + kDropInstruction);
}

void Editor::BeginItemDrag() {
    dragging_ = true;
    setHintPanel(std::string("[チェックリスト 移動中] ") + kDropInstruction);
}

void Editor::EndDrag() {
    dragging_ = false;
    setHintPanel("");
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
    storeList();
    size_t to = static_cast<size_t>(target);
    notify([&](EditorObserver& o) { o.beginMoveItem(from, to); });
    selected_->items.move(from, to);
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
    size_t row = static_cast<size_t>(selectedRow_);
    std::string text(rowText(row));
    bool checked = rowChecked(row);
    ListDelExecute();
    selectionChanged(topic);
    size_t last = rowCount();
    notify([&](EditorObserver& o) { o.beginInsertItems(last, last); });
    Item item = Item::Unchecked(text);
    item.setChecked(checked);
    topic->items.push_back(std::move(item));
    widths_.add(measure_(text));
    notify([](EditorObserver& o) { o.endInsertItems(); });
    setSelectedRow(static_cast<int>(last));
    storeList();
    RefreshListCommands();
    UpdateListExtent();
}

}  // namespace brenvale

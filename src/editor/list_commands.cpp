// The commands that change the selected Topic's check list.
#include <utility>
#include <vector>

#include "document/safe_text.h"
#include "editor/editor.h"
#include "editor/editor_scopes.h"

namespace brenvale {

namespace {

constexpr const char* kNoTopicMessage = "先にツリーを作成して下さい。";
constexpr const char* kSplitQuestion =
    "改行文字が含まれています。\nそれぞれ別々のチェックリストを作成しますか？";

// The pieces of a text cut at every CR LF, the piece after the last one included.
std::vector<std::string_view> SplitAtCrLf(std::string_view text) {
    std::vector<std::string_view> pieces;
    size_t start = 0;
    for (size_t pos; (pos = text.find("\r\n", start)) != std::string_view::npos; start = pos + 2) {
        pieces.push_back(text.substr(start, pos - start));
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

}  // namespace

bool Editor::requireTopicForList() {
    if (selected_) {
        return true;
    }
    host_.ShowMessageBox(kNoTopicMessage, MessageKind::Information, MessageButtons::Ok);
    return false;
}

// The insert rule: a new unchecked Item directly after the selected row (at the end when no
// row is selected) becomes the selected row.
void Editor::insertRow(std::string_view text) {
    storeList();
    ItemList& items = selected_->items;
    size_t row = selectedRow_ < 0 ? items.size() : static_cast<size_t>(selectedRow_) + 1;
    std::string safe = FileSafeText(text);
    if (bulkList_ == 0) {
        notify([&](EditorObserver& o) { o.beginInsertItems(row, row); });
    }
    changes_.insertItem(selected_, row, kUncheckedMark, safe);
    widths_.add(measure_(safe));
    if (bulkList_ == 0) {
        notify([](EditorObserver& o) { o.endInsertItems(); });
    }
    setSelectedRow(static_cast<int>(row));
}

void Editor::singleAdd(std::string_view text) {
    insertRow(text);
    storeList();
    setEditText(EditBox::List, "");
    UpdateListExtent();
    SetModified(true);
}

// Adds each non-empty piece by the insert rule, one after the other; the views hear of them
// as one block of rows.
void Editor::addPieces(const std::vector<std::string_view>& all) {
    BusyScope busy(host_);
    std::vector<std::string_view> pieces;
    pieces.reserve(all.size());
    for (std::string_view piece : all) {
        if (!piece.empty()) {
            pieces.push_back(piece);
        }
    }
    if (!pieces.empty()) {
        storeList();
        ItemList& items = selected_->items;
        size_t first = selectedRow_ < 0 ? items.size() : static_cast<size_t>(selectedRow_) + 1;
        size_t last = first + pieces.size() - 1;
        if (bulkList_ == 0) {
            notify([&](EditorObserver& o) { o.beginInsertItems(first, last); });
        }
        items.reserve(items.size() + pieces.size());
        size_t row = first;
        for (std::string_view piece : pieces) {
            // The list makes the text file-safe as it takes it.
            changes_.insertItem(selected_, row, kUncheckedMark, piece);
            widths_.add(measure_(std::as_const(items)[row++].text()));
        }
        if (bulkList_ == 0) {
            notify([](EditorObserver& o) { o.endInsertItems(); });
        }
        setSelectedRow(static_cast<int>(last));
        UpdateListExtent();
        SetModified(true);
    }
    setEditText(EditBox::List, "");
}

void Editor::ListAddExecute() {
    std::string text = listEdit_;
    if (text.empty()) {
        return;
    }
    if (!requireTopicForList()) {
        return;
    }
    UndoScope step(*this, CommandId::ListAdd);
    if (text.find("\r\n") != std::string::npos) {
        MessageAnswer answer = host_.ShowMessageBox(kSplitQuestion, MessageKind::Information,
                                                    MessageButtons::YesNoCancel);
        if (answer == MessageAnswer::Yes) {
            addPieces(SplitAtCrLf(text));
            return;
        }
        if (answer != MessageAnswer::No) {
            return;
        }
    }
    singleAdd(text);
}

void Editor::ListDelExecute() {
    if (!hasSelectedItem()) {
        return;
    }
    UndoScope step(*this, CommandId::ListDel);
    storeList();
    size_t row = static_cast<size_t>(selectedRow_);
    ItemList& items = selected_->items;
    widths_.remove(measure_(items[row].text()));
    notify([&](EditorObserver& o) { o.beginRemoveItem(row); });
    changes_.eraseItem(selected_, row);
    int next = static_cast<int>(row) - 1;
    if (next < 0 && !items.empty()) {
        next = 0;
    }
    selectedRow_ = next;
    notify([](EditorObserver& o) { o.endRemoveItem(); });
    notify([](EditorObserver& o) { o.selectedRowChanged(); });
    storeList();
    setEditText(EditBox::List, "");
    RefreshListCommands();
    UpdateListExtent();
    SetModified(true);
}

void Editor::ListMoveUpExecute() {
    if (selectedRow_ < 1 || !hasSelectedItem()) {
        return;
    }
    UndoScope step(*this, CommandId::ListMoveUp);
    storeList();
    size_t row = static_cast<size_t>(selectedRow_);
    notify([&](EditorObserver& o) { o.beginMoveItem(row, row - 1); });
    changes_.moveItem(selected_, row, row - 1);
    notify([](EditorObserver& o) { o.endMoveItem(); });
    setSelectedRow(static_cast<int>(row) - 1);
    storeList();
    RefreshListCommands();
    SetModified(true);
}

void Editor::ListMoveDownExecute() {
    if (!hasSelectedItem() || static_cast<size_t>(selectedRow_) + 2 > rowCount()) {
        return;
    }
    UndoScope step(*this, CommandId::ListMoveDown);
    storeList();
    size_t row = static_cast<size_t>(selectedRow_);
    notify([&](EditorObserver& o) { o.beginMoveItem(row, row + 1); });
    changes_.moveItem(selected_, row, row + 1);
    notify([](EditorObserver& o) { o.endMoveItem(); });
    setSelectedRow(static_cast<int>(row) + 1);
    storeList();
    RefreshListCommands();
    SetModified(true);
}

void Editor::ListUpExecute() {
    if (!hasSelectedItem()) {
        return;
    }
    setEditText(EditBox::List, std::string(rowText(static_cast<size_t>(selectedRow_))));
    host_.FocusEditBox(EditBox::List);
    RefreshListCommands();
}

void Editor::setRowText(size_t row, std::string_view text) {
    storeList();
    ItemList& items = selected_->items;
    widths_.remove(measure_(items[row].text()));
    std::string safe = FileSafeText(text);
    changes_.setItem(selected_, row, kUncheckedMark, safe);
    widths_.add(measure_(safe));
    notify([&](EditorObserver& o) { o.itemsChanged(row, row); });
}

void Editor::ListDownExecute() {
    if (!hasSelectedItem()) {
        return;
    }
    UndoScope step(*this, CommandId::ListDown);
    setRowText(static_cast<size_t>(selectedRow_), listEdit_);
    storeList();
    setEditText(EditBox::List, "");
    RefreshListCommands();
    UpdateListExtent();
    SetModified(true);
}

void Editor::ListAddLineExecute() {
    if (!settings_.separatorItems) {
        return;
    }
    if (!requireTopicForList()) {
        return;
    }
    UndoScope step(*this, CommandId::ListAddLine);
    insertRow("-");
    storeList();
    RefreshListCommands();
    UpdateListExtent();
    SetModified(true);
}

void Editor::ListChkBoxExecute() {
    if (!settings_.noBoxItems || !hasSelectedItem()) {
        return;
    }
    UndoScope step(*this, CommandId::ListChkBox);
    size_t row = static_cast<size_t>(selectedRow_);
    std::string_view text = rowText(row);
    std::string switched = !text.empty() && text.front() == '-' ? std::string(text.substr(1))
                                                                : "-" + std::string(text);
    setRowText(row, switched);
    storeList();
    UpdateListExtent();
    RefreshListCommands();
    SetModified(true);
}

void Editor::ListCopyExecute() {
    if (hasSelectedItem()) {
        host_.SetClipboardText(std::string(rowText(static_cast<size_t>(selectedRow_))));
    }
}

void Editor::ListCutExecute() {
    if (hasSelectedItem()) {
        UndoScope step(*this, CommandId::ListCut);
        ListCopyExecute();
        ListDelExecute();
    }
}

void Editor::ListPasteExecute() {
    if (!host_.ClipboardHasText()) {
        host_.Beep();
        return;
    }
    UndoScope step(*this, CommandId::ListPaste);
    setEditText(EditBox::List, host_.ClipboardText());
    ListAddExecute();
}

}  // namespace brenvale

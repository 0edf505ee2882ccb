// The commands that change the selected Topic's check list.
#include <utility>
#include <vector>

#include "common/check_mark.h"
#include "document/safe_text.h"
#include "document/topic.h"
#include "editor/bulk_build.h"
#include "editor/command_handlers.h"
#include "editor/document_changes.h"
#include "editor/document_session.h"
#include "editor/undo_scope.h"

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

bool RequireTopicForList(ListParts p) {
    if (p.selection.topic()) {
        return true;
    }
    p.host.ShowMessageBox(kNoTopicMessage, MessageKind::Information, MessageButtons::Ok);
    return false;
}

size_t SelectedRow(ListParts p) {
    return static_cast<size_t>(p.list.selectedRow());
}

// The Item the selected row shows.
size_t SelectedItem(ListParts p) {
    return static_cast<size_t>(p.list.selectedItem());
}

// The insert rule: new unchecked Items directly after the selected row's Item (at the end
// when no row is selected); the last of them becomes the selected row.
void InsertRows(ListParts p, const std::vector<std::string_view>& texts) {
    p.list.store(p.changes);
    Topic* t = p.selection.topic();
    size_t item = p.list.hasSelectedItem() ? SelectedItem(p) + 1 : t->items.size();
    p.changes.insertItems(t, item, texts);
    p.list.selectItem(static_cast<long>(item + texts.size() - 1));
}

void SingleAdd(ListParts p, std::string_view typed) {
    std::string text = CommitDateWords(p, typed);
    InsertRows(p, {text});
    p.list.store(p.changes);
    p.selection.setText(EditBox::List, "");
    p.session.setModified(true);
}

// Adds each non-empty piece by the insert rule, one after the other, as one block of rows.
void AddPieces(ListParts p, const std::vector<std::string_view>& all) {
    BusyScope busy(p.host);
    std::vector<std::string> committed;
    committed.reserve(all.size());
    for (std::string_view piece : all) {
        if (!piece.empty()) {
            committed.push_back(CommitDateWords(p, piece));
        }
    }
    std::vector<std::string_view> pieces(committed.begin(), committed.end());
    if (!pieces.empty()) {
        InsertRows(p, pieces);
        p.session.setModified(true);
    }
    p.selection.setText(EditBox::List, "");
}

// Gives a row's Item a new text, unchecked.
void SetRowText(ListParts p, size_t row, std::string_view text) {
    p.list.store(p.changes);
    p.changes.setItem(p.selection.topic(), p.list.itemOfRow(row), kUncheckedMark,
                      FileSafeText(text));
}

// Moves the selected row's Item to the place of the Item of row toRow: the hidden Items
// between them are stepped over.
void MoveSelectedRow(ListParts p, CommandId id, size_t toRow) {
    UndoScope step(p, id);
    p.list.store(p.changes);
    size_t to = p.list.itemOfRow(toRow);
    p.changes.moveItem(p.selection.topic(), SelectedItem(p), to);
    p.list.selectItem(static_cast<long>(to));
    p.list.store(p.changes);
    p.session.setModified(true);
}

}  // namespace

void ListAddExecute(ListParts p) {
    std::string text = p.selection.text(EditBox::List);
    if (!RequireTopicForList(p)) {
        return;
    }
    UndoScope step(p, CommandId::ListAdd);
    if (text.find("\r\n") != std::string::npos) {
        MessageAnswer answer = p.host.ShowMessageBox(kSplitQuestion, MessageKind::Information,
                                                     MessageButtons::YesNoCancel);
        if (answer == MessageAnswer::Yes) {
            AddPieces(p, SplitAtCrLf(text));
            return;
        }
        if (answer != MessageAnswer::No) {
            return;
        }
    }
    SingleAdd(p, text);
}

void ListDelExecute(ListParts p) {
    UndoScope step(p, CommandId::ListDel);
    p.list.store(p.changes);
    // The row before becomes the selected one (row 0 when it was the first).
    p.changes.eraseItem(p.selection.topic(), SelectedItem(p));
    p.list.store(p.changes);
    p.selection.setText(EditBox::List, "");
    p.session.setModified(true);
}

void ListMoveUpExecute(ListParts p) {
    MoveSelectedRow(p, CommandId::ListMoveUp, SelectedRow(p) - 1);
}

void ListMoveDownExecute(ListParts p) {
    MoveSelectedRow(p, CommandId::ListMoveDown, SelectedRow(p) + 1);
}

void ListReEditExecute(ListParts p) {
    p.selection.setText(EditBox::List, std::string(p.list.rowText(SelectedRow(p))));
    p.host.FocusEditBox(EditBox::List);
}

void ListReplaceExecute(ListParts p) {
    UndoScope step(p, CommandId::ListReplace);
    SetRowText(p, SelectedRow(p), CommitDateWords(p, p.selection.text(EditBox::List)));
    p.list.store(p.changes);
    p.selection.setText(EditBox::List, "");
    p.session.setModified(true);
}

void ListAddLineExecute(ListParts p) {
    if (!RequireTopicForList(p)) {
        return;
    }
    UndoScope step(p, CommandId::ListAddLine);
    InsertRows(p, {"-"});
    p.list.store(p.changes);
    p.session.setModified(true);
}

void ListChkBoxExecute(ListParts p) {
    UndoScope step(p, CommandId::ListChkBox);
    size_t row = SelectedRow(p);
    std::string_view text = p.list.rowText(row);
    std::string switched = !text.empty() && text.front() == '-' ? std::string(text.substr(1))
                                                                : "-" + std::string(text);
    SetRowText(p, row, switched);
    p.list.store(p.changes);
    p.session.setModified(true);
}

void UncheckAllExecute(ListParts p) {
    Topic* t = p.selection.topic();
    if (!t) {
        return;
    }
    UndoScope step(p, CommandId::UncheckAll);
    p.list.store(p.changes);
    bool changed = false;
    {
        // A long list is shown afresh once rather than row by row.
        BulkBuild bulk(p.host, p.views, false, true);
        for (size_t i = 0; i < t->items.size(); ++i) {
            ItemView item = std::as_const(t->items)[i];
            if (!item.checked()) {
                continue;
            }
            // The day it was done goes with the tick, as when its box is unticked.
            std::optional<TickedForm> form =
                p.settings.recordDoneDate ? FormAfterTick(p, item.text(), false) : std::nullopt;
            if (form) {
                p.changes.setItem(t, i, kUncheckedMark, form->text);
            } else {
                p.changes.setChecked(t, i, false);
            }
            changed = true;
        }
    }
    if (!changed) {
        return;
    }
    // The Items that were hidden are unchecked now: they show again.
    if (p.list.hiddenCount() > 0) {
        p.list.refilter();
    }
    p.session.setModified(true);
}

void ListEditInPlaceExecute(ListParts p) {
    p.host.EditRowInPlace(SelectedRow(p));
}

void StoreRowText(ListParts p, size_t row, std::string_view text) {
    Topic* t = p.selection.topic();
    if (!t || row >= p.list.rowCount()) {
        return;
    }
    std::string safe = FileSafeText(text);
    if (safe == p.list.rowText(row)) {
        return;
    }
    UndoScope step(p, CommandId::ListEditInPlace);
    p.list.store(p.changes);
    size_t item = p.list.itemOfRow(row);
    bool checked = std::as_const(t->items)[item].checked();
    p.changes.setItem(t, item, CheckMarkText(checked), safe);
    p.list.selectItem(static_cast<long>(item));
    p.list.store(p.changes);
    p.session.setModified(true);
}

void ToggleRowCheck(ListParts p, size_t row) {
    if (row >= p.list.rowCount() || TickWithForm(p, row)) {
        return;
    }
    p.list.tick(row);
    // An Item "-" is never stored by a tick, whatever the list settings say.
    if (p.list.hasSelectedItem() && p.list.rowText(SelectedRow(p)) != "-") {
        UndoScope step(p, "チェック切り替え");
        p.list.store(p.changes);
        p.session.setModified(true);
    }
}

}  // namespace brenvale

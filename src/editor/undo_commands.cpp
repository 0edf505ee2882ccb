// Undo and redo: the steps of the history replayed, with the selection of their time.
#include <string>

#include "editor/bulk_build.h"
#include "editor/command_handlers.h"
#include "editor/command_parts.h"
#include "editor/document_changes.h"
#include "editor/document_session.h"
#include "editor/drag_state.h"
#include "editor/hint_panel.h"
#include "editor/selection.h"
#include "editor/undo_history.h"
#include "editor/visible_list.h"

namespace brenvale {

namespace {

void Replay(UndoParts p, bool undo) {
    if (p.drag.active() || p.history.inStep()) {
        return;
    }
    std::string hint;
    UndoSelection selection;
    {
        BusyScope busy(p.host);
        // The list is loaded afresh afterwards; meanwhile it shows nothing the replay changes.
        p.list.clear();
        const UndoStep* step = undo ? p.history.undo(p.changes) : p.history.redo(p.changes);
        selection = undo ? step->before : step->after;
        hint = (undo ? "元に戻しました: " : "やり直しました: ") + step->name;
    }
    ShowSelectedTopic(p, selection.topic);
    if (!selection.topic) {
        p.selection.setText(EditBox::Tree, "");
    }
    if (selection.topic && selection.row >= 0 &&
        static_cast<size_t>(selection.row) < selection.topic->items.size()) {
        p.list.selectItem(selection.row);
    }
    p.list.updateExtent();
    p.session.setModified(!p.history.atSavedState());
    ShowHint(p, hint);
}

}  // namespace

void UndoExecute(UndoParts p) {
    Replay(p, true);
}

void RedoExecute(UndoParts p) {
    Replay(p, false);
}

}  // namespace brenvale

// Undo and redo: the steps of the history replayed, with the selection of their time.
#include <string>

#include "editor/editor.h"
#include "editor/editor_scopes.h"

namespace brenvale {

void Editor::UndoExecute() {
    replay(true);
}

void Editor::RedoExecute() {
    replay(false);
}

void Editor::replay(bool undo) {
    if (dragging() || history_.inStep()) {
        return;
    }
    if (undo ? !history_.canUndo() : !history_.canRedo()) {
        host_.Beep();
        return;
    }
    std::string hint;
    UndoSelection selection;
    {
        BusyScope busy(host_);
        // The list is loaded afresh afterwards; meanwhile it shows nothing the replay changes.
        clearVisibleList();
        const UndoStep* step = undo ? history_.undo(changes_) : history_.redo(changes_);
        selection = undo ? step->before : step->after;
        hint = (undo ? "元に戻しました: " : "やり直しました: ") + step->name;
    }
    selectionChanged(selection.topic);
    if (!selection.topic) {
        notify([](EditorObserver& o) { o.selectedTopicChanged(); });
        setEditText(EditBox::Tree, "");
    }
    if (selection.row >= 0 && static_cast<size_t>(selection.row) < rowCount()) {
        setSelectedRow(selection.row);
    }
    RefreshTreeCommands();
    UpdateListExtent();
    SetModified(!history_.atSavedState());
    SetHint(hint);
}

bool Editor::UndoKey(FocusArea area) {
    if (area != FocusArea::Tree && area != FocusArea::List) {
        return false;
    }
    UndoExecute();
    return true;
}

bool Editor::RedoKey(FocusArea area) {
    if (area != FocusArea::Tree && area != FocusArea::List) {
        return false;
    }
    RedoExecute();
    return true;
}

}  // namespace brenvale

// Cut, copy and paste of subtrees, and the keys the main window handles itself.
#include <unordered_set>

#include "document/tree_clipboard.h"
#include "editor/editor.h"
#include "editor/editor_scopes.h"

namespace brenvale {

void Editor::TreeCopyExecute() {
    if (selected_ && !doc_->empty()) {
        host_.SetClipboardText(BuildTreeClipboardText(*selected_));
    }
}

void Editor::TreeCutExecute() {
    if (selected_ && !doc_->empty()) {
        UndoScope step(*this, CommandId::TreeCut);
        TreeCopyExecute();
        DelTreeExecute();
    }
}

void Editor::TreePasteExecute() {
    if (!host_.ClipboardHasText()) {
        host_.Beep();
        return;
    }
    std::string text = host_.ClipboardText();
    UndoScope step(*this, CommandId::TreePaste);
    PasteResult pasted;
    {
        BulkBuild bulk(*this, true, true);
        Topic* current = selected_;
        size_t itemsBefore = current ? current->items.size() : 0;
        clearVisibleList();
        pasted = PasteTreeText(*doc_, current, text, topicImageCount());
        selected_ = pasted.current;
        recordPaste(pasted, current, itemsBefore);
    }
    Topic* show = pasted.lastTopLevel ? pasted.lastTopLevel : selected_;
    // The selection change runs even when the Topic shown was selected before the paste.
    selectionChanged(show);
    SetModified(true);
    RefreshListCommands();
}

// The paste only appends: Items to the Topic that was current, Topics as last children or
// siblings. The step takes out the new Topics that hang from Topics already there, in the
// order they came, and the Items appended to the current one.
void Editor::recordPaste(const PasteResult& pasted, Topic* current, size_t itemsBefore) {
    if (current && current->items.size() > itemsBefore) {
        changes_.itemsInserted(current, itemsBefore, current->items.size() - itemsBefore);
    }
    std::unordered_set<const Topic*> created(pasted.created.begin(), pasted.created.end());
    for (Topic* t : pasted.created) {
        if (!created.contains(t->parent())) {
            changes_.topicInserted(*t);
        }
    }
}

bool Editor::CopyKey(FocusArea area) {
    if (area == FocusArea::Tree) {
        TreeCopyExecute();
    } else if (area == FocusArea::List) {
        ListCopyExecute();
    }
    return area == FocusArea::Tree || area == FocusArea::List;
}

bool Editor::CutKey(FocusArea area) {
    if (area == FocusArea::Tree) {
        TreeCutExecute();
    } else if (area == FocusArea::List) {
        ListCutExecute();
    }
    return area == FocusArea::Tree || area == FocusArea::List;
}

bool Editor::PasteKey(FocusArea area) {
    if (area == FocusArea::Tree) {
        TreePasteExecute();
    } else if (area == FocusArea::List) {
        ListPasteExecute();
    }
    return area == FocusArea::Tree || area == FocusArea::List;
}

void Editor::F2Key(FocusArea area) {
    if (area == FocusArea::Tree || area == FocusArea::TreeEdit) {
        host_.FocusEditBox(EditBox::Tree);
    } else if (area == FocusArea::List || area == FocusArea::ListEdit) {
        ListUpExecute();
        host_.FocusEditBox(EditBox::List);
    }
}

void Editor::DeleteKey(FocusArea area) {
    if (area == FocusArea::Tree) {
        DelTreeExecute();
    } else if (area == FocusArea::List) {
        ListDelExecute();
    }
}

}  // namespace brenvale

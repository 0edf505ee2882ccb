// Cut, copy and paste of subtrees and of Items.
#include <new>

#include "document/tree_clipboard.h"
#include "editor/bulk_build.h"
#include "editor/command_handlers.h"
#include "editor/document_changes.h"
#include "editor/document_session.h"
#include "editor/undo_scope.h"

namespace brenvale {

void TreeCopyExecute(MoveParts p) {
    p.host.SetClipboardText(BuildTreeClipboardText(*p.selection.topic()));
}

void TreeCutExecute(MoveParts p) {
    UndoScope step(p, CommandId::TreeCut);
    TreeCopyExecute(p);
    DelTreeExecute(p);
}

void TreePasteExecute(MoveParts p) {
    PasteText(p, p.host.ClipboardText(), CommandId::TreePaste, false);
}

void PasteText(MoveParts p, std::string_view text, CommandId command, bool showFirst) {
    UndoScope step(p, command);
    PasteResult pasted;
    Topic* current = p.selection.topic();
    try {
        // The list is built anew; the tree hears of each new subtree.
        BulkBuild bulk(p.host, p.views, false, true);
        p.list.clear();
        pasted = p.changes.pasteTree(current, text, p.topicImageCount);
        p.selection.setTopic(pasted.current);
    } catch (const std::bad_alloc&) {
        // Nothing of the paste stays; the list shows the selected Topic again.
        ShowSelectedTopic(p, current);
        throw;
    }
    Topic* show = pasted.lastTopLevel ? pasted.lastTopLevel : p.selection.topic();
    if (showFirst) {
        for (Topic* t : pasted.created) {
            if (!t->parent()) {
                show = t;
                break;
            }
        }
    }
    // The selection change runs even when the Topic shown was selected before the paste.
    ShowSelectedTopic(p, show);
    p.session.setModified(true);
}

void ListCopyExecute(MoveParts p) {
    p.host.SetClipboardText(std::string(p.list.rowText(static_cast<size_t>(p.list.selectedRow()))));
}

void ListCutExecute(MoveParts p) {
    UndoScope step(p, CommandId::ListCut);
    ListCopyExecute(p);
    ListDelExecute(p);
}

void ListPasteExecute(MoveParts p) {
    UndoScope step(p, CommandId::ListPaste);
    p.selection.setText(EditBox::List, p.host.ClipboardText());
    // Text the clipboard offers may still be empty: nothing to add then.
    if (!p.selection.text(EditBox::List).empty()) {
        ListAddExecute(p);
    }
}

}  // namespace brenvale

// The commands that change the shape of the tree, a caption or an icon.
#include "common/cp932.h"
#include "document/model.h"
#include "document/safe_text.h"
#include "editor/command_handlers.h"
#include "editor/document_changes.h"
#include "editor/document_session.h"
#include "editor/tree_rows.h"
#include "editor/undo_scope.h"

namespace brenvale {

namespace {

void AddTopicCommand(TreeParts p, bool asChild) {
    UndoScope step(p, asChild ? CommandId::AddTreeChild : CommandId::AddTree);
    if (!p.selection.topic() && !p.doc().empty()) {
        SelectTopic(p, p.doc().first());
    }
    Topic& added =
        p.changes.addTopic(p.selection.topic(), asChild, kNewTopicCaption, 0, p.topicImageCount);
    ShowSelectedTopic(p, &added);
    p.host.FocusEditBox(EditBox::Tree);
    p.session.setModified(true);
}

// Moves t with its subtree as the last child of target, or directly after target (which
// must be t's parent); t stays in view.
void MoveTopic(TreeParts p, Topic* t, Topic* target, bool asChild) {
    if (!t || !target || t == target || t->isAncestorOf(target)) {
        return;
    }
    if (asChild) {
        size_t row = target->childCount() - (t->parent() == target ? 1 : 0);
        MoveTopicKeepingExpansion(p, t, target, row);
    } else {
        MoveTopicKeepingExpansion(p, t, target->parent(), target->row() + 1);
    }
    RevealTopic(p, t);
}

}  // namespace

void AddTreeExecute(TreeParts p) {
    AddTopicCommand(p, false);
}

void AddTreeChildExecute(TreeParts p) {
    AddTopicCommand(p, true);
}

void DelTreeExecute(TreeParts p) {
    Topic* t = p.selection.topic();
    std::string question =
        Cp932ToUtf8(t->caption) +
        (t->hasChildren() ? "から後ろの階層すべて削除されます。" : "を削除します。") +
        "\nよろしいですか？";
    if (p.host.ShowMessageBox(question, MessageKind::Information, MessageButtons::OkCancel) !=
        MessageAnswer::Ok) {
        return;
    }
    UndoScope step(p, CommandId::DelTree);
    // The neighbour is chosen here, whatever a tree widget would pick by itself.
    Topic* neighbour = t->nextSibling();
    if (!neighbour) {
        neighbour = t->parent();
    }
    if (!neighbour) {
        neighbour = t->previousSibling();
    }
    p.list.clear();
    // The step keeps the Topic with its subtree for an undo.
    p.changes.removeTopic(t);
    ShowSelectedTopic(p, neighbour);
    if (!neighbour) {
        p.selection.setText(EditBox::Tree, "");
        p.list.updateExtent();
    }
    p.session.setModified(true);
}

void MoveTopicKeepingExpansion(TreeParts p, Topic* t, Topic* parent, size_t row) {
    // Of all the states a snapshot of the tree would record, a move can change only those of
    // the moved Topic and of its new parent (a Topic without children is recorded as
    // expanded, so that the moved Topic stays in view); the rest of the tree is not walked.
    std::pair<Topic*, bool> kept[2];
    size_t count = 0;
    for (Topic* x : {t, parent}) {
        if (x) {
            kept[count++] = {x, x->hasChildren() ? x->expanded : true};
        }
    }
    p.changes.moveTopic(t, parent, row);
    for (size_t i = 0; i < count; ++i) {
        p.changes.setExpanded(kept[i].first, kept[i].second);
    }
}

void TreeRightExecute(TreeParts p) {
    UndoScope step(p, CommandId::TreeRight);
    Topic* t = p.selection.topic();
    Topic* target = t->previousSibling() ? t->previousSibling() : t->nextSibling();
    MoveTopic(p, t, target, true);
    p.session.setModified(true);
}

void TreeLeftExecute(TreeParts p) {
    UndoScope step(p, CommandId::TreeLeft);
    Topic* t = p.selection.topic();
    MoveTopic(p, t, t->parent(), false);
    p.session.setModified(true);
}

void TreeUpExecute(TreeParts p) {
    UndoScope step(p, CommandId::TreeUp);
    Topic* t = p.selection.topic();
    size_t before = p.rows.treeOrderIndex(t);
    MoveTopicKeepingExpansion(p, t, t->parent(), t->previousSibling()->row());
    if (p.rows.treeOrderIndex(t) != before) {
        p.session.setModified(true);
    }
}

void TreeDownExecute(TreeParts p) {
    UndoScope step(p, CommandId::TreeDown);
    Topic* t = p.selection.topic();
    size_t before = p.rows.treeOrderIndex(t);
    Topic* next = t->nextSibling();
    if (next && next->nextSibling()) {
        MoveTopicKeepingExpansion(p, t, t->parent(), t->row() + 1);
    } else {
        MoveTopicKeepingExpansion(p, t, t->parent(), p.doc().siblingCount(t->parent()) - 1);
    }
    if (p.rows.treeOrderIndex(t) != before) {
        p.session.setModified(true);
    }
}

void RenameSelectedTopic(TreeParts p, std::string text) {
    Topic* t = p.selection.topic();
    p.selection.typed(EditBox::Tree, std::move(text));
    const std::string& typed = p.selection.text(EditBox::Tree);
    if (!t || t->caption == typed) {
        return;
    }
    std::string caption = FileSafeCaption(typed);
    if (caption != typed) {
        // Show what will be saved: bytes a caption cannot carry are taken out at once.
        p.selection.setText(EditBox::Tree, caption);
    }
    if (t->caption != caption) {
        // The keystrokes of one rename of one Topic are one step.
        UndoScope step(p, "ツリー名変更", t);
        p.changes.setCaption(t, caption);
        p.session.setModified(true);
    }
}

void IconMenuClick(TreeParts p, int tag) {
    Topic* t = p.selection.topic();
    if (!t) {
        return;
    }
    UndoScope step(p, CommandId::ChgIcon);
    int before = t->icon;
    p.changes.setIcon(t, tag == 1 ? kIconFolder : tag);
    p.changes.applyTrashRule(t);
    if (t->icon != before) {
        p.session.setModified(true);
    }
}

}  // namespace brenvale

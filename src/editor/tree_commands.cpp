// The commands that change the shape of the tree, a caption or an icon.
#include "common/cp932.h"
#include "document/model.h"
#include "document/safe_text.h"
#include "editor/editor.h"
#include "editor/editor_scopes.h"

namespace brenvale {

void Editor::addTopicCommand(bool asChild) {
    UndoScope step(*this, asChild ? CommandId::AddTreeChild : CommandId::AddTree);
    if (!selected_ && !doc_->empty()) {
        SelectTopic(doc_->first());
    }
    Topic* reference = selected_;
    Topic* parent = asChild ? reference : (reference ? reference->parent() : nullptr);
    size_t row = doc_->siblingCount(parent);
    if (bulkTree_ == 0) {
        notify([&](EditorObserver& o) { o.beginInsertTopic(parent, row); });
    }
    Topic& added = asChild ? AddChildTopic(*doc_, reference, kNewTopicCaption, 0, topicImageCount())
                           : AddTopic(*doc_, reference, kNewTopicCaption, 0, topicImageCount());
    if (bulkTree_ == 0) {
        notify([](EditorObserver& o) { o.endInsertTopic(); });
    }
    changes_.topicInserted(added);
    selectionChanged(&added);
    host_.FocusEditBox(EditBox::Tree);
    SetModified(true);
}

void Editor::AddTreeExecute() {
    addTopicCommand(false);
}

void Editor::AddTreeChildExecute() {
    addTopicCommand(true);
}

void Editor::DelTreeExecute() {
    Topic* t = selected_;
    if (!t) {
        host_.Beep();
        return;
    }
    std::string question =
        Cp932ToUtf8(t->caption) +
        (t->hasChildren() ? "から後ろの階層すべて削除されます。" : "を削除します。") +
        "\nよろしいですか？";
    if (host_.ShowMessageBox(question, MessageKind::Information, MessageButtons::OkCancel) !=
        MessageAnswer::Ok) {
        return;
    }
    UndoScope step(*this, CommandId::DelTree);
    // The neighbour is chosen here, whatever a tree widget would pick by itself.
    Topic* neighbour = t->nextSibling();
    if (!neighbour) {
        neighbour = t->parent();
    }
    if (!neighbour) {
        neighbour = t->previousSibling();
    }
    clearVisibleList();
    // The step keeps the Topic with its subtree for an undo.
    changes_.removeTopic(t);
    if (neighbour) {
        selectionChanged(neighbour);
    } else {
        notify([](EditorObserver& o) { o.selectedTopicChanged(); });
        setEditText(EditBox::Tree, "");
        UpdateListExtent();
    }
    RefreshTreeCommands();
    SetModified(true);
}

void Editor::relocateTopic(Topic* t, Topic* parent, size_t row) {
    changes_.moveTopic(t, parent, row);
}

Editor::ExpansionSnapshot Editor::SaveExpansion() const {
    ExpansionSnapshot snapshot;
    snapshot.reserve(doc_->topicCount());
    ForEachTopic(*doc_, [&](Topic& t, int) {
        snapshot.emplace_back(&t, t.hasChildren() ? t.expanded : true);
    });
    return snapshot;
}

void Editor::RestoreExpansion(ExpansionSnapshot& snapshot) {
    for (auto& [t, expanded] : snapshot) {
        changes_.setExpanded(t, expanded);
    }
    snapshot.clear();
}

void Editor::moveKeepingExpansion(Topic* t, Topic* parent, size_t row) {
    // Of all the states a snapshot would record, a move can change only those of the moved
    // Topic and of its new parent (a Topic without children is recorded as expanded, so
    // that the moved Topic stays in view); the rest of the tree is not walked.
    ExpansionSnapshot snapshot;
    for (Topic* x : {t, parent}) {
        if (x) {
            snapshot.emplace_back(x, x->hasChildren() ? x->expanded : true);
        }
    }
    relocateTopic(t, parent, row);
    RestoreExpansion(snapshot);
}

void Editor::MoveTopic(Topic* t, Topic* target, bool asChild) {
    if (!t || !target || t == target || t->isAncestorOf(target)) {
        return;
    }
    if (asChild) {
        size_t row = target->childCount() - (t->parent() == target ? 1 : 0);
        moveKeepingExpansion(t, target, row);
    } else {
        moveKeepingExpansion(t, target->parent(), target->row() + 1);
    }
    showTopic(t);
}

void Editor::TreeRightExecute() {
    UndoScope step(*this, CommandId::TreeRight);
    Topic* t = selected_;
    Topic* target = t ? t->previousSibling() : nullptr;
    if (t && !target) {
        target = t->nextSibling();
    }
    if (!target) {
        return;
    }
    MoveTopic(t, target, true);
    RefreshTreeCommands();
    SetModified(true);
}

void Editor::TreeLeftExecute() {
    UndoScope step(*this, CommandId::TreeLeft);
    Topic* t = selected_;
    if (!t || !t->parent()) {
        return;
    }
    MoveTopic(t, t->parent(), false);
    RefreshTreeCommands();
    SetModified(true);
}

void Editor::TreeUpExecute() {
    UndoScope step(*this, CommandId::TreeUp);
    Topic* t = selected_;
    if (!t) {
        return;
    }
    size_t before = doc_->treeOrderIndex(t);
    if (Topic* previous = t->previousSibling()) {
        moveKeepingExpansion(t, t->parent(), previous->row());
    }
    RefreshTreeCommands();
    if (doc_->treeOrderIndex(t) != before) {
        SetModified(true);
    }
}

void Editor::TreeDownExecute() {
    UndoScope step(*this, CommandId::TreeDown);
    Topic* t = selected_;
    if (!t) {
        return;
    }
    size_t before = doc_->treeOrderIndex(t);
    Topic* next = t->nextSibling();
    if (next && next->nextSibling()) {
        moveKeepingExpansion(t, t->parent(), t->row() + 1);
    } else {
        moveKeepingExpansion(t, t->parent(), doc_->siblingCount(t->parent()) - 1);
    }
    RefreshTreeCommands();
    if (doc_->treeOrderIndex(t) != before) {
        SetModified(true);
    }
}

void Editor::TreeEditChanged(std::string text) {
    treeEdit_ = std::move(text);
    if (!selected_ || selected_->caption == treeEdit_) {
        return;
    }
    std::string caption = FileSafeCaption(treeEdit_);
    if (caption != treeEdit_) {
        // Show what will be saved: bytes a caption cannot carry are taken out at once.
        setEditText(EditBox::Tree, caption);
    }
    if (selected_->caption != caption) {
        // The keystrokes of one rename of one Topic are one step.
        UndoScope step(*this, "ツリー名変更", selected_);
        changes_.setCaption(selected_, caption);
        SetModified(true);
    }
}

void Editor::IconMenuClick(int tag) {
    Topic* t = selected_;
    if (!t) {
        return;
    }
    UndoScope step(*this, CommandId::ChgIcon);
    int before = t->icon;
    changes_.setIcon(t, tag == 1 ? kIconFolder : tag);
    RefreshTrashIcon();
    if (t->icon != before) {
        SetModified(true);
    }
}

}  // namespace brenvale

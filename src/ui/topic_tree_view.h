#pragma once

#include <QTreeView>

namespace brenvale {

class Editor;
class TopicTreeModel;

// The topic tree (tvTree): shows the editor's Topics, passes selection and expansion changes
// to the editor, and follows the editor's own changes of both.
class TopicTreeView : public QTreeView {
    Q_OBJECT
public:
    TopicTreeView(Editor& editor, TopicTreeModel& model, QWidget* parent = nullptr);

    // Makes the view's current Topic the editor's selected one.
    void showEditorSelection();

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    void applyAllExpansions();
    void selectionChangedByView();

    Editor& editor_;
    TopicTreeModel& model_;
    bool syncing_ = false;
};

}  // namespace brenvale

#pragma once

#include <QListView>

namespace brenvale {

class Editor;
class CheckListModel;

// The check list (clbList): rows of the selected Topic drawn by the row painter. A right
// press selects the row under the pointer (scrolled to the top) or clears the selection
// below the last row.
class CheckListView : public QListView {
    Q_OBJECT
public:
    CheckListView(Editor& editor, CheckListModel& model, QWidget* parent = nullptr);

    void showEditorSelection();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void selectionChangedByView();

    Editor& editor_;
    CheckListModel& model_;
    bool syncing_ = false;
};

}  // namespace brenvale

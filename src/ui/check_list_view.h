#pragma once

#include <QListView>

#include "ui/view_drag.h"

namespace brenvale {

class Editor;
class CheckListDelegate;
class CheckListModel;
class ItemTextEditor;

// The check list (clbList): rows of the selected Topic drawn by the row painter. A right
// press selects the row under the pointer (scrolled to the top) or clears the selection
// below the last row. The selected row is dragged with the left button; while an Item is
// dragged over the list a red line shows where it will land. A double click on a row's text
// edits it in place. A list whose Items are all hidden says so in one grey line.
class CheckListView : public QListView {
    Q_OBJECT
public:
    CheckListView(Editor& editor, CheckListModel& model, QWidget* parent = nullptr);

    void showEditorSelection();
    // The row a point of the client area names for a drop: the row count below the last
    // Item, -1 outside the client area.
    int pointerRowAt(const QPoint& point) const;
    // The y of the insertion line drawn at the upper edge of a row (the row count: under the
    // last Item).
    int insertionLineY(int row) const;

    // Opens the edit box over a row, its text all selected.
    void editRow(int row);
    // The row's edit box, while one is open.
    ItemTextEditor* rowEditor() const;
    // Stores what the open edit box holds and closes it (before a command runs).
    void finishRowEdit();

signals:
    void dragStarted();
    void dragFinished();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void updateGeometries() override;
    void resizeEvent(QResizeEvent* event) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles) override;

private:
    void selectionChangedByView();
    void updateInsertionLine(int row);

    Editor& editor_;
    CheckListModel& model_;
    CheckListDelegate* delegate_;
    bool syncing_ = false;
    DragGesture gesture_;
};

}  // namespace brenvale

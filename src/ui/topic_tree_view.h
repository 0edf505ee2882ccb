#pragma once

#include <QPersistentModelIndex>
#include <QTimer>
#include <QTreeView>

#include "editor/drop_zone.h"
#include "ui/view_drag.h"

namespace brenvale {

class Document;
class Editor;
class TopicTreeModel;

// The topic tree (tvTree): shows the editor's Topics, passes selection and expansion changes
// to the editor, and follows the editor's own changes of both. A Topic is dragged with the
// left button; drops of Topics and Items are mapped to the editor's drop zones.
class TopicTreeView : public QTreeView {
    Q_OBJECT
public:
    TopicTreeView(Editor& editor, TopicTreeModel& model, QWidget* parent = nullptr);

    // Makes the view's current Topic the editor's selected one.
    void showEditorSelection();
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    // What lies under a point of the client area (the viewport).
    TopicRowHit hitAt(const QPoint& point) const;
    // The tree's tooltips are off while one of its Topics is dragged.
    bool toolTipsShown() const { return toolTipsShown_; }

signals:
    void dragStarted();
    void dragFinished();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void applyAllExpansions();
    // Tells the user once per document that its deepest Topics are not shown.
    void noteHiddenLevels();
    void selectionChangedByView();
    // Whether an event is a drag the tree takes: the program's own, while the editor drags.
    bool acceptDrag(QDropEvent* event);

    Editor& editor_;
    TopicTreeModel& model_;
    bool syncing_ = false;
    bool toolTipsShown_ = true;
    const Document* notedDocument_ = nullptr;
    // A slow second click on the selected Topic asks for its caption's edit box once the
    // double-click time has passed without a double click.
    QTimer editRequest_;
    QPersistentModelIndex editIndex_;
    bool focusCameNow_ = false;   // the focus came since the last press
    bool pressHadFocus_ = false;  // the tree had the focus before the last press
    DragGesture gesture_;
};

}  // namespace brenvale

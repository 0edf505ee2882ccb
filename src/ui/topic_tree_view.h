#pragma once

#include <QAbstractItemView>
#include <QPersistentModelIndex>
#include <QTimer>

#include "editor/drop_zone.h"
#include "ui/view_drag.h"

namespace brenvale {

class Editor;
class TopicTreeModel;

// The topic tree (tvTree): the editor's tree rows as one flat list of rows of one height, each
// drawn as a tree draws it (indentation, expand button, icon and caption). Painting, scrolling
// and every change cost the rows on screen, never the rows of the whole tree, and the view
// keeps nothing per Topic. It passes selection and expansion changes to the editor and follows
// the editor's own changes of both. A Topic is dragged with the left button; drops of Topics
// and Items are mapped to the editor's drop zones.
class TopicTreeView : public QAbstractItemView {
    Q_OBJECT
public:
    static constexpr int kIndentation = 19;
    // What an empty tree shows in place of its rows.
    static constexpr const char* kEmptyTreeHint = "Insert キーでトピックを追加";

    TopicTreeView(Editor& editor, TopicTreeModel& model, QWidget* parent = nullptr);

    TopicTreeModel& treeModel() const { return model_; }
    // Makes the view's current Topic the editor's selected one, and scrolls to it.
    void showEditorSelection();
    // What lies under a point of the client area (the viewport).
    TopicRowHit hitAt(const QPoint& point) const;
    // The tree's tooltips are off while one of its Topics is dragged.
    bool toolTipsShown() const { return toolTipsShown_; }
    bool isExpanded(const QModelIndex& index) const;
    // Opens or folds a row's Topic as the user asked; folding the Topic above the selected one
    // selects it, as a platform tree does.
    void setExpanded(const QModelIndex& index, bool expanded);
    int rowHeight() const { return rowHeight_; }
    // The row rectangle of a row, the indentation included.
    QRect rowRect(int row) const;

    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    void reset() override;

signals:
    void dragStarted();
    void dragFinished();

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex& index) const override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
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
    // The parts of one row, from left to right, in viewport coordinates.
    struct RowParts {
        int level = 0;       // columns of indentation (see depth)
        int left = 0;        // where the row begins, its indentation first
        int labelLeft = 0;   // where the icon begins
        int labelRight = 0;  // just right of the caption
    };
    // The columns of indentation before a row's label: its Topic's level, plus one for every
    // row when top-level Topics have expand buttons.
    int depth(int row) const;
    RowParts partsOf(int row, int level) const;
    int firstRow() const;
    // Rows that fit the client area whole.
    int pageRows() const;
    // How wide the rows are: the client area, or the widest row in view where that is wider.
    int columnWidth() const;
    void measureRows();
    void updateContentWidth();
    // Whether a row's expand button is under x (viewport coordinates).
    bool onButton(int row, int x) const;
    void drawRow(QPainter& painter, QStyleOptionViewItem option, int row, int level) const;
    void drawBranches(QPainter& painter, const QStyleOptionViewItem& option, const QRect& rect,
                      int row, int level) const;
    void toggle(int row);
    void afterRowsChanged();
    // The view's current row follows the editor's selection, without scrolling.
    void syncCurrent();
    void selectionChangedByView();

    Editor& editor_;
    TopicTreeModel& model_;
    int rowHeight_ = 1;
    int contentWidth_ = 0;
    bool syncing_ = false;
    bool toolTipsShown_ = true;
    // A slow second click on the selected Topic asks for its caption's edit box once the
    // double-click time has passed without a double click.
    QTimer editRequest_;
    QPersistentModelIndex editIndex_;
    bool focusCameNow_ = false;   // the focus came since the last press
    bool pressHadFocus_ = false;  // the tree had the focus before the last press
    int pressedRow_ = -1;         // the row of the last press, for a double click
    bool releaseFromDoubleClick_ = false;
    DragGesture gesture_;
};

}  // namespace brenvale

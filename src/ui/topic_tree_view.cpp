#include "ui/topic_tree_view.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

#include "editor/editor.h"
#include "ui/error_report.h"
#include "ui/topic_row_delegate.h"
#include "ui/topic_tree_accessible.h"
#include "ui/topic_tree_model.h"

namespace brenvale {

TopicTreeView::TopicTreeView(Editor& editor, TopicTreeModel& model, QWidget* parent)
    : QAbstractItemView(parent), editor_(editor), model_(model) {
    InstallTopicTreeAccessibility();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setAcceptDrops(true);
    setItemDelegate(new TopicRowDelegate(this));
    setModel(&model_);
    // After the view's own handling of each change (and the selection model's).
    for (auto changed : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(&model_, changed, this, [this] { afterRowsChanged(); });
    }
    connect(&model_, &QAbstractItemModel::rowsMoved, this, [this] { afterRowsChanged(); });
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] { afterRowsChanged(); });

    editRequest_.setSingleShot(true);
    connect(&editRequest_, &QTimer::timeout, this, [this] {
        bool asked = hasFocus() && editIndex_.isValid() && editIndex_ == currentIndex();
        editIndex_ = QPersistentModelIndex();
        if (asked) {
            Guarded([this] { editor_.tree().treeEditRequested(); })();
        }
    });
    updateGeometries();
}

// ---- Following the editor

void TopicTreeView::showEditorSelection() {
    syncing_ = true;
    QModelIndex index = model_.indexOf(editor_.selection().topic());
    if (index.isValid()) {
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        scrollTo(index);
    } else {
        selectionModel()->clearCurrentIndex();
        clearSelection();
    }
    syncing_ = false;
}

void TopicTreeView::syncCurrent() {
    QModelIndex wanted = model_.indexOf(editor_.selection().topic());
    if (wanted == currentIndex() && (!wanted.isValid() || selectionModel()->isSelected(wanted))) {
        return;
    }
    syncing_ = true;
    if (wanted.isValid()) {
        selectionModel()->setCurrentIndex(wanted, QItemSelectionModel::ClearAndSelect);
    } else {
        selectionModel()->clearCurrentIndex();
        clearSelection();
    }
    syncing_ = false;
}

void TopicTreeView::afterRowsChanged() {
    updateGeometries();
    viewport()->update();
    syncCurrent();
    TopicTreeAccessibleRowsChanged(this);
}

void TopicTreeView::reset() {
    QAbstractItemView::reset();
    updateGeometries();
}

void TopicTreeView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    // The view moves its current row off rows that go; the editor decides what is selected.
    syncing_ = true;
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);
    syncing_ = false;
}

void TopicTreeView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QAbstractItemView::currentChanged(current, previous);
    editRequest_.stop();
    if (current.isValid() && hasFocus()) {
        TopicTreeAccessibleFocusMoved(this, current.row());
    }
    if (syncing_ || model_.changing()) {
        return;
    }
    if (Topic* t = model_.topic(current)) {
        editor_.tree().selectTopic(t);
    }
}

void TopicTreeView::selectionChanged(const QItemSelection& selected,
                                     const QItemSelection& deselected) {
    QAbstractItemView::selectionChanged(selected, deselected);
    TopicTreeAccessibleSelectionChanged(this, selected, deselected);
    selectionChangedByView();
}

void TopicTreeView::selectionChangedByView() {
    // The view's selection can change without its current Topic (a Ctrl+click on it). Only
    // the editor drops the selected Topic: the view shows it again.
    if (syncing_ || model_.changing()) {
        return;
    }
    QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        showEditorSelection();
    } else if (model_.topic(rows.first()) != editor_.selection().topic()) {
        editor_.tree().selectTopic(model_.topic(rows.first()));
    }
}

void TopicTreeView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                const QList<int>& roles) {
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
    // The whole row: its expand button lies in the indentation.
    int first = std::max(topLeft.row(), firstRow());
    int last = std::min(bottomRight.row(), firstRow() + pageRows());
    if (first <= last) {
        viewport()->update(QRect(0, (first - firstRow()) * rowHeight_, viewport()->width(),
                                 (last - first + 1) * rowHeight_));
    }
    updateContentWidth();
}

bool TopicTreeView::isExpanded(const QModelIndex& index) const {
    Topic* t = model_.topic(index);
    return t && t->hasChildren() && t->expanded;
}

void TopicTreeView::setExpanded(const QModelIndex& index, bool expanded) {
    Topic* t = model_.topic(index);
    if (!t || !t->hasChildren() || t->expanded == expanded) {
        return;
    }
    if (!expanded && t->isAncestorOf(editor_.selection().topic())) {
        editor_.tree().selectTopic(t);
    }
    editor_.tree().setTopicExpanded(t, expanded);
}

void TopicTreeView::toggle(int row) {
    QModelIndex index = model_.index(row);
    setExpanded(index, !isExpanded(index));
}

// ---- Keys and the pointer

QModelIndex TopicTreeView::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
    int count = model_.rowCount();
    QModelIndex current = currentIndex();
    if (count == 0) {
        return {};
    }
    if (!current.isValid()) {
        return model_.index(0);
    }
    int row = current.row();
    int page = pageRows();
    bool intoChildren =
        style()->styleHint(QStyle::SH_ItemView_ArrowKeysNavigateIntoChildren, nullptr, this);
    Topic* t = model_.topic(current);
    QScrollBar* sideways = horizontalScrollBar();
    switch (action) {
        case MoveUp:
        case MovePrevious:
            return model_.index(std::max(row - 1, 0));
        case MoveDown:
        case MoveNext:
            return model_.index(std::min(row + 1, count - 1));
        case MovePageUp:
            return model_.index(std::max(row - page, 0));
        case MovePageDown:
            return model_.index(std::min(row + page, count - 1));
        case MoveHome:
            return model_.index(0);
        case MoveEnd:
            return model_.index(count - 1);
        case MoveLeft:
            if (isExpanded(current) && sideways->value() == sideways->minimum()) {
                setExpanded(current, false);
            } else if (intoChildren && t && t->parent()) {
                return model_.indexOf(t->parent());
            } else {
                sideways->setValue(sideways->value() - sideways->singleStep());
            }
            return currentIndex();
        case MoveRight:
            if (t && t->hasChildren() && !t->expanded) {
                setExpanded(current, true);
            } else if (intoChildren && t && t->hasChildren()) {
                return model_.index(row + 1);
            } else {
                sideways->setValue(sideways->value() + sideways->singleStep());
            }
            return currentIndex();
    }
    return current;
}

void TopicTreeView::focusInEvent(QFocusEvent* event) {
    // The press that gives the focus reaches the view after the focus: remember that this
    // one came with a press (or with the window's activation, which a press may bring).
    focusCameNow_ =
        event->reason() == Qt::MouseFocusReason || event->reason() == Qt::ActiveWindowFocusReason;
    QAbstractItemView::focusInEvent(event);
}

void TopicTreeView::focusOutEvent(QFocusEvent* event) {
    editRequest_.stop();
    QAbstractItemView::focusOutEvent(event);
}

void TopicTreeView::keyPressEvent(QKeyEvent* event) {
    editRequest_.stop();
    QModelIndex current = currentIndex();
    if (current.isValid()) {
        switch (event->key()) {
            case Qt::Key_Asterisk:
                editor_.tree().expandTopicSubtree(model_.topic(current));
                break;
            case Qt::Key_Plus:
                setExpanded(current, true);
                break;
            case Qt::Key_Minus:
                setExpanded(current, false);
                break;
            default:
                break;
        }
    }
    QAbstractItemView::keyPressEvent(event);
}

void TopicTreeView::mousePressEvent(QMouseEvent* event) {
    editRequest_.stop();
    pressHadFocus_ = hasFocus() && !focusCameNow_;
    focusCameNow_ = false;
    QPoint at = event->position().toPoint();
    QModelIndex index = indexAt(at);
    pressedRow_ = index.row();
    // A press on an expand button opens or folds its Topic and selects nothing.
    if (index.isValid() && onButton(index.row(), at.x())) {
        gesture_.press(event, false);
        toggle(index.row());
        return;
    }
    QAbstractItemView::mousePressEvent(event);
    // The press has selected the Topic under the pointer, so a drag always moves the
    // selected Topic.
    Topic* pressed = model_.topic(indexAt(at));
    gesture_.press(event, pressed && pressed == editor_.selection().topic());
}

void TopicTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
    editRequest_.stop();
    QPoint at = event->position().toPoint();
    if (state() != NoState || !viewport()->rect().contains(at)) {
        return;
    }
    QModelIndex index = indexAt(at);
    if (!index.isValid() || onButton(index.row(), at.x())) {
        return;
    }
    if (index.row() != pressedRow_) {
        mousePressEvent(event);
        return;
    }
    // A double click opens or folds the Topic; it edits nothing, nor does its release.
    releaseFromDoubleClick_ = true;
    emit doubleClicked(index);
    toggle(index.row());
}

void TopicTreeView::mouseMoveEvent(QMouseEvent* event) {
    if (gesture_.holds(event)) {
        if (gesture_.startsDrag(event)) {
            startDrag(Qt::MoveAction);
        }
        return;
    }
    QAbstractItemView::mouseMoveEvent(event);
}

void TopicTreeView::mouseReleaseEvent(QMouseEvent* event) {
    // After a cancelled drag the release neither selects nor clicks where the pointer is.
    if (!gesture_.release()) {
        QAbstractItemView::mouseReleaseEvent(event);
    }
    releaseFromDoubleClick_ = false;
}

bool TopicTreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    // Captions are not edited in place: a second click on the selected Topic in a tree that
    // already had the focus sends the focus to the tree's edit box instead, once no double
    // click followed it. The click that gives the tree the focus and a double click (which
    // expands or collapses) do not.
    if (trigger == SelectedClicked) {
        if (index.isValid() && pressHadFocus_ && !releaseFromDoubleClick_) {
            editIndex_ = index;
            editRequest_.start(QApplication::doubleClickInterval());
        }
        return false;
    }
    if (trigger == DoubleClicked) {
        editRequest_.stop();
        return false;
    }
    return QAbstractItemView::edit(index, trigger, event);
}

bool TopicTreeView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip && !toolTipsShown_) {
        return true;
    }
    return QAbstractItemView::viewportEvent(event);
}

// ---- Drag and drop

void TopicTreeView::startDrag(Qt::DropActions) {
    if (!editor_.selection().topic()) {
        return;
    }
    editor_.drag().beginDrag(DragKind::Topic);
    toolTipsShown_ = false;
    emit dragStarted();
    RunDrag(this, MakeDragData(editor_.drag()));
    editor_.drag().endDrag();
    toolTipsShown_ = true;
    emit dragFinished();
}

void TopicTreeView::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void TopicTreeView::dragMoveEvent(QDragMoveEvent* event) {
    if (IsOwnDrag(event->mimeData()) && editor_.drag().treeDragOver()) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TopicTreeView::dropEvent(QDropEvent* event) {
    if (!IsOwnDrag(event->mimeData()) || !editor_.drag().state().active()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    QPoint at = event->position().toPoint();
    TopicRowHit hit = hitAt(at);
    Guarded([&] { editor_.drag().dropOnTree(TopicDropZoneAt(hit, at.x()), hit.topic); })();
}

}  // namespace brenvale

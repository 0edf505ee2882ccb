#include "ui/check_list_view.h"

#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "editor/drop_zone.h"
#include "editor/editor.h"
#include "ui/check_list_accessible.h"
#include "ui/check_list_delegate.h"
#include "ui/check_list_model.h"
#include "ui/codec.h"
#include "ui/colours.h"
#include "ui/error_report.h"
#include "ui/item_text_editor.h"

namespace brenvale {

CheckListView::CheckListView(Editor& editor, CheckListModel& model, QWidget* parent)
    : QListView(parent), editor_(editor), model_(model) {
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setAcceptDrops(true);
    // The list takes no input method (item views take one for their keyboard search): letters
    // and Space are commands here, and an input method that composed them would swallow Space.
    // The box that edits a row in place takes one of its own.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    delegate_ = new CheckListDelegate(editor_, this);
    setItemDelegate(delegate_);
    setModel(&model_);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!syncing_) {
                    editor_.selectRow(current.isValid() ? current.row() : -1);
                }
            });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { selectionChangedByView(); });
    connect(&model_, &CheckListModel::currentRowChanged, this, [this] { showEditorSelection(); });
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] { showEditorSelection(); });
    connect(&model_, &CheckListModel::insertionLineMoved, this, [this](int previous) {
        updateInsertionLine(previous);
        updateInsertionLine(editor_.drag().state().insertionRow);
    });
}

void CheckListView::showEditorSelection() {
    syncing_ = true;
    int row = editor_.list().selectedRow();
    if (row >= 0 && row < model_.rowCount()) {
        QModelIndex index = model_.index(row);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        scrollTo(index);
    } else {
        selectionModel()->clearCurrentIndex();
        clearSelection();
    }
    syncing_ = false;
}

void CheckListView::selectionChangedByView() {
    // The view's selection can change without its current row (a Ctrl+click, a click below
    // the last row). Only the editor drops the selected row: the view shows it again.
    if (syncing_) {
        return;
    }
    QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        showEditorSelection();
    } else if (rows.first().row() != editor_.list().selectedRow()) {
        editor_.selectRow(rows.first().row());
    }
}

int CheckListView::pointerRowAt(const QPoint& point) const {
    return ListPointerRow(viewport()->rect().contains(point), indexAt(point).row(),
                          model_.rowCount());
}

int CheckListView::insertionLineY(int row) const {
    int count = model_.rowCount();
    if (count == 0) {
        return 0;
    }
    if (row < count) {
        return visualRect(model_.index(row)).top();
    }
    return visualRect(model_.index(count - 1)).bottom() + 1;
}

void CheckListView::updateInsertionLine(int row) {
    if (row >= 0) {
        viewport()->update(QRect(0, insertionLineY(row), viewport()->width(), 1));
    }
}

void CheckListView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        QListView::mousePressEvent(event);
        // A press below the last row keeps the selection: the row selected before is dragged.
        gesture_.press(event, editor_.list().hasSelectedItem());
        return;
    }
    QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid()) {
        scrollTo(index, QAbstractItemView::PositionAtTop);
        editor_.selectRow(index.row());
    } else {
        editor_.selectRow(-1);
    }
    showEditorSelection();
}

void CheckListView::mouseDoubleClickEvent(QMouseEvent* event) {
    // On a row's text (not its box, whose double click ticks it once more) the row is edited
    // in place.
    QModelIndex index = indexAt(event->position().toPoint());
    const bool onText =
        event->position().x() >= visualRect(index).left() + CheckListDelegate::boxColumnWidth(this);
    if (event->button() == Qt::LeftButton && index.isValid() && onText) {
        editRow(index.row());
        return;
    }
    QListView::mouseDoubleClickEvent(event);
}

void CheckListView::editRow(int row) {
    if (row < 0 || row >= model_.rowCount()) {
        return;
    }
    if (editor_.list().selectedRow() != row) {
        editor_.selectRow(row);
    }
    QModelIndex index = model_.index(row);
    scrollTo(index);
    setFocus(Qt::OtherFocusReason);
    edit(index);
}

ItemTextEditor* CheckListView::rowEditor() const {
    return delegate_->openEditor();
}

void CheckListView::finishRowEdit() {
    if (ItemTextEditor* open = delegate_->openEditor()) {
        commitData(open);
        closeEditor(open, QAbstractItemDelegate::NoHint);
    }
}

void CheckListView::mouseMoveEvent(QMouseEvent* event) {
    if (gesture_.holds(event)) {
        if (gesture_.startsDrag(event)) {
            startDrag(Qt::MoveAction);
        }
        return;
    }
    QListView::mouseMoveEvent(event);
}

void CheckListView::mouseReleaseEvent(QMouseEvent* event) {
    // After a cancelled drag the release neither selects nor clicks where the pointer is.
    if (!gesture_.release()) {
        QListView::mouseReleaseEvent(event);
    }
}

void CheckListView::startDrag(Qt::DropActions) {
    if (!editor_.list().hasSelectedItem()) {
        return;
    }
    editor_.drag().beginDrag(DragKind::Item);
    emit dragStarted();
    RunDrag(this, MakeDragData(editor_.drag()));
    editor_.drag().endDrag();
    viewport()->update();
    emit dragFinished();
}

void CheckListView::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void CheckListView::dragMoveEvent(QDragMoveEvent* event) {
    int row = pointerRowAt(event->position().toPoint());
    if (IsOwnDrag(event->mimeData()) && editor_.drag().listDragOver(row)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CheckListView::dropEvent(QDropEvent* event) {
    if (!IsOwnDrag(event->mimeData()) || editor_.drag().state().kind != DragKind::Item) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    int row = pointerRowAt(event->position().toPoint());
    // The moved row becomes the current one; the rows on screen stay where they were.
    int top = verticalScrollBar()->value();
    Guarded([&] { editor_.drag().dropOnList(row); })();
    verticalScrollBar()->setValue(top);
}

QVariant CheckListView::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (query == Qt::ImEnabled) {
        return false;
    }
    return QListView::inputMethodQuery(query);
}

void CheckListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // A list view tells screen readers of its new current row even while it has not the
    // focus: selecting a Topic in the tree would be read as a row of its list. Only the
    // focused list tells it.
    if (hasFocus()) {
        QListView::currentChanged(current, previous);
    } else {
        QAbstractItemView::currentChanged(current, previous);
    }
}

void CheckListView::paintEvent(QPaintEvent* event) {
    QListView::paintEvent(event);
    // Every Item is hidden: one grey line says how many, where the first row would be.
    if (model_.rowCount() == 0) {
        QString hidden = FromUtf8(editor_.list().allHiddenText());
        if (!hidden.isEmpty()) {
            QPainter painter(viewport());
            painter.setPen(GreyText(palette()));
            painter.setFont(font());
            painter.drawText(viewport()->rect().adjusted(4, 2, -4, 0),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, hidden);
        }
    }
    int row = editor_.drag().state().insertionRow;
    if (row >= 0) {
        QPainter painter(viewport());
        painter.fillRect(QRect(0, insertionLineY(row), viewport()->width(), 1), QColor(255, 0, 0));
    }
}

void CheckListView::updateGeometries() {
    QListView::updateGeometries();
    // One line sideways is a character's width, not the width of a whole row.
    horizontalScrollBar()->setSingleStep(fontMetrics().averageCharWidth());
}

void CheckListView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                const QList<int>& roles) {
    QListView::dataChanged(topLeft, bottomRight, roles);
    AnnounceRowChanges(this, topLeft.row(), bottomRight.row());
}

void CheckListView::resizeEvent(QResizeEvent* event) {
    QListView::resizeEvent(event);
    editor_.list().setClientWidth(viewport()->width());
}

}  // namespace brenvale

#include "ui/check_list_view.h"

#include <QMouseEvent>
#include <QScrollBar>

#include "editor/editor.h"
#include "ui/check_list_delegate.h"
#include "ui/check_list_model.h"

namespace brenvale {

CheckListView::CheckListView(Editor& editor, CheckListModel& model, QWidget* parent)
    : QListView(parent), editor_(editor), model_(model) {
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setItemDelegate(new CheckListDelegate(editor_, this));
    setModel(&model_);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!syncing_) {
                    editor_.SelectRow(current.isValid() ? current.row() : -1);
                }
            });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { selectionChangedByView(); });
    connect(&model_, &CheckListModel::currentRowChanged, this, [this] { showEditorSelection(); });
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] { showEditorSelection(); });
}

void CheckListView::showEditorSelection() {
    syncing_ = true;
    int row = editor_.selectedRow();
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
    } else if (rows.first().row() != editor_.selectedRow()) {
        editor_.SelectRow(rows.first().row());
    }
}

void CheckListView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        QListView::mousePressEvent(event);
        return;
    }
    QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid()) {
        scrollTo(index, QAbstractItemView::PositionAtTop);
        editor_.SelectRow(index.row());
    } else {
        editor_.SelectRow(-1);
    }
    showEditorSelection();
}

void CheckListView::resizeEvent(QResizeEvent* event) {
    QListView::resizeEvent(event);
    editor_.setListClientWidth(viewport()->width());
}

}  // namespace brenvale

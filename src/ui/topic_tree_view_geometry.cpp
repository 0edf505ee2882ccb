#include "ui/topic_tree_view.h"

#include <QScrollBar>

#include <algorithm>

#include "editor/editor.h"
#include "ui/topic_tree_model.h"

namespace brenvale {

// Where the rows lie: scrolling, row rectangles and which part of a row a point is on.

int TopicTreeView::firstRow() const {
    return verticalScrollBar()->value();
}

int TopicTreeView::pageRows() const {
    return std::max(1, viewport()->height() / rowHeight_);
}

int TopicTreeView::horizontalOffset() const {
    return horizontalScrollBar()->value();
}

int TopicTreeView::verticalOffset() const {
    return firstRow() * rowHeight_;
}

int TopicTreeView::columnWidth() const {
    return std::max(viewport()->width(), contentWidth_);
}

int TopicTreeView::depth(int row) const {
    // With expand buttons on the top level, every row gains the column they stand in.
    return model_.level(row) + (editor_.settings().topLevelButtons ? 1 : 0);
}

TopicTreeView::RowParts TopicTreeView::partsOf(int row, int level) const {
    RowParts parts;
    parts.level = level;
    parts.left = -horizontalOffset();
    parts.labelLeft = parts.left + level * kIndentation;
    QModelIndex index = model_.index(row);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    parts.labelRight =
        parts.labelLeft + itemDelegateForIndex(index)->sizeHint(option, index).width();
    return parts;
}

void TopicTreeView::measureRows() {
    // One height for every row, as the first row needs it (any row where there is none).
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    QSize size;
    if (model_.rowCount() > 0) {
        QModelIndex first = model_.index(0);
        size = itemDelegateForIndex(first)->sizeHint(option, first);
    } else {
        option.features |= QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
        option.text = QStringLiteral("Ag");
        size = style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this);
    }
    rowHeight_ = std::max(1, size.height());
}

void TopicTreeView::updateContentWidth() {
    // As wide as the widest row in view (a tree sizes its column to the rows it shows): a row
    // indented past the client area's edge scrolls into view sideways.
    int width = 0;
    int first = firstRow();
    int last = std::min(model_.rowCount() - 1, first + pageRows());
    for (int row = first; row <= last; ++row) {
        RowParts parts = partsOf(row, depth(row));
        width = std::max(width, parts.labelRight - parts.left);
    }
    contentWidth_ = width;
    int viewportWidth = viewport()->width();
    QScrollBar* bar = horizontalScrollBar();
    bar->setPageStep(viewportWidth);
    bar->setSingleStep(std::max(viewportWidth / 2, 2));
    bar->setRange(0, std::max(0, contentWidth_ - viewportWidth));
}

void TopicTreeView::updateGeometries() {
    measureRows();
    int page = pageRows();
    QScrollBar* bar = verticalScrollBar();
    bar->setSingleStep(1);
    bar->setPageStep(page);
    bar->setRange(0, std::max(0, model_.rowCount() - page));
    updateContentWidth();
    QAbstractItemView::updateGeometries();
}

void TopicTreeView::scrollContentsBy(int, int dy) {
    if (dy != 0) {
        // Other rows in view: the width of the widest may differ.
        updateContentWidth();
    }
    viewport()->update();
}

QRect TopicTreeView::rowRect(int row) const {
    return QRect(-horizontalOffset(), (row - firstRow()) * rowHeight_, columnWidth(), rowHeight_);
}

QRect TopicTreeView::visualRect(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != &model_ || index.row() >= model_.rowCount()) {
        return {};
    }
    // The label part, as a tree view has it: the row without its indentation.
    QRect row = rowRect(index.row());
    int indent = depth(index.row()) * kIndentation;
    return row.adjusted(indent, 0, 0, 0);
}

QModelIndex TopicTreeView::indexAt(const QPoint& point) const {
    if (point.y() < 0) {
        return {};
    }
    int row = firstRow() + point.y() / rowHeight_;
    return row < model_.rowCount() ? model_.index(row) : QModelIndex();
}

bool TopicTreeView::isIndexHidden(const QModelIndex&) const {
    return false;
}

void TopicTreeView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid() || index.model() != &model_) {
        return;
    }
    int row = index.row();
    int page = pageRows();
    QScrollBar* bar = verticalScrollBar();
    switch (hint) {
        case PositionAtTop:
            bar->setValue(row);
            break;
        case PositionAtBottom:
            bar->setValue(row - page + 1);
            break;
        case PositionAtCenter:
            bar->setValue(row - (page - 1) / 2);
            break;
        case EnsureVisible:
            if (row < firstRow()) {
                bar->setValue(row);
            } else if (row >= firstRow() + page) {
                bar->setValue(row - page + 1);
            }
            break;
    }
    // Sideways, the caption comes into view as far as its indentation allows: its end at the
    // client area's right edge, or the row's start at the left one.
    updateContentWidth();
    RowParts parts = partsOf(row, depth(row));
    int labelLeft = parts.labelLeft - parts.left;
    int labelRight = parts.labelRight - parts.left;
    horizontalScrollBar()->setValue(std::clamp(labelRight - viewport()->width(), 0, labelLeft));
}

void TopicTreeView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    if (!selectionModel() || rect.isNull()) {
        return;
    }
    QRect area = rect.normalized();
    QModelIndex top = indexAt(QPoint(area.left(), std::max(0, area.top())));
    QModelIndex bottom = indexAt(QPoint(area.left(), area.bottom()));
    int count = model_.rowCount();
    if (!top.isValid() && !bottom.isValid()) {
        if (command & QItemSelectionModel::Clear) {
            selectionModel()->clear();
        }
        return;
    }
    if (!top.isValid()) {
        top = model_.index(0);
    }
    if (!bottom.isValid()) {
        bottom = model_.index(count - 1);
    }
    selectionModel()->select(QItemSelection(top, bottom), command);
}

QRegion TopicTreeView::visualRegionForSelection(const QItemSelection& selection) const {
    QRegion region;
    int first = firstRow();
    int last = first + pageRows();
    for (const QItemSelectionRange& range : selection) {
        int top = std::max(range.top(), first);
        int bottom = std::min(range.bottom(), last);
        if (range.isValid() && top <= bottom) {
            region += QRect(0, (top - first) * rowHeight_, viewport()->width(),
                            (bottom - top + 1) * rowHeight_);
        }
    }
    return region;
}

bool TopicTreeView::onButton(int row, int x) const {
    Topic* t = model_.topicAt(row);
    int level = depth(row);
    if (!t || !t->hasChildren() || level == 0) {
        return false;
    }
    int labelLeft = -horizontalOffset() + level * kIndentation;
    return labelLeft - kIndentation <= x && x < labelLeft;
}

TopicRowHit TopicTreeView::hitAt(const QPoint& point) const {
    TopicRowHit hit;
    hit.inClient = viewport()->rect().contains(point);
    if (!hit.inClient) {
        return hit;
    }
    QModelIndex index = indexAt(point);
    hit.topic = model_.topic(index);
    if (!hit.topic) {
        return hit;
    }
    RowParts parts = partsOf(index.row(), depth(index.row()));
    hit.labelLeft = parts.labelLeft;
    hit.labelRight = parts.labelRight;
    // The expand button sits in the last column of the indentation; top-level Topics have
    // none unless the option gives the tree's root that column.
    if (hit.topic->hasChildren() && parts.level > 0) {
        hit.buttonLeft = parts.labelLeft - kIndentation;
        hit.buttonRight = parts.labelLeft;
    }
    return hit;
}

}  // namespace brenvale

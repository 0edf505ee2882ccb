#include "ui/topic_tree_view.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

#include "ui/colours.h"
#include "ui/topic_tree_model.h"

namespace brenvale {

// Painting the rows in view as a tree view draws them.

void TopicTreeView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    if (model_.rowCount() == 0) {
        // An empty tree tells how to begin, in one grey line that is no row.
        painter.setPen(GreyText(palette()));
        painter.drawText(viewport()->rect().adjusted(4, 2, -4, 0),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         QString::fromUtf8(kEmptyTreeHint));
        return;
    }
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    QRect area = event->rect();
    int first = firstRow();
    int from = first + std::max(0, area.top()) / rowHeight_;
    int to = std::min(model_.rowCount() - 1, first + area.bottom() / rowHeight_);
    for (int row = from; row <= to; ++row) {
        drawRow(painter, option, row, depth(row));
    }
}

// As a tree view draws a row of its one column: the indentation's background (the selection
// covers the whole row), the branches with the expand button, then the label by the delegate.
void TopicTreeView::drawRow(QPainter& painter, QStyleOptionViewItem option, int row,
                            int level) const {
    QModelIndex index = model_.index(row);
    Topic* t = model_.topicAt(row);
    if (!t) {
        return;
    }
    QRect full = rowRect(row);
    const QStyle::State base = option.state;
    option.state = base | (t->hasChildren() ? QStyle::State_Children : QStyle::State_None) |
                   (t->hasChildren() && t->expanded ? QStyle::State_Open : QStyle::State_None) |
                   (t->nextSibling() ? QStyle::State_Sibling : QStyle::State_None);
    option.rect = full;
    option.showDecorationSelected = true;
    option.viewItemPosition = QStyleOptionViewItem::OnlyOne;
    if (selectionModel()->isSelected(index)) {
        option.state |= QStyle::State_Selected;
    }
    if (hasFocus() && currentIndex() == index) {
        option.state |= QStyle::State_HasFocus;
    }
    if (option.state & QStyle::State_Enabled) {
        option.palette.setCurrentColorGroup(
            option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive);
    }
    int indent = level * kIndentation;
    QRect branches(full.left(), full.top(), indent, full.height());
    QRect label(full.left() + indent, full.top(), full.width() - indent, full.height());
    QStyleOptionViewItem background = option;
    background.rect = branches;
    background.showDecorationSelected =
        style()->styleHint(QStyle::SH_ItemView_ShowDecorationSelected, &background, this);
    style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &background, &painter, this);
    background.state &= ~QStyle::State_Selected;
    background.rect = label;
    style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &background, &painter, this);
    if (indent > 0) {
        drawBranches(painter, option, branches, row, level);
    }
    option.rect = label;
    itemDelegateForIndex(index)->paint(&painter, option, index);
}

// The row's own column holds its expand button; the columns further out carry the lines to
// the ancestors' later siblings where the style draws lines. Only the columns in view are
// drawn.
void TopicTreeView::drawBranches(QPainter& painter, const QStyleOptionViewItem& row,
                                 const QRect& rect, int at, int level) const {
    const Topic* t = model_.topicAt(at);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    QStyle::State extra = QStyle::State_None;
    if (isEnabled()) {
        extra |= QStyle::State_Enabled;
    }
    if (hasFocus()) {
        extra |= QStyle::State_Active;
    }
    if (row.state & QStyle::State_Selected) {
        extra |= QStyle::State_Selected;
    }
    QRect column(rect.right() + 1 - kIndentation, rect.top(), kIndentation, rect.height());
    option.rect = column;
    option.state = QStyle::State_Item | extra |
                   (t->nextSibling() ? QStyle::State_Sibling : QStyle::State_None) |
                   (t->hasChildren() ? QStyle::State_Children : QStyle::State_None) |
                   (t->hasChildren() && t->expanded ? QStyle::State_Open : QStyle::State_None);
    if (column.left() < viewport()->width()) {
        style()->drawPrimitive(QStyle::PE_IndicatorBranch, &option, &painter, this);
    }
    const Topic* ancestor = t->parent();
    for (int l = level - 1; l >= 1 && ancestor; --l, ancestor = ancestor->parent()) {
        column.moveLeft(column.left() - kIndentation);
        if (column.right() < 0) {
            break;
        }
        if (column.left() >= viewport()->width()) {
            continue;
        }
        option.rect = column;
        option.state =
            extra | (ancestor->nextSibling() ? QStyle::State_Sibling : QStyle::State_None);
        style()->drawPrimitive(QStyle::PE_IndicatorBranch, &option, &painter, this);
    }
}

void TopicTreeView::changeEvent(QEvent* event) {
    QAbstractItemView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        updateGeometries();
    }
}

}  // namespace brenvale

#include "ui/topic_row_delegate.h"

#include <QApplication>
#include <QPainter>

#include "ui/colours.h"
#include "ui/topic_tree_model.h"

namespace brenvale {

namespace {

QString TrailingText(const QModelIndex& index) {
    return index.data(TopicTreeModel::TrailingTextRole).toString();
}

}  // namespace

QColor TopicRowDelegate::completeColour(const QColor& background) {
    return background.lightness() < 128 ? QColor(110, 210, 110) : QColor(0, 140, 0);
}

void TopicRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    QString trailing = TrailingText(index);
    if (trailing.isEmpty()) {
        return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
    int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    int x = text.left() + margin + opt.fontMetrics.horizontalAdvance(opt.text) + kTrailingGap;
    QRect area(x, text.top(), std::max(0, text.right() - x), text.height());
    bool selected = opt.state & QStyle::State_Selected;
    QPalette::ColorGroup group =
        opt.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    painter->save();
    painter->setFont(opt.font);
    QColor colour = index.data(TopicTreeModel::TrailingCompleteRole).toBool()
                        ? completeColour(opt.palette.color(QPalette::Base))
                        : GreyText(opt.palette);
    painter->setPen(selected ? opt.palette.color(group, QPalette::HighlightedText) : colour);
    painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, trailing);
    painter->restore();
}

QSize TopicRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    QString trailing = TrailingText(index);
    if (!trailing.isEmpty()) {
        size.rwidth() += kTrailingGap + option.fontMetrics.horizontalAdvance(trailing);
    }
    return size;
}

}  // namespace brenvale

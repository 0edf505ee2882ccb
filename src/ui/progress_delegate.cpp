#include "ui/progress_delegate.h"

#include <QApplication>
#include <QPainter>

#include "ui/topic_tree_model.h"

namespace brenvale {

QColor ProgressDelegate::counterColour(bool complete, const QColor& background) {
    if (background.lightness() < 128) {
        return complete ? QColor(110, 210, 110) : QColor(165, 165, 165);
    }
    return complete ? QColor(0, 140, 0) : QColor(128, 128, 128);
}

void ProgressDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QString counter = index.data(TopicTreeModel::ProgressRole).toString();
    if (counter.isEmpty()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The row as usual with the caption alone, then the counter after it in its colour.
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    item.text.chop(counter.size() + 1);
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
    QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
    // The style leaves a margin before the text; the counter follows after one space.
    int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    QFontMetrics metrics(item.font);
    int x = text.left() + margin + metrics.horizontalAdvance(item.text + QLatin1Char(' '));
    bool complete = index.data(TopicTreeModel::ProgressCompleteRole).toBool();
    // On the selection's colour the same two shades, lighter.
    bool selected = item.state & QStyle::State_Selected;
    QColor colour = counterColour(complete, item.palette.color(QPalette::Base));
    painter->save();
    painter->setFont(item.font);
    painter->setPen(selected ? colour.lighter(complete ? 220 : 170) : colour);
    painter->drawText(QRect(x, text.top(), text.right() - x + 1, text.height()),
                      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, counter);
    painter->restore();
}

}  // namespace brenvale

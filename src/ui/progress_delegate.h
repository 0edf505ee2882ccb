#pragma once

#include <QStyledItemDelegate>

namespace brenvale {

// Draws a Topic's row with its progress counter after the caption: grey, or green once every
// Item is checked (lighter shades of both on a dark tree). Rows without a counter are drawn as
// usual.
class ProgressDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The counter's colour on a tree whose background is `background`.
    static QColor counterColour(bool complete, const QColor& background);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

}  // namespace brenvale

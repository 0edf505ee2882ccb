#pragma once

#include <QStyledItemDelegate>

namespace brenvale {

// Draws a Topic's row with its progress counter after the caption: grey, or green once every
// Item is checked. Rows without a counter are drawn as usual.
class ProgressDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static const QColor& openColour();
    static const QColor& completeColour();

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

}  // namespace brenvale

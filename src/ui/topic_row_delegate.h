#pragma once

#include <QStyledItemDelegate>

namespace brenvale {

// Paints the label of a tree row, the one place a row's own look is made: its icon and
// caption with the selection and the focus, as the platform's item delegate paints them, and
// after the caption an optional text in grey, or green (TopicTreeModel::TrailingTextRole,
// TrailingCompleteRole). The tree's parts of the row (its indentation and expand button) are
// the view's.
class TopicRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The gap between the caption and the text after it.
    static constexpr int kTrailingGap = 4;
    // The green of a complete trailing text on a background, lighter on a dark one.
    static QColor completeColour(const QColor& background);
};

}  // namespace brenvale

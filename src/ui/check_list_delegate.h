#pragma once

#include <QStyledItemDelegate>

namespace brenvale {

class Editor;

// Draws a check list row by its kind: an ordinary Item with its box and text, a separator
// as a line over the whole row, a no-box Item with the mark in place of its box. Clicking the
// box or pressing Space on a row ticks it.
class CheckListDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 15;

    CheckListDelegate(const Editor& editor, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

    // The width of the box column: the text area of a row begins right of it.
    static int boxColumnWidth(const QWidget* widget);

private:
    const Editor& editor_;
};

}  // namespace brenvale

#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

namespace brenvale {

class Editor;

class ItemTextEditor;

// Draws a check list row by its kind: an ordinary Item with its box and text, a separator
// as a line over the whole row, a no-box Item with the mark in place of its box. Clicking the
// box or pressing Space on a row ticks it. A row's text is edited in place in an
// ItemTextEditor over the row's text area: Enter or leaving the box stores it, Esc drops it.
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

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    // The row's edit box while one is open.
    ItemTextEditor* openEditor() const;

    // The width of the box column: the text area of a row begins right of it.
    static int boxColumnWidth(const QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const Editor& editor_;
    mutable QPointer<ItemTextEditor> open_;
};

}  // namespace brenvale

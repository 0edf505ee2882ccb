#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QStyledItemDelegate>

#include <functional>
#include <optional>

namespace brenvale {

class ImageLists;
class ToolbarEntryList;

// One list of the toolbar dialog over its working copy: the entry's text and picture.
class ToolbarEntryModel : public QAbstractListModel {
    Q_OBJECT
public:
    ToolbarEntryModel(const ToolbarEntryList& list, const ImageLists& images,
                      QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // Entries can be dragged; the dialog takes the drops itself.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // After the working copy changed.
    void reload();

private:
    const ToolbarEntryList& list_;
    const ImageLists& images_;
};

// Draws an entry 24 pixels high: the background, the text at (+25, +6), a 22 × 22 frame in the
// button text colour, a 20 × 20 frame in the button shadow colour inside it and the 16 × 16
// picture at (+4, +4); a separator shows the empty frame.
class ToolbarEntryDelegate : public QStyledItemDelegate {
public:
    static constexpr int kRowHeight = 24;
    // Where an entry's text begins, right of its picture.
    static constexpr int kTextLeft = 25;
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// A multi-selection list of the toolbar dialog. A drag carries its current entry; the drag
// events go to the dialog through the hooks, and the drop place shows as a red line two
// pixels high.
class ToolbarEntryView : public QListView {
    Q_OBJECT
public:
    explicit ToolbarEntryView(QWidget* parent = nullptr);

    std::function<void()> dragStarting;  // before the drag: may change the selection
    std::function<QMimeData*()> dragData;
    std::function<void()> dragEnded;
    std::function<void(QDragMoveEvent*)> dragMoved;  // also for the drag entering
    std::function<void(QDropEvent*)> dropped;

    // The entry under a point of the viewport, nothing below the last entry.
    std::optional<size_t> entryAt(const QPoint& point) const;
    int firstVisibleEntry() const;
    // The top of the red line in the viewport; nothing for none.
    void setDropLine(std::optional<int> top);
    std::optional<int> dropLine() const { return dropLine_; }

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<int> dropLine_;
};

}  // namespace brenvale

#include "ui/toolbar_entry_view.h"

#include <QDrag>
#include <QDragMoveEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>

#include "settings/toolbar_lists.h"
#include "ui/codec.h"
#include "ui/images.h"

namespace brenvale {

ToolbarEntryModel::ToolbarEntryModel(const ToolbarEntryList& list, const ImageLists& images,
                                     QObject* parent)
    : QAbstractListModel(parent), list_(list), images_(images) {}

int ToolbarEntryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(list_.size());
}

QVariant ToolbarEntryModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    const ToolbarEntry& entry = list_.at(static_cast<size_t>(index.row()));
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        return FromUtf8(entry.text);
    }
    if (role == Qt::DecorationRole && !entry.isSeparator()) {
        return images_.barIcon(entry.image);
    }
    return {};
}

Qt::ItemFlags ToolbarEntryModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractListModel::flags(index);
    return index.isValid() ? flags | Qt::ItemIsDragEnabled : flags;
}

void ToolbarEntryModel::reload() {
    beginResetModel();
    endResetModel();
}

void ToolbarEntryDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    const QRect r = option.rect;
    const QPalette& palette = option.palette;
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->fillRect(r, palette.brush(selected ? QPalette::Highlight : QPalette::Base));
    painter->setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    // A text wider than the list ends in an ellipsis; the entry's tooltip shows all of it.
    const QRect textRect(r.left() + kTextLeft, r.top() + 6, r.width() - kTextLeft - 2,
                         r.height() - 6);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(),
                                                    Qt::ElideRight, textRect.width()));
    painter->setPen(palette.color(QPalette::ButtonText));
    painter->drawRect(r.left() + 1, r.top() + 1, 21, 21);
    painter->setPen(palette.color(QPalette::Dark));
    painter->drawRect(r.left() + 2, r.top() + 2, 19, 19);
    QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
    if (!icon.isNull()) {
        icon.paint(painter, QRect(r.left() + 4, r.top() + 4, 16, 16));
    }
    painter->restore();
}

QSize ToolbarEntryDelegate::sizeHint(const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
    return {QStyledItemDelegate::sizeHint(option, index).width() + kTextLeft, kRowHeight};
}

ToolbarEntryView::ToolbarEntryView(QWidget* parent) : QListView(parent) {
    setItemDelegate(new ToolbarEntryDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setDragEnabled(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

std::optional<size_t> ToolbarEntryView::entryAt(const QPoint& point) const {
    QModelIndex index = indexAt(point);
    if (!index.isValid()) {
        return std::nullopt;
    }
    return static_cast<size_t>(index.row());
}

int ToolbarEntryView::firstVisibleEntry() const {
    return verticalScrollBar()->value();
}

void ToolbarEntryView::setDropLine(std::optional<int> top) {
    if (top != dropLine_) {
        dropLine_ = top;
        viewport()->update();
    }
}

void ToolbarEntryView::startDrag(Qt::DropActions) {
    if (dragStarting) {
        dragStarting();
    }
    QMimeData* data = dragData ? dragData() : nullptr;
    if (!data) {
        return;
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::MoveAction);
    if (dragEnded) {
        dragEnded();
    }
}

void ToolbarEntryView::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void ToolbarEntryView::dragMoveEvent(QDragMoveEvent* event) {
    event->ignore();
    if (dragMoved) {
        dragMoved(event);
    }
}

void ToolbarEntryView::dragLeaveEvent(QDragLeaveEvent* event) {
    setDropLine(std::nullopt);
    event->accept();
}

void ToolbarEntryView::dropEvent(QDropEvent* event) {
    event->ignore();
    if (dropped) {
        dropped(event);
    }
    setDropLine(std::nullopt);
}

void ToolbarEntryView::paintEvent(QPaintEvent* event) {
    QListView::paintEvent(event);
    if (dropLine_) {
        QPainter painter(viewport());
        painter.fillRect(0, *dropLine_, viewport()->width(), 2, QColor(Qt::red));
    }
}

}  // namespace brenvale

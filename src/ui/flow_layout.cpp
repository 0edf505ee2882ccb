#include "ui/flow_layout.h"

#include <QWidget>

#include <algorithm>

namespace brenvale {

FlowLayout::FlowLayout(QWidget* parent) : QLayout(parent) {
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

FlowLayout::~FlowLayout() {
    while (QLayoutItem* item = takeAt(0)) {
        delete item;
    }
}

void FlowLayout::addItem(QLayoutItem* item) {
    items_.push_back({item, pendingBreak_});
    pendingBreak_ = false;
}

void FlowLayout::addBreak() {
    pendingBreak_ = true;
}

QLayoutItem* FlowLayout::itemAt(int index) const {
    return index >= 0 && index < items_.size() ? items_[index].item : nullptr;
}

QLayoutItem* FlowLayout::takeAt(int index) {
    if (index < 0 || index >= items_.size()) {
        return nullptr;
    }
    return items_.takeAt(index).item;
}

int FlowLayout::heightForWidth(int width) const {
    return layOut(QRect(0, 0, width, 0), false);
}

QSize FlowLayout::sizeHint() const {
    return minimumSize();
}

QSize FlowLayout::minimumSize() const {
    QSize size;
    for (const Entry& entry : items_) {
        size = size.expandedTo(entry.item->minimumSize());
    }
    QMargins m = contentsMargins();
    return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

void FlowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    layOut(rect, true);
}

int FlowLayout::layOut(const QRect& rect, bool apply) const {
    QRect area = rect.marginsRemoved(contentsMargins());
    const int gap = std::max(0, spacing());
    int x = area.x();
    int y = area.y();
    int rowHeight = 0;
    for (const Entry& entry : items_) {
        QWidget* widget = entry.item->widget();
        if (widget && widget->isHidden()) {
            continue;
        }
        QSize size = entry.item->sizeHint();
        // A widget wider than the whole row gets the row, and is cut rather than sticking out.
        size.setWidth(std::min(size.width(), std::max(0, area.width())));
        bool wrap = x > area.x() && (entry.breakBefore || x + size.width() > area.right() + 1);
        if (wrap) {
            x = area.x();
            y += rowHeight + gap;
            rowHeight = 0;
        }
        if (apply) {
            entry.item->setGeometry(QRect(QPoint(x, y), size));
        }
        x += size.width() + gap;
        rowHeight = std::max(rowHeight, size.height());
    }
    QMargins m = contentsMargins();
    return y + rowHeight - rect.y() + m.bottom();
}

}  // namespace brenvale

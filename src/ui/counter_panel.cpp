#include "ui/counter_panel.h"

#include <qdrawutil.h>
#include <QPainter>

namespace brenvale {

CounterPanel::CounterPanel(QColor background, QIcon icon, std::function<Texts()> texts,
                           QWidget* parent)
    : QWidget(parent), background_(background), icon_(std::move(icon)), texts_(std::move(texts)) {}

QSize CounterPanel::sizeHint() const {
    Texts t = texts_();
    return QSize(fontMetrics().horizontalAdvance(t.black + t.red + t.after) + 30, 20);
}

void CounterPanel::refresh() {
    updateGeometry();
    update();
}

void CounterPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // A lowered bevel round the panel P the counters are drawn in.
    qDrawShadePanel(&painter, rect(), palette(), true, 1);
    QRect p = rect().adjusted(1, 1, -1, -1);
    painter.fillRect(p, background_);
    icon_.paint(&painter, QRect(p.left() + 2, p.top(), 16, 16));
    Texts t = texts_();
    painted_ = t;
    QRect textRect(p.left() + 22, p.top() + 3, p.width() - 22, p.height() - 3);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    painter.setPen(Qt::black);
    painter.drawText(textRect, flags, t.black);
    painter.setPen(QColor(255, 0, 0));
    painter.drawText(textRect.adjusted(fontMetrics().horizontalAdvance(t.black), 0, 0, 0), flags,
                     t.red);
    painter.setPen(Qt::black);
    painter.drawText(textRect.adjusted(fontMetrics().horizontalAdvance(t.black + t.red), 0, 0, 0),
                     flags, t.after);
}

}  // namespace brenvale

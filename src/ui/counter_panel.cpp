#include "ui/counter_panel.h"

#include <QPainter>

namespace brenvale {

CounterPanel::CounterPanel(QColor background, QIcon icon, std::function<Texts()> texts,
                           QWidget* parent)
    : QWidget(parent), background_(background), icon_(std::move(icon)), texts_(std::move(texts)) {}

QSize CounterPanel::sizeHint() const {
    Texts t = texts_();
    return QSize(fontMetrics().horizontalAdvance(t.black + t.red) + 30, 20);
}

void CounterPanel::refresh() {
    updateGeometry();
    update();
}

void CounterPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QRect p = rect();
    painter.fillRect(p, background_);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(p.adjusted(0, 0, -1, -1));
    icon_.paint(&painter, QRect(p.left() + 2, p.top() + (p.height() - 16) / 2, 16, 16));
    Texts t = texts_();
    QRect textRect(p.left() + 22, p.top(), p.width() - 22, p.height());
    painter.setPen(Qt::black);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, t.black);
    painter.setPen(QColor(255, 0, 0));
    painter.drawText(textRect.adjusted(fontMetrics().horizontalAdvance(t.black), 0, 0, 0),
                     Qt::AlignLeft | Qt::AlignVCenter, t.red);
}

}  // namespace brenvale

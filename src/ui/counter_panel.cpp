#include "ui/counter_panel.h"

#include <qdrawutil.h>
#include <QPainter>

#include "ui/colours.h"

namespace brenvale {

CounterPanel::CounterPanel(QString label, QIcon icon, std::function<Texts()> texts, QWidget* parent)
    : QWidget(parent), label_(std::move(label)), icon_(std::move(icon)), texts_(std::move(texts)) {
    updateAccessibleName();
}

QSize CounterPanel::sizeHint() const {
    Texts t = texts_();
    return QSize(fontMetrics().horizontalAdvance(t.black + t.red + t.after) + 30, 20);
}

void CounterPanel::refresh() {
    updateGeometry();
    update();
    updateAccessibleName();
}

void CounterPanel::setColours(const CounterColours& colours) {
    colours_ = colours;
    update();
}

void CounterPanel::updateAccessibleName() {
    Texts t = texts_();
    QString name = label_ + QLatin1Char(' ') + t.black + t.red + t.after;
    if (name != accessibleName()) {
        setAccessibleName(name);
    }
}

void CounterPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // A lowered bevel round the panel P the counters are drawn in.
    qDrawShadePanel(&painter, rect(), palette(), true, 1);
    QRect p = rect().adjusted(1, 1, -1, -1);
    painter.fillRect(p, ToQColor(colours_.background));
    icon_.paint(&painter, QRect(p.left() + 2, p.top(), 16, 16));
    Texts t = texts_();
    painted_ = t;
    QRect textRect(p.left() + 22, p.top() + 3, p.width() - 22, p.height() - 3);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    painter.setPen(ToQColor(colours_.text));
    painter.drawText(textRect, flags, t.black);
    painter.setPen(ToQColor(colours_.alert));
    painter.drawText(textRect.adjusted(fontMetrics().horizontalAdvance(t.black), 0, 0, 0), flags,
                     t.red);
    painter.setPen(ToQColor(colours_.text));
    painter.drawText(textRect.adjusted(fontMetrics().horizontalAdvance(t.black + t.red), 0, 0, 0),
                     flags, t.after);
}

}  // namespace brenvale

#include "ui/view_drag.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include <utility>

#include "editor/drag_actions.h"
#include "ui/codec.h"
#include "ui/images.h"

namespace brenvale {

namespace {

class OwnDragRefuser : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove:
            case QEvent::Drop:
                if (IsOwnDrag(static_cast<QDropEvent*>(event)->mimeData())) {
                    event->ignore();
                    return true;
                }
                return false;
            default:
                return false;
        }
    }
};

}  // namespace

QPixmap DragCursor(qreal ratio) {
    // The drag cursor's hot spot is its top left pixel, the arrow tip. A drag cursor made from
    // a picture takes the picture's centre as its hot spot, so the picture sits in the lower
    // right quarter of one twice its size.
    QPixmap arrow =
        ScaledResourcePixmap(QStringLiteral(":/cursor/crdrag.png"), QSize(32, 32), ratio);
    const qreal pictureRatio = arrow.devicePixelRatio();
    arrow.setDevicePixelRatio(1.0);
    QPixmap padded(arrow.size() * 2);
    padded.fill(Qt::transparent);
    {
        QPainter painter(&padded);
        painter.drawPixmap(arrow.width(), arrow.height(), arrow);
    }
    padded.setDevicePixelRatio(pictureRatio);
    return padded;
}

QMimeData* MakeDragData(const DragActions& drag) {
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kOwnDragFormat), QByteArray());
    data->setText(FromCp932(drag.dragText()));
    return data;
}

bool IsOwnDrag(const QMimeData* data) {
    return data && data->hasFormat(QString::fromLatin1(kOwnDragFormat));
}

void RunDrag(QWidget* source, QMimeData* data) {
    auto* drag = new QDrag(source);
    drag->setMimeData(data);
    // A transparent pixel stands for "no image": without any, the platform shows its own.
    QPixmap nothing(1, 1);
    nothing.fill(Qt::transparent);
    drag->setPixmap(nothing);
    QPixmap cursor = DragCursor(source->devicePixelRatioF());
    // Qt's X11 platform shows a picture cursor pixel for pixel but places the hot spot it
    // takes from the picture's size in logical pixels; a picture without a ratio puts the
    // centre, the arrow's tip, where the pointer is.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        cursor.setDevicePixelRatio(1.0);
    }
    drag->setDragCursor(cursor, Qt::MoveAction);
    drag->setDragCursor(cursor, Qt::CopyAction);
    // The views move what is dropped on them themselves; another program takes the text, and
    // nothing changes here whatever it does with it.
    drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
}

void RefuseOwnDrags(QWidget* widget) {
    widget->installEventFilter(new OwnDragRefuser(widget));
}

void DragGesture::press(const QMouseEvent* event, bool canDrag) {
    pressedAt_ = event->position().toPoint();
    canDrag_ = canDrag && event->button() == Qt::LeftButton;
    dragged_ = false;
}

bool DragGesture::release() {
    pressedAt_.reset();
    return std::exchange(dragged_, false);
}

bool DragGesture::holds(const QMouseEvent* event) const {
    return pressedAt_ && event->buttons() != Qt::NoButton;
}

bool DragGesture::startsDrag(const QMouseEvent* event) {
    if (!holds(event) || !canDrag_ || !(event->buttons() & Qt::LeftButton)) {
        return false;
    }
    QPoint moved = event->position().toPoint() - *pressedAt_;
    if (moved.manhattanLength() < QApplication::startDragDistance()) {
        return false;
    }
    // One press starts one drag; the moves after a cancelled drag still belong to it.
    canDrag_ = false;
    dragged_ = true;
    return true;
}

}  // namespace brenvale

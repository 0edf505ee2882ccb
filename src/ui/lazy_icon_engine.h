#pragma once

#include <QGuiApplication>
#include <QIcon>
#include <QIconEngine>
#include <QPainter>

namespace brenvale {

// An icon engine that makes its real icon only when the icon is first drawn or measured, not
// when the icon is made: a subclass says how (make()), and every question goes to that icon.
class LazyIconEngine : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        iconFor(rect.size(), ratio).paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return iconFor(size, 1.0).pixmap(size, 1.0, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        // size is in device pixels here.
        QSize logical = scale > 0 ? (QSizeF(size) / scale).toSize() : size;
        return iconFor(logical, scale).pixmap(logical, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        // Asked in device pixels on a scaled screen, in pixels otherwise.
        qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
        return iconFor(size, ratio).actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return iconFor(QSize(), 0).availableSizes(mode, state);
    }
    bool isNull() override { return icon().isNull(); }

protected:
    // The real icon; asked once.
    virtual QIcon make() = 0;
    // The icon that answers for a `logical` size drawn at `ratio` device pixels a pixel (an
    // invalid size: for every size); the whole icon unless a subclass can make less of it.
    virtual const QIcon& iconFor(const QSize& logical, qreal ratio) {
        (void)logical;
        (void)ratio;
        return icon();
    }

private:
    const QIcon& icon() {
        if (!made_) {
            made_ = true;
            icon_ = make();
        }
        return icon_;
    }

    bool made_ = false;
    QIcon icon_;
};

}  // namespace brenvale

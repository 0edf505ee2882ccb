#pragma once

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
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, 1.0, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        // size is in device pixels here.
        QSize logical = scale > 0 ? (QSizeF(size) / scale).toSize() : size;
        return icon().pixmap(logical, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    bool isNull() override { return icon().isNull(); }

protected:
    // The real icon; asked once.
    virtual QIcon make() = 0;

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

#include "ui/lazy_icon_style.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleFactory>
#include <QWidget>

namespace brenvale {

namespace {

// The icons left to their first use; every other one is made at once, as the style makes it.
bool MadeWhenDrawn(QStyle::StandardPixmap which) {
    switch (which) {
        case QStyle::SP_ToolBarHorizontalExtensionButton:
        case QStyle::SP_ToolBarVerticalExtensionButton:
        case QStyle::SP_TitleBarCloseButton:
        case QStyle::SP_TitleBarNormalButton:
        case QStyle::SP_DockWidgetCloseButton:
            return true;
        default:
            return false;
    }
}

// A standard icon that asks its style for the real one when it is first drawn or measured.
class LazyStandardIcon : public QIconEngine {
public:
    LazyStandardIcon(const QStyle* style, QStyle::StandardPixmap which, const QWidget* widget)
        : style_(const_cast<QStyle*>(style)),
          which_(which),
          widget_(const_cast<QWidget*>(widget)) {}

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
    QString key() const override { return QStringLiteral("brenvale-lazy-standard-icon"); }
    QIconEngine* clone() const override { return new LazyStandardIcon(*this); }

private:
    const QIcon& icon() {
        if (!made_) {
            made_ = true;
            if (style_) {
                icon_ = style_->standardIcon(which_, nullptr, widget_.data());
            }
        }
        return icon_;
    }

    QPointer<QStyle> style_;
    QStyle::StandardPixmap which_;
    QPointer<QWidget> widget_;
    bool made_ = false;
    QIcon icon_;
};

}  // namespace

QIcon LazyIconStyle::standardIcon(StandardPixmap which, const QStyleOption* option,
                                  const QWidget* widget) const {
    if (option || !MadeWhenDrawn(which)) {
        return QProxyStyle::standardIcon(which, option, widget);
    }
    return QIcon(new LazyStandardIcon(baseStyle(), which, widget));
}

void UseLazyIconStyle() {
    QStyle* current = QApplication::style();
    if (!current || qobject_cast<LazyIconStyle*>(current)) {
        return;
    }
    if (QStyle* base = QStyleFactory::create(current->name())) {
        QApplication::setStyle(new LazyIconStyle(base));
    }
}

}  // namespace brenvale

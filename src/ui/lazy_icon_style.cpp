#include "ui/lazy_icon_style.h"

#include <QApplication>
#include <QPointer>
#include <QStyleFactory>
#include <QWidget>

#include "ui/lazy_icon_engine.h"

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
class LazyStandardIcon : public LazyIconEngine {
public:
    LazyStandardIcon(const QStyle* style, QStyle::StandardPixmap which, const QWidget* widget)
        : style_(const_cast<QStyle*>(style)),
          which_(which),
          widget_(const_cast<QWidget*>(widget)) {}

    QString key() const override { return QStringLiteral("brenvale-lazy-standard-icon"); }
    QIconEngine* clone() const override { return new LazyStandardIcon(*this); }

private:
    QIcon make() override {
        return style_ ? style_->standardIcon(which_, nullptr, widget_.data()) : QIcon();
    }

    QPointer<QStyle> style_;
    QStyle::StandardPixmap which_;
    QPointer<QWidget> widget_;
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

#pragma once

#include <QProxyStyle>

namespace brenvale {

// The application's own style, with the standard icons that widgets make when they are built
// but seldom show (the menu bar's extension arrow, a dock widget's buttons) read when first
// drawn: each is a few pictures, and the first picture read loads every image plugin.
class LazyIconStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

// Puts the application's style behind a LazyIconStyle, once; a style that cannot be made
// again by its name is left as it is.
void UseLazyIconStyle();

}  // namespace brenvale

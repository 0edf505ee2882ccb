#pragma once

#include <QColor>
#include <QPalette>

namespace brenvale::test {

// A desktop's dark palette, as a dark theme gives it to the application.
inline QPalette DarkDesktopPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2A, 0x2A, 0x2E));
    dark.setColor(QPalette::WindowText, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::Base, QColor(0x1E, 0x1E, 0x22));
    dark.setColor(QPalette::Text, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::Button, QColor(0x33, 0x33, 0x38));
    dark.setColor(QPalette::ButtonText, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::Highlight, QColor(0x3D, 0x6E, 0xB4));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    return dark;
}

}  // namespace brenvale::test

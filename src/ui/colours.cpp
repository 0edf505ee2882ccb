#include "ui/colours.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace brenvale {

namespace {

constexpr Colour kSystemBase = 0x80000000;

// The palette roles that stand for the system colours, by index.
QColor SystemColour(Colour index) {
    const QPalette palette = QApplication::palette();
    static const QPalette::ColorRole roles[] = {
        QPalette::Button,
        QPalette::Window,
        QPalette::Highlight,
        QPalette::Mid,
        QPalette::Window,
        QPalette::Base,
        QPalette::Shadow,
        QPalette::WindowText,
        QPalette::Text,
        QPalette::HighlightedText,
        QPalette::Midlight,
        QPalette::Mid,
        QPalette::Dark,
        QPalette::Highlight,
        QPalette::HighlightedText,
        QPalette::Button,
        QPalette::Dark,
        QPalette::PlaceholderText,
        QPalette::ButtonText,
        QPalette::WindowText,
        QPalette::Light,
        QPalette::Shadow,
        QPalette::Midlight,
        QPalette::ToolTipText,
        QPalette::ToolTipBase,
    };
    if (index < std::size(roles)) {
        return palette.color(roles[index]);
    }
    return {};
}

}  // namespace

QColor ToQColor(Colour colour) {
    if (colour >= kSystemBase) {
        return SystemColour(colour - kSystemBase);
    }
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

Colour FromQColor(const QColor& colour) {
    return static_cast<Colour>(colour.red()) | (static_cast<Colour>(colour.green()) << 8) |
           (static_cast<Colour>(colour.blue()) << 16);
}

QColor GreyTextBetween(const QColor& text, const QColor& background) {
    return QColor((text.red() + background.red()) / 2, (text.green() + background.green()) / 2,
                  (text.blue() + background.blue()) / 2);
}

void SetWidgetColours(QWidget* widget, std::optional<Colour> background,
                      std::optional<Colour> text) {
    QPalette palette = widget->palette();
    if (background) {
        palette.setColor(QPalette::Base, ToQColor(*background));
    }
    if (text) {
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            palette.setColor(group, QPalette::Text, ToQColor(*text));
        }
    }
    // The grey text (disabled text, placeholders, counts after a caption) lies between the text
    // and the background in effect, so it reads on any pair of them.
    const QColor grey = GreyTextBetween(palette.color(QPalette::Active, QPalette::Text),
                                        palette.color(QPalette::Active, QPalette::Base));
    palette.setColor(QPalette::Disabled, QPalette::Text, grey);
    palette.setColor(QPalette::PlaceholderText, grey);
    widget->setPalette(palette);
}

QColor GreyText(const QPalette& palette) {
    return palette.color(QPalette::Disabled, QPalette::Text);
}

}  // namespace brenvale

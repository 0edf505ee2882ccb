#pragma once

#include <QColor>

#include <optional>

#include "settings/colour.h"

class QPalette;
class QWidget;

namespace brenvale {

// A settings colour as Qt's: red, green and blue from the low bytes, or the platform's system
// colour of that index.
QColor ToQColor(Colour colour);
Colour FromQColor(const QColor& colour);

// Gives a view or an edit box a background (its base) and a text colour; nothing keeps one.
// Its grey text (the disabled text and the placeholder) becomes the colour half way between
// the two.
void SetWidgetColours(QWidget* widget, std::optional<Colour> background,
                      std::optional<Colour> text);

// The colour half way between a text colour and its background.
QColor GreyTextBetween(const QColor& text, const QColor& background);
// The grey text of a palette: what is secondary to the text beside it.
QColor GreyText(const QPalette& palette);

}  // namespace brenvale

#pragma once

#include <QColor>

#include <optional>

#include "settings/colour.h"

class QWidget;

namespace brenvale {

// A settings colour as Qt's: red, green and blue from the low bytes, or the platform's system
// colour of that index.
QColor ToQColor(Colour colour);
Colour FromQColor(const QColor& colour);

// Gives a view or an edit box a background (its base) and a text colour; nothing keeps one.
void SetWidgetColours(QWidget* widget, std::optional<Colour> background,
                      std::optional<Colour> text);

}  // namespace brenvale

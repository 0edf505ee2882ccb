#pragma once

#include <QColor>

#include "settings/colour.h"

namespace brenvale {

// A settings colour as Qt's: red, green and blue from the low bytes, or the platform's system
// colour of that index.
QColor ToQColor(Colour colour);
Colour FromQColor(const QColor& colour);

}  // namespace brenvale

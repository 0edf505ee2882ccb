#pragma once

#include "settings/colour.h"
#include "settings/option_table.h"

namespace brenvale {

// Which colours the views show on a light or a dark desktop. Colours here are plain red,
// green and blue values (no system colour indices): the window resolves those first.

// Lightness from 0 to 255: the mean of the largest and the smallest channel.
int Lightness(Colour colour);

// The same hue and chroma at another lightness (0 to 255), as near as the channels allow.
Colour WithLightness(Colour colour, int lightness);

// A desktop palette is dark when its window colour is darker than its text.
bool IsDarkPalette(Colour window, Colour text);

// The dark counterparts of the default pastels: the same hues, dark backgrounds and light
// texts.
ViewColours DarkDefaultColours();

// The colours the views show: a view whose colours the settings file holds keeps them as
// they are; a view that follows the desktop shows the defaults, or their dark counterparts on
// a dark desktop.
ViewColours ColoursInEffect(const ViewColours& settings, bool darkDesktop);

// The three lines of a separator row: a middle line between two outer ones, all visible on
// the list's background. On a light background they are the classic silver and grey.
struct SeparatorLines {
    Colour outer;
    Colour middle;
};
SeparatorLines SeparatorLinesOn(Colour background);

// A status bar counter: its tinted background, its text and the unchecked count's red.
struct CounterColours {
    Colour background;
    Colour text;
    Colour alert;

    bool operator==(const CounterColours&) const = default;
};
CounterColours TreeCounterColours(bool darkDesktop);

// The list's texts by their dues: an open Item whose due day has passed in red (a deep red on a
// light background, a light one on a dark background, both easy to read there), and the
// tokens of a text ("due:", "#tag", "rec:") fainter than the text around them.
Colour OverdueTextOn(Colour background);
Colour DimmedText(Colour text, Colour background);
CounterColours ListCounterColours(bool darkDesktop);

}  // namespace brenvale

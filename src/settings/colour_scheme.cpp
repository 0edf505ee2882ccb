#include "settings/colour_scheme.h"

#include <algorithm>

namespace brenvale {

namespace {

// Lightness of the dark backgrounds and of the light texts on them.
constexpr int kDarkBackground = 40;
constexpr int kLightText = 226;

int Channel(Colour colour, int shift) {
    return static_cast<int>((colour >> shift) & 0xFF);
}

Colour Rgb(int red, int green, int blue) {
    auto clamp = [](int value) { return static_cast<Colour>(std::clamp(value, 0, 255)); };
    return clamp(red) | (clamp(green) << 8) | (clamp(blue) << 16);
}

// Relative luminance on a scale of 0 to 1000 (sRGB weights without the gamma curve, which
// is enough to order two colours).
int Luminance(Colour colour) {
    return (Channel(colour, 0) * 2126 + Channel(colour, 8) * 7152 + Channel(colour, 16) * 722) /
           2550;
}

}  // namespace

int Lightness(Colour colour) {
    int r = Channel(colour, 0);
    int g = Channel(colour, 8);
    int b = Channel(colour, 16);
    return (std::max({r, g, b}) + std::min({r, g, b}) + 1) / 2;
}

Colour WithLightness(Colour colour, int lightness) {
    // Moving every channel by the same amount keeps the hue and the chroma.
    int shift = lightness - Lightness(colour);
    return Rgb(Channel(colour, 0) + shift, Channel(colour, 8) + shift, Channel(colour, 16) + shift);
}

bool IsDarkPalette(Colour window, Colour text) {
    return Luminance(window) < Luminance(text);
}

ViewColours DarkDefaultColours() {
    const ViewColours light;
    ViewColours dark = light;
    dark.treeBack = WithLightness(light.treeBack, kDarkBackground);
    dark.treeText = WithLightness(light.treeText, kLightText);
    dark.listBack = WithLightness(light.listBack, kDarkBackground);
    dark.listText = WithLightness(light.listText, kLightText);
    return dark;
}

ViewColours ColoursInEffect(const ViewColours& settings, bool darkDesktop) {
    ViewColours shown = settings;
    const ViewColours defaults = darkDesktop ? DarkDefaultColours() : ViewColours{};
    if (settings.treeFollowsDesktop) {
        shown.treeBack = defaults.treeBack;
        shown.treeText = defaults.treeText;
    }
    if (settings.listFollowsDesktop) {
        shown.listBack = defaults.listBack;
        shown.listText = defaults.listText;
    }
    return shown;
}

SeparatorLines SeparatorLinesOn(Colour background) {
    if (Lightness(background) >= 128) {
        return {Rgb(192, 192, 192), Rgb(128, 128, 128)};
    }
    // On a dark background: a light middle line in a darker groove, both clearly off the
    // background.
    int base = Lightness(background);
    return {Rgb(base + 36, base + 36, base + 36), Rgb(base + 96, base + 96, base + 96)};
}

CounterColours TreeCounterColours(bool darkDesktop) {
    const Colour tint = Rgb(181, 181, 192);
    if (!darkDesktop) {
        return {tint, Rgb(0, 0, 0), Rgb(255, 0, 0)};
    }
    return {WithLightness(tint, kDarkBackground + 12), Rgb(kLightText, kLightText, kLightText),
            Rgb(255, 110, 110)};
}

CounterColours ListCounterColours(bool darkDesktop) {
    const Colour tint = Rgb(192, 181, 181);
    if (!darkDesktop) {
        return {tint, Rgb(0, 0, 0), Rgb(255, 0, 0)};
    }
    return {WithLightness(tint, kDarkBackground + 12), Rgb(kLightText, kLightText, kLightText),
            Rgb(255, 110, 110)};
}

Colour OverdueTextOn(Colour background) {
    return Lightness(background) >= 128 ? Rgb(192, 0, 0) : Rgb(255, 120, 120);
}

Colour DimmedText(Colour text, Colour background) {
    // Two thirds of the way from the background to the text.
    auto mix = [&](int shift) {
        return (Channel(background, shift) + 2 * Channel(text, shift) + 1) / 3;
    };
    return Rgb(mix(0), mix(8), mix(16));
}

}  // namespace brenvale

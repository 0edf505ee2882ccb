#include "settings/colour.h"

#include <array>
#include <cstdio>

#include "common/text.h"
#include "settings/ini_value.h"

namespace brenvale {

namespace {

constexpr Colour kSystem = 0x80000000;

constexpr std::array<NamedColour, 42> kNamedColours = {{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clScrollBar", kSystem + 0},
    {"clBackground", kSystem + 1},
    {"clActiveCaption", kSystem + 2},
    {"clInactiveCaption", kSystem + 3},
    {"clMenu", kSystem + 4},
    {"clWindow", kSystem + 5},
    {"clWindowFrame", kSystem + 6},
    {"clMenuText", kSystem + 7},
    {"clWindowText", kSystem + 8},
    {"clCaptionText", kSystem + 9},
    {"clActiveBorder", kSystem + 10},
    {"clInactiveBorder", kSystem + 11},
    {"clAppWorkSpace", kSystem + 12},
    {"clHighlight", kSystem + 13},
    {"clHighlightText", kSystem + 14},
    {"clBtnFace", kSystem + 15},
    {"clBtnShadow", kSystem + 16},
    {"clGrayText", kSystem + 17},
    {"clBtnText", kSystem + 18},
    {"clInactiveCaptionText", kSystem + 19},
    {"clBtnHighlight", kSystem + 20},
    {"cl3DDkShadow", kSystem + 21},
    {"cl3DLight", kSystem + 22},
    {"clInfoText", kSystem + 23},
    {"clInfoBk", kSystem + 24},
    {"clNone", 0x1FFFFFFF},
}};

}  // namespace

std::span<const NamedColour> NamedColours() {
    return kNamedColours;
}

std::string FormatColour(Colour value) {
    for (const NamedColour& named : kNamedColours) {
        if (named.value == value) {
            return std::string(named.name);
        }
    }
    char text[16];
    std::snprintf(text, sizeof text, "$%08X", static_cast<unsigned>(value));
    return text;
}

std::optional<Colour> ParseColour(std::string_view text) {
    for (const NamedColour& named : kNamedColours) {
        if (EqualsIgnoreCase(named.name, text)) {
            return named.value;
        }
    }
    if (std::optional<int32_t> value = ParseIniInteger(text)) {
        return static_cast<Colour>(*value);
    }
    return std::nullopt;
}

}  // namespace brenvale

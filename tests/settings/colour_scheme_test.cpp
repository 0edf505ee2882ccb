#include "settings/colour_scheme.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "settings/option_table.h"
#include "settings/option_writes.h"

namespace brenvale {
namespace {

int Red(Colour c) {
    return static_cast<int>(c & 0xFF);
}
int Green(Colour c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
int Blue(Colour c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

// The same hue and chroma: every channel moved by the same amount.
void ExpectSameHue(Colour light, Colour dark) {
    int shift = Red(dark) - Red(light);
    EXPECT_EQ(Green(dark) - Green(light), shift);
    EXPECT_EQ(Blue(dark) - Blue(light), shift);
}

TEST(ColourScheme, DarkDefaultsAreThePastelsHuesDarkWithLightText) {
    const ViewColours light;
    const ViewColours dark = DarkDefaultColours();
    for (auto [back, text] : {std::pair{&ViewColours::treeBack, &ViewColours::treeText},
                              std::pair{&ViewColours::listBack, &ViewColours::listText}}) {
        ExpectSameHue(light.*back, dark.*back);
        ExpectSameHue(light.*text, dark.*text);
        EXPECT_LT(Lightness(dark.*back), 64);
        EXPECT_GT(Lightness(dark.*text), 200);
        EXPECT_TRUE(IsDarkPalette(dark.*back, dark.*text));
    }
    // The tree stays bluish and the list reddish, as their pastels are.
    EXPECT_GT(Blue(dark.treeBack), Red(dark.treeBack));
    EXPECT_GT(Red(dark.listBack), Blue(dark.listBack));
}

TEST(ColourScheme, APaletteIsDarkWhenItsWindowIsDarkerThanItsText) {
    EXPECT_TRUE(IsDarkPalette(0x00303030, 0x00F0F0F0));
    EXPECT_FALSE(IsDarkPalette(0x00F0F0F0, 0x00000000));
    EXPECT_FALSE(IsDarkPalette(0x00808080, 0x00808080));
    // Green weighs more than blue: pure blue is darker than a mid grey.
    EXPECT_TRUE(IsDarkPalette(0x00FF0000, 0x00808080));
}

TEST(ColourScheme, ViewsFollowTheDesktopUnlessTheirColoursWereChosen) {
    ViewColours settings;
    settings.treeFollowsDesktop = true;
    settings.listFollowsDesktop = true;
    const ViewColours dark = DarkDefaultColours();

    ViewColours shown = ColoursInEffect(settings, true);
    EXPECT_EQ(shown.treeBack, dark.treeBack);
    EXPECT_EQ(shown.listText, dark.listText);
    shown = ColoursInEffect(settings, false);
    EXPECT_EQ(shown.treeBack, ViewColours{}.treeBack);
    EXPECT_EQ(shown.listText, ViewColours{}.listText);

    // Chosen colours stay as chosen, also a light pair on a dark desktop.
    settings.treeBack = 0x00FFFFFF;
    settings.treeText = 0x00000000;
    settings.treeFollowsDesktop = false;
    shown = ColoursInEffect(settings, true);
    EXPECT_EQ(shown.treeBack, 0x00FFFFFFu);
    EXPECT_EQ(shown.treeText, 0x00000000u);
    EXPECT_EQ(shown.listBack, dark.listBack);
    EXPECT_FALSE(shown.treeFollowsDesktop);
    EXPECT_TRUE(shown.listFollowsDesktop);
}

// The option values a settings file holding just these keys gives.
OptionValues ValuesWith(const std::vector<std::pair<std::string_view, std::string>>& keys) {
    std::vector<std::optional<std::string>> texts;
    for (const OptionRow& row : OptionTable()) {
        std::optional<std::string> text;
        for (const auto& [key, value] : keys) {
            if (row.key == key) {
                text = value;
            }
        }
        texts.push_back(text);
    }
    return OptionValuesFrom(texts);
}

std::vector<std::string_view> WrittenKeys(const OptionValues& values) {
    std::vector<std::string_view> keys;
    for (const OptionWrite& write : OptionWrites(values)) {
        keys.push_back(write.key);
    }
    return keys;
}

TEST(ColourScheme, AViewWithoutColourKeysFollowsAndOkLeavesItsKeysOut) {
    OptionValues none = ValuesWith({});
    EXPECT_TRUE(none.colours.treeFollowsDesktop);
    EXPECT_TRUE(none.colours.listFollowsDesktop);
    std::vector<std::string_view> keys = WrittenKeys(none);
    for (std::string_view colourKey :
         {"TreeColor", "TreeFontColor", "ListColor", "ListFontColor"}) {
        EXPECT_EQ(std::count(keys.begin(), keys.end(), colourKey), 0) << colourKey;
    }
    EXPECT_EQ(keys.size(), OptionTable().size() - 4);

    // One key of a view is enough for it to keep its colours, the other one's default too;
    // a text that is no colour still counts as the user's.
    OptionValues tree = ValuesWith({{"TreeFontColor", "clRed"}, {"ListColor", "nonsense"}});
    EXPECT_FALSE(tree.colours.treeFollowsDesktop);
    EXPECT_FALSE(tree.colours.listFollowsDesktop);
    EXPECT_EQ(tree.colours.treeText, 0x000000FFu);
    EXPECT_EQ(tree.colours.treeBack, ViewColours{}.treeBack);
    EXPECT_EQ(WrittenKeys(tree).size(), OptionTable().size());

    OptionValues list = ValuesWith({{"ListFontColor", "clWhite"}});
    EXPECT_TRUE(list.colours.treeFollowsDesktop);
    EXPECT_FALSE(list.colours.listFollowsDesktop);
    keys = WrittenKeys(list);
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "ListColor"), 1);
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "TreeColor"), 0);
}

TEST(ColourScheme, SeparatorLinesStandOutFromAnyBackground) {
    SeparatorLines light = SeparatorLinesOn(0x00F8F8FF);
    EXPECT_EQ(light.outer, 0x00C0C0C0u);
    EXPECT_EQ(light.middle, 0x00808080u);
    for (Colour background : {DarkDefaultColours().listBack, Colour{0}, Colour{0x00505050}}) {
        SeparatorLines dark = SeparatorLinesOn(background);
        EXPECT_GE(Lightness(dark.outer), Lightness(background) + 30);
        EXPECT_GE(Lightness(dark.middle), Lightness(dark.outer) + 30);
    }
}

TEST(ColourScheme, CountersKeepTheirTintsOnALightDesktopAndDarkenOnADarkOne) {
    EXPECT_EQ(TreeCounterColours(false), (CounterColours{0x00C0B5B5, 0, 0x000000FF}));
    EXPECT_EQ(ListCounterColours(false), (CounterColours{0x00B5B5C0, 0, 0x000000FF}));
    for (CounterColours dark : {TreeCounterColours(true), ListCounterColours(true)}) {
        EXPECT_TRUE(IsDarkPalette(dark.background, dark.text));
        EXPECT_TRUE(IsDarkPalette(dark.background, dark.alert));
        EXPECT_GT(Red(dark.alert), Green(dark.alert));
    }
}

TEST(ColourScheme, OverdueItemsAreRedAndTokensFainterOnEitherBackground) {
    const ViewColours light;
    const ViewColours dark = DarkDefaultColours();
    for (const ViewColours& view : {light, dark}) {
        Colour overdue = OverdueTextOn(view.listBack);
        EXPECT_GT(Red(overdue), Green(overdue) + 100);
        // As far from the background as the text is, near enough.
        EXPECT_GE(std::abs(Lightness(overdue) - Lightness(view.listBack)), 80);
        Colour dim = DimmedText(view.listText, view.listBack);
        int toText = std::abs(Lightness(dim) - Lightness(view.listText));
        int toBack = std::abs(Lightness(dim) - Lightness(view.listBack));
        EXPECT_GT(toText, 30);
        EXPECT_GT(toBack, toText);
    }
}

}  // namespace
}  // namespace brenvale

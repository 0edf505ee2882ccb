#include "settings/settings_file.h"

#include <algorithm>
#include <iterator>
#include <span>
#include <string_view>

#include "settings/ini_value.h"

namespace brenvale {

namespace {

constexpr int kRecentKeys = 10;

bool Storable(std::string_view path) {
    return !path.empty() && path.find_first_of("\r\n") == std::string_view::npos;
}

// The keys of the start-up reading besides the options, in the order of LayoutFrom's texts.
constexpr IniKey kLayoutKeys[] = {
    {"Window", "Height"}, {"Window", "Width"},     {"Window", "Top"},         {"Window", "Left"},
    {"Window", "State"},  {"Window", "StatusBar"}, {"ToolBtn", "Flat"},       {"Tree", "Width"},
    {"Recent", "9"},      {"Recent", "8"},         {"Recent", "7"},           {"Recent", "6"},
    {"Recent", "5"},      {"Recent", "4"},         {"Recent", "3"},           {"Recent", "2"},
    {"Recent", "1"},      {"Recent", "0"},         {"Find", "ResultsHeight"}, {"Window", "TagPanel"},
};
constexpr size_t kFirstRecent = 8;
constexpr size_t kFindResultsHeight = kFirstRecent + kRecentKeys;
constexpr size_t kTagPanel = kFindResultsHeight + 1;

WindowLayout LayoutFrom(std::span<const std::optional<std::string>> t, int screenWidth,
                        int screenHeight) {
    const WindowLayout d;
    WindowLayout w;
    w.bounds.height = IniIntegerOr(t[0], d.bounds.height);
    w.bounds.width = IniIntegerOr(t[1], d.bounds.width);
    w.bounds.top = IniIntegerOr(t[2], d.bounds.top);
    w.bounds.left = IniIntegerOr(t[3], d.bounds.left);
    // A window closed at -1 is centred again, like one that never stored its place.
    if (w.bounds.top == -1) {
        w.bounds.top = (screenHeight - w.bounds.height) / 2;
    }
    if (w.bounds.left == -1) {
        w.bounds.left = (screenWidth - w.bounds.width) / 2;
    }
    w.restoredBounds = w.bounds;
    w.state = IniBoolOr(t[4], true) ? WindowState::Normal : WindowState::Maximized;
    w.statusBar = IniBoolOr(t[5], d.statusBar);
    w.flatButtons = IniBoolOr(t[6], d.flatButtons);
    w.treeWidth = IniIntegerOr(t[7], d.treeWidth);
    w.tagPanel = IniBoolOr(t[kTagPanel], d.tagPanel);
    w.findResultsHeight = std::max(0, IniIntegerOr(t[kFindResultsHeight], 0));
    // Key "9" down to "0", so that "0" ends up topmost.
    for (size_t i = kFirstRecent; i < kFirstRecent + kRecentKeys; ++i) {
        if (t[i] && !t[i]->empty()) {
            w.recentFiles.push_back(*t[i]);
        }
    }
    return w;
}

void AddBounds(std::vector<IniEdit>& edits, const WindowBounds& b) {
    edits.push_back(IniEdit::Set("Window", "Height", std::to_string(b.height)));
    edits.push_back(IniEdit::Set("Window", "Width", std::to_string(b.width)));
    edits.push_back(IniEdit::Set("Window", "Top", std::to_string(b.top)));
    edits.push_back(IniEdit::Set("Window", "Left", std::to_string(b.left)));
}

}  // namespace

OptionValues ReadOptionValues(const IniFile& ini) {
    return OptionValuesFrom(ini.ReadValues(OptionKeys()));
}

Settings ReadOptionSettings(const IniFile& ini) {
    return ReadOptionValues(ini).settings;
}

StartupSettings ReadSettings(const std::string& path, int screenWidth, int screenHeight) {
    // Every key in one pass over the file, however big it has grown.
    std::vector<IniKey> keys = OptionKeys();
    const size_t options = keys.size();
    keys.insert(keys.end(), std::begin(kLayoutKeys), std::end(kLayoutKeys));
    const std::vector<std::optional<std::string>> texts = IniFile(path).ReadValues(keys);
    const std::span<const std::optional<std::string>> all = texts;
    StartupSettings out;
    out.options = OptionValuesFrom(all.first(options));
    out.layout = LayoutFrom(all.subspan(options), screenWidth, screenHeight);
    return out;
}

void WriteClosingSettings(const std::string& path, const WindowLayout& layout,
                          const std::vector<std::string>& recentPaths) {
    std::vector<IniEdit> edits;
    if (layout.state == WindowState::Normal) {
        AddBounds(edits, layout.bounds);
        edits.push_back(IniEdit::Set("Window", "State", FormatIniBool(true)));
    } else {
        edits.push_back(IniEdit::Set("Window", "State", FormatIniBool(false)));
        // A minimised window keeps the rectangle of the previous close.
        if (layout.state == WindowState::Maximized) {
            AddBounds(edits, layout.restoredBounds);
        }
    }
    edits.push_back(IniEdit::Set("Window", "StatusBar", FormatIniBool(layout.statusBar)));
    edits.push_back(IniEdit::Set("Window", "TagPanel", FormatIniBool(layout.tagPanel)));
    edits.push_back(IniEdit::Set("ToolBtn", "Flat", FormatIniBool(layout.flatButtons)));
    edits.push_back(IniEdit::Set("Tree", "Width", std::to_string(layout.treeWidth)));
    if (layout.findResultsHeight > 0) {
        edits.push_back(
            IniEdit::Set("Find", "ResultsHeight", std::to_string(layout.findResultsHeight)));
    }
    edits.push_back(IniEdit::Erase("Recent"));
    int key = 0;
    for (const std::string& recent : recentPaths) {
        // A file name with a line break cannot be one line of the file; it is left out
        // rather than breaking the file or the close.
        if (key < kRecentKeys && Storable(recent)) {
            edits.push_back(IniEdit::Set("Recent", std::to_string(key++), recent));
        }
    }
    IniFile(path).Write(edits);
}

}  // namespace brenvale

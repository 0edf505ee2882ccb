#include "settings/settings_file.h"

#include <iterator>
#include <span>
#include <string_view>

#include "document/document_writer.h"
#include "settings/ini_value.h"

namespace brenvale {

namespace {

constexpr int kRecentKeys = 10;

// "※File" as a UTF-8 editor would save it by hand; the program itself writes CP932.
constexpr std::string_view kOwnFolderTokenUtf8 =
    "\xE2\x80\xBB"
    "File";

std::string FolderOr(const std::optional<std::string>& text) {
    std::string value = text.value_or(std::string(kOwnFolderToken));
    return value == kOwnFolderTokenUtf8 ? std::string(kOwnFolderToken) : value;
}

Colour ColourOr(const std::optional<std::string>& text, Colour fallback) {
    std::optional<Colour> value = text ? ParseColour(*text) : std::nullopt;
    return value.value_or(fallback);
}

bool Storable(std::string_view path) {
    return !path.empty() && path.find_first_of("\r\n") == std::string_view::npos;
}

// The option keys, in the order of OptionSettingsFrom's texts.
constexpr IniKey kOptionKeys[] = {
    {"Window", "Moving"}, {"Window", "TitleFullPath"}, {"Window", "TitleFullPathActive"},
    {"Save", "EveryS"},   {"Save", "SpRemv"},          {"Save", "AutoSv"},
    {"Save", "AutoMs"},   {"Save", "BackUp"},          {"Save", "BackUpPass"},
    {"Save", "TempPass"}, {"List", "Kugiri"},          {"List", "CekBox"},
    {"List", "CekMoj"},   {"List", "LCBold"},          {"List", "LCItal"},
    {"List", "LCUnde"},
};

Settings OptionSettingsFrom(std::span<const std::optional<std::string>> t) {
    const Settings d;
    Settings s;
    s.keepOnScreen = IniBoolOr(t[0], d.keepOnScreen);
    s.titleShowsPath = IniBoolOr(t[1], d.titleShowsPath);
    s.titlePathOnlyWhenActive = IniBoolOr(t[2], d.titlePathOnlyWhenActive);
    s.applyGeometry = IniBoolOr(t[3], d.applyGeometry);
    s.trimItemSpaces = IniBoolOr(t[4], d.trimItemSpaces);
    s.autoSave = AutoSaveModeOf(IniIntegerOr(t[5], StoredNumber(d.autoSave)));
    s.confirmAutoSave = IniBoolOr(t[6], d.confirmAutoSave);
    s.backup = IniBoolOr(t[7], d.backup);
    s.backupFolder = FolderOr(t[8]);
    s.tempFolder = FolderOr(t[9]);
    s.separatorItems = IniBoolOr(t[10], d.separatorItems);
    s.noBoxItems = IniBoolOr(t[11], d.noBoxItems);
    s.checkMark = t[12].value_or(d.checkMark);
    s.noBoxBold = IniBoolOr(t[13], d.noBoxBold);
    s.noBoxItalic = IniBoolOr(t[14], d.noBoxItalic);
    s.noBoxUnderline = IniBoolOr(t[15], d.noBoxUnderline);
    return s;
}

// The keys of the start-up reading besides the options, in the order of LayoutFrom's texts.
constexpr IniKey kLayoutKeys[] = {
    {"Window", "Height"},      {"Window", "Width"},       {"Window", "Top"},
    {"Window", "Left"},        {"Window", "State"},       {"Window", "StatusBar"},
    {"Save", "Interval"},      {"ToolBtn", "Flat"},       {"Tree", "Width"},
    {"Tree", "TreeColor"},     {"Tree", "TreeFontColor"}, {"List", "ListColor"},
    {"List", "ListFontColor"}, {"Recent", "9"},           {"Recent", "8"},
    {"Recent", "7"},           {"Recent", "6"},           {"Recent", "5"},
    {"Recent", "4"},           {"Recent", "3"},           {"Recent", "2"},
    {"Recent", "1"},           {"Recent", "0"},
};

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
    w.autoSaveInterval = IniIntegerOr(t[6], d.autoSaveInterval);
    w.flatButtons = IniBoolOr(t[7], d.flatButtons);
    w.treeWidth = IniIntegerOr(t[8], d.treeWidth);
    w.treeColor = ColourOr(t[9], d.treeColor);
    w.treeFontColor = ColourOr(t[10], d.treeFontColor);
    w.listColor = ColourOr(t[11], d.listColor);
    w.listFontColor = ColourOr(t[12], d.listFontColor);
    // Key "9" down to "0", so that "0" ends up topmost.
    for (size_t i = 13; i < 13 + kRecentKeys; ++i) {
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

Settings ReadOptionSettings(const IniFile& ini) {
    return OptionSettingsFrom(ini.ReadValues(kOptionKeys));
}

StartupSettings ReadSettings(const std::string& path, int screenWidth, int screenHeight) {
    // Every key in one pass over the file, however big it has grown.
    std::vector<IniKey> keys(std::begin(kOptionKeys), std::end(kOptionKeys));
    keys.insert(keys.end(), std::begin(kLayoutKeys), std::end(kLayoutKeys));
    const std::vector<std::optional<std::string>> texts = IniFile(path).ReadValues(keys);
    const std::span<const std::optional<std::string>> all = texts;
    StartupSettings out;
    out.settings = OptionSettingsFrom(all.first(std::size(kOptionKeys)));
    out.layout = LayoutFrom(all.subspan(std::size(kOptionKeys)), screenWidth, screenHeight);
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
    edits.push_back(IniEdit::Set("ToolBtn", "Flat", FormatIniBool(layout.flatButtons)));
    edits.push_back(IniEdit::Set("Tree", "Width", std::to_string(layout.treeWidth)));
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

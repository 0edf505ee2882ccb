#include "settings/settings_file.h"

#include <string_view>

#include "document/document_writer.h"

namespace brenvale {

namespace {

constexpr int kRecentKeys = 10;

// "※File" as a UTF-8 editor would save it by hand; the program itself writes CP932.
constexpr std::string_view kOwnFolderTokenUtf8 =
    "\xE2\x80\xBB"
    "File";

std::string ReadFolder(const IniFile& ini, std::string_view key) {
    std::string value = ini.ReadString("Save", key, kOwnFolderToken);
    return value == kOwnFolderTokenUtf8 ? std::string(kOwnFolderToken) : value;
}

bool Storable(std::string_view path) {
    return !path.empty() && path.find_first_of("\r\n") == std::string_view::npos;
}

void WriteBounds(IniFile& ini, const WindowBounds& b) {
    ini.WriteInteger("Window", "Height", b.height);
    ini.WriteInteger("Window", "Width", b.width);
    ini.WriteInteger("Window", "Top", b.top);
    ini.WriteInteger("Window", "Left", b.left);
}

}  // namespace

Settings ReadOptionSettings(const IniFile& ini) {
    const Settings d;
    Settings s;
    s.keepOnScreen = ini.ReadBool("Window", "Moving", d.keepOnScreen);
    s.titleShowsPath = ini.ReadBool("Window", "TitleFullPath", d.titleShowsPath);
    s.titlePathOnlyWhenActive =
        ini.ReadBool("Window", "TitleFullPathActive", d.titlePathOnlyWhenActive);
    s.applyGeometry = ini.ReadBool("Save", "EveryS", d.applyGeometry);
    s.trimItemSpaces = ini.ReadBool("Save", "SpRemv", d.trimItemSpaces);
    s.autoSave = AutoSaveModeOf(ini.ReadInteger("Save", "AutoSv", StoredNumber(d.autoSave)));
    s.confirmAutoSave = ini.ReadBool("Save", "AutoMs", d.confirmAutoSave);
    s.backup = ini.ReadBool("Save", "BackUp", d.backup);
    s.backupFolder = ReadFolder(ini, "BackUpPass");
    s.tempFolder = ReadFolder(ini, "TempPass");
    s.separatorItems = ini.ReadBool("List", "Kugiri", d.separatorItems);
    s.noBoxItems = ini.ReadBool("List", "CekBox", d.noBoxItems);
    s.checkMark = ini.ReadString("List", "CekMoj", d.checkMark);
    s.noBoxBold = ini.ReadBool("List", "LCBold", d.noBoxBold);
    s.noBoxItalic = ini.ReadBool("List", "LCItal", d.noBoxItalic);
    s.noBoxUnderline = ini.ReadBool("List", "LCUnde", d.noBoxUnderline);
    return s;
}

StartupSettings ReadSettings(const std::string& path, int screenWidth, int screenHeight) {
    const IniFile ini(path);
    StartupSettings out;
    out.settings = ReadOptionSettings(ini);
    WindowLayout& w = out.layout;
    const WindowLayout d;

    w.bounds.height = ini.ReadInteger("Window", "Height", d.bounds.height);
    w.bounds.width = ini.ReadInteger("Window", "Width", d.bounds.width);
    w.bounds.top = ini.ReadInteger("Window", "Top", d.bounds.top);
    w.bounds.left = ini.ReadInteger("Window", "Left", d.bounds.left);
    // A window closed at -1 is centred again, like one that never stored its place.
    if (w.bounds.top == -1) {
        w.bounds.top = (screenHeight - w.bounds.height) / 2;
    }
    if (w.bounds.left == -1) {
        w.bounds.left = (screenWidth - w.bounds.width) / 2;
    }
    w.restoredBounds = w.bounds;
    w.state = ini.ReadBool("Window", "State", true) ? WindowState::Normal : WindowState::Maximized;
    w.statusBar = ini.ReadBool("Window", "StatusBar", d.statusBar);
    w.autoSaveInterval = ini.ReadInteger("Save", "Interval", d.autoSaveInterval);
    w.flatButtons = ini.ReadBool("ToolBtn", "Flat", d.flatButtons);
    w.treeWidth = ini.ReadInteger("Tree", "Width", d.treeWidth);
    w.treeColor = ini.ReadColour("Tree", "TreeColor", d.treeColor);
    w.treeFontColor = ini.ReadColour("Tree", "TreeFontColor", d.treeFontColor);
    w.listColor = ini.ReadColour("List", "ListColor", d.listColor);
    w.listFontColor = ini.ReadColour("List", "ListFontColor", d.listFontColor);
    for (int n = kRecentKeys - 1; n >= 0; --n) {
        std::string value = ini.ReadString("Recent", std::to_string(n));
        if (!value.empty()) {
            w.recentFiles.push_back(std::move(value));
        }
    }
    return out;
}

void WriteClosingSettings(const std::string& path, const WindowLayout& layout,
                          const std::vector<std::string>& recentPaths) {
    IniFile ini(path);
    if (layout.state == WindowState::Normal) {
        WriteBounds(ini, layout.bounds);
        ini.WriteBool("Window", "State", true);
    } else {
        ini.WriteBool("Window", "State", false);
        // A minimised window keeps the rectangle of the previous close.
        if (layout.state == WindowState::Maximized) {
            WriteBounds(ini, layout.restoredBounds);
        }
    }
    ini.WriteBool("Window", "StatusBar", layout.statusBar);
    ini.WriteBool("ToolBtn", "Flat", layout.flatButtons);
    ini.WriteInteger("Tree", "Width", layout.treeWidth);
    ini.EraseSection("Recent");
    int key = 0;
    for (const std::string& recent : recentPaths) {
        // A file name with a line break cannot be one line of the file; it is left out
        // rather than breaking the file or the close.
        if (key < kRecentKeys && Storable(recent)) {
            ini.WriteString("Recent", std::to_string(key++), recent);
        }
    }
}

}  // namespace brenvale

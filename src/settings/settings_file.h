#pragma once

#include <string>
#include <vector>

#include "settings/ini_file.h"
#include "settings/option_table.h"
#include "settings/settings.h"

namespace brenvale {

enum class WindowState { Normal, Maximized, Minimized };

// A window's outer rectangle in screen pixels.
struct WindowBounds {
    int left = -1;
    int top = -1;
    int width = 573;
    int height = 376;

    bool operator==(const WindowBounds&) const = default;
};

// What the main window applies at start and hands back at close, besides the options.
struct WindowLayout {
    // At start: where the normal window goes (already centred). At close: the current bounds
    // of a window in the normal state.
    WindowBounds bounds;
    WindowState state = WindowState::Normal;
    // At close: the normal-state rectangle of a maximised window.
    WindowBounds restoredBounds;
    bool statusBar = true;
    bool flatButtons = true;
    int treeWidth = 129;
    // The tag panel shows.
    bool tagPanel = false;
    // The height of the list of every find hit under the tree; 0 until the user first shows
    // it, and then not written.
    int findResultsHeight = 0;
    // At start: the stored recent files in the order to add them to the recent-file list, each
    // on top of the ones before (key "9" down to "0", empty keys left out), so that key "0"
    // ends up topmost. Not used at close.
    std::vector<std::string> recentFiles;
};

struct StartupSettings {
    OptionValues options;
    WindowLayout layout;
};

// The options alone, and the Settings record alone (what brenvale-cli takes from a settings
// file).
OptionValues ReadOptionValues(const IniFile& ini);
Settings ReadOptionSettings(const IniFile& ini);

// The start-up reading. A window at -1 is centred on the given screen; "State" 0 maximises.
StartupSettings ReadSettings(const std::string& path, int screenWidth, int screenHeight);

// The close-time writing: the window's bounds and state, status bar, flat buttons, tree width,
// the find results' height when known, and the recent-file list (most recent first, at most ten).
// Throws Error when a write fails; the keys after it are not written.
void WriteClosingSettings(const std::string& path, const WindowLayout& layout,
                          const std::vector<std::string>& recentPaths);

}  // namespace brenvale

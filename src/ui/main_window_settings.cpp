// The settings file at start and at close, the shortcut file, the toolbar layout and the
// user icons.
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QStatusBar>

#include <vector>

#include "common/error.h"
#include "common/path.h"
#include "editor/icon_menu.h"
#include "settings/settings_file.h"
#include "settings/shortcut_file.h"
#include "settings/toolbar_layout.h"
#include "ui/check_list_view.h"
#include "ui/codec.h"
#include "ui/command_actions.h"
#include "ui/main_menus.h"
#include "ui/main_window.h"
#include "ui/message_box.h"
#include "ui/tag_panel.h"
#include "ui/toolbar.h"
#include "ui/topic_tree_view.h"

namespace brenvale {

void MainWindow::readSettings() {
    QSize screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->size()
                                                    : QSize(1024, 768);
    startup_ = ReadSettings(ToUtf8(options_.settingsFile), screen.width(), screen.height());
    const WindowBounds& b = startup_.layout.bounds;
    placeOuter(QRect(b.left, b.top, b.width, b.height));
}

void MainWindow::loadUserIcons() {
    std::vector<std::string> files = ScanUserIcons(
        ToUtf8(options_.companionFolder), [](const std::string& f) { return FileExists(f); });
    for (const std::string& file : files) {
        if (!images_.addUserIcon(FromUtf8(file))) {
            break;
        }
    }
}

void MainWindow::applyShortcutFile() {
    std::vector<std::string_view> names = CommandNames();
    std::vector<std::optional<Shortcut>> keys =
        ReadShortcutFile(ToUtf8(options_.shortcutFile), names);
    std::vector<Shortcut> shortcuts = actions_->shortcuts();
    for (size_t i = 0; i < keys.size() && i < shortcuts.size(); ++i) {
        if (keys[i]) {
            shortcuts[i] = *keys[i];
        }
    }
    actions_->setShortcuts(shortcuts);
}

// Applies what the settings file holds for the window, once its parts exist.
void MainWindow::applyLayout() {
    const WindowLayout& layout = startup_.layout;
    menus_->statusBarSwitch()->setChecked(layout.statusBar);
    setStatusBarShown(layout.statusBar);
    menus_->flatButtonsSwitch()->setChecked(layout.flatButtons);
    toolbar_->setFlat(layout.flatButtons);
    setTreeWidth(layout.treeWidth);
    if (layout.tagPanel) {
        tagPanel()->setVisible(true);
    }
    findResultsHeight_ = layout.findResultsHeight;
    colours_ = startup_.options.colours;
    applyViewColours();
    editor_->session().setAutoSaveInterval(startup_.options.autoSaveInterval);
    for (const std::string& path : layout.recentFiles) {
        editor_->session().addRecentFile(path);
    }
    BuildToolbar();
    if (layout.state == WindowState::Maximized) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void MainWindow::BuildToolbar() {
    toolbar_->BuildToolbar(ReadToolbarValues(ToUtf8(options_.settingsFile)));
}

bool MainWindow::writeClosingSettings() {
    WindowLayout layout;
    layout.state = isMaximized()   ? WindowState::Maximized
                   : isMinimized() ? WindowState::Minimized
                                   : WindowState::Normal;
    QRect normal = normalBounds();
    WindowBounds bounds{normal.left(), normal.top(), normal.width(), normal.height()};
    layout.bounds = bounds;
    layout.restoredBounds = bounds;
    layout.statusBar = menus_->statusBarSwitch()->isChecked();
    layout.flatButtons = menus_->flatButtonsSwitch()->isChecked();
    layout.treeWidth = treeWidth();
    layout.tagPanel = tagSwitch_->isChecked();
    layout.findResultsHeight = findResultsHeight_;
    try {
        WriteClosingSettings(ToUtf8(options_.settingsFile), layout,
                             editor_->session().recentFiles().paths());
    } catch (const Error& error) {
        // The layout is lost, the document is not: the user may still close.
        return ShowMessageBox(this, FromUtf8(error.what()) + "\n\nこのまま終了しますか？",
                              MessageKind::Error, MessageButtons::OkCancel) == MessageAnswer::Ok;
    }
    return true;
}

}  // namespace brenvale

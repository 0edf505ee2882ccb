// The shortcut key and toolbar commands: each shows its dialog with the command's picture.
#include "ui/command_actions.h"
#include "ui/main_window.h"
#include "ui/shortcut_key_dialog.h"
#include "ui/toolbar.h"
#include "ui/toolbar_dialog.h"

namespace brenvale {

void MainWindow::showShortcutKeyDialog() {
    // The dialog gives the commands their keys itself.
    ShortcutKeyDialog dialog(*actions_, images_, options_.shortcutFile, this);
    dialog.setWindowIcon(images_.barIcon(Command(CommandId::KeySet).image));
    dialog.exec();
}

void MainWindow::showToolbarDialog() {
    ToolbarDialog dialog(toolbar_->shownLayout(), images_, options_.settingsFile, this);
    dialog.setWindowIcon(images_.barIcon(Command(CommandId::ToolBtnSet).image));
    if (dialog.exec() == QDialog::Accepted) {
        BuildToolbar();
    }
}

}  // namespace brenvale

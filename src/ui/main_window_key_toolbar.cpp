// The shortcut key and toolbar commands: each shows its dialog with the command's picture, at
// the size the user last gave it.
#include <QDialog>
#include <QLabel>

#include "common/error.h"
#include "settings/dialog_size.h"
#include "ui/codec.h"
#include "ui/command_actions.h"
#include "ui/dialog_frame.h"
#include "ui/main_window.h"
#include "ui/shortcut_key_dialog.h"
#include "ui/toolbar.h"
#include "ui/toolbar_dialog.h"

namespace brenvale {

// Runs a settings dialog at its remembered size (never below the size it opened with, which
// shows its lists whole) and remembers the size it closed with, OK or not, when the user
// changed it: a dialog only opened and closed leaves the settings file as it was.
int MainWindow::execSized(QDialog& dialog, std::string_view section) {
    const std::string settings = ToUtf8(options_.settingsFile);
    if (std::optional<DialogSize> size = ReadDialogSize(settings, section)) {
        ResizeCentred(&dialog, QSize(size->width, size->height).expandedTo(dialog.size()));
    }
    const QSize opened = dialog.size();
    int result = dialog.exec();
    if (dialog.size() == opened) {
        return result;
    }
    try {
        WriteDialogSize(settings, section, {dialog.width(), dialog.height()});
    } catch (const Error& error) {
        // Only the size is lost; the hint panel says why.
        hint_->setText(FromUtf8(error.what()));
    }
    return result;
}

void MainWindow::showShortcutKeyDialog() {
    // The dialog gives the commands their keys itself.
    ShortcutKeyDialog dialog(*actions_, images_, options_.shortcutFile, this);
    dialog.setWindowIcon(images_.barIcon(Command(CommandId::KeySet).image));
    execSized(dialog, kShortcutKeyDialogSection);
}

void MainWindow::showToolbarDialog() {
    ToolbarDialog dialog(toolbar_->shownLayout(), images_, options_.settingsFile, this);
    dialog.setWindowIcon(images_.barIcon(Command(CommandId::ToolBtnSet).image));
    if (execSized(dialog, kToolbarDialogSection) == QDialog::Accepted) {
        BuildToolbar();
    }
}

}  // namespace brenvale

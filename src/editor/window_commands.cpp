// The commands the window carries out itself: it closes, opens a menu or a dialog, or turns
// a switch it stores.
#include "editor/command_handlers.h"
#include "editor/command_parts.h"

namespace brenvale {

void ExitExecute(WindowParts p) {
    p.host.CloseWindow();
}

void ChgIconExecute(WindowParts p) {
    p.host.PopUpIconMenu();
}

void OptionsExecute(WindowParts p) {
    p.host.ShowOptionsDialog();
}

void KeySetExecute(WindowParts p) {
    p.host.ShowShortcutKeyDialog();
}

void ToolBtnSetExecute(WindowParts p) {
    p.host.ShowToolbarDialog();
}

void HelpContentsExecute(WindowParts p) {
    p.host.ShowHelpContents();
}

void HelpTopicExecute(WindowParts p) {
    p.host.ShowHelpSearch();
}

void AboutExecute(WindowParts p) {
    p.host.ShowAboutBox();
}

void HideCheckedExecute(WindowParts p) {
    p.host.ChangeSwitch(&Settings::hideCheckedItems, !p.settings.hideCheckedItems);
}

void ShowProgressExecute(WindowParts p) {
    p.host.ChangeSwitch(&Settings::showProgress, !p.settings.showProgress);
}

}  // namespace brenvale

// The commands the window carries out itself: it closes, opens a menu or a dialog, or turns
// a switch it stores.
#include "editor/command_handlers.h"
#include "editor/editor_parts.h"

namespace brenvale {

void ExitExecute(EditorParts& p) {
    p.host.CloseWindow();
}

void ChgIconExecute(EditorParts& p) {
    p.host.PopUpIconMenu();
}

void OptionsExecute(EditorParts& p) {
    p.host.ShowOptionsDialog();
}

void KeySetExecute(EditorParts& p) {
    p.host.ShowShortcutKeyDialog();
}

void ToolBtnSetExecute(EditorParts& p) {
    p.host.ShowToolbarDialog();
}

void HelpContentsExecute(EditorParts& p) {
    p.host.ShowHelpContents();
}

void HelpTopicExecute(EditorParts& p) {
    p.host.ShowHelpSearch();
}

void AboutExecute(EditorParts& p) {
    p.host.ShowAboutBox();
}

void HideCheckedExecute(EditorParts& p) {
    p.host.ChangeSwitch(&Settings::hideCheckedItems, !p.settings.hideCheckedItems);
}

void ShowProgressExecute(EditorParts& p) {
    p.host.ChangeSwitch(&Settings::showProgress, !p.settings.showProgress);
}

}  // namespace brenvale

#pragma once

#include <string>

#include "common/error.h"
#include "editor/editor_host.h"

namespace brenvale {

// A host without a window, for tests and benchmarks that run the editor unattended: every
// question is answered with Yes or OK, dialogs are cancelled, windows are not opened, and the
// clipboard is a string of its own.
class AnsweringHost : public EditorHost {
public:
    MessageAnswer ShowMessageBox(const std::string&, MessageKind, MessageButtons b) override {
        return b == MessageButtons::YesNo || b == MessageButtons::YesNoCancel ? MessageAnswer::Yes
                                                                              : MessageAnswer::Ok;
    }
    void Beep() override {}
    bool ClipboardHasText() override { return !clipboard.empty(); }
    std::string ClipboardText() override { return clipboard; }
    void SetClipboardText(const std::string& text) override { clipboard = text; }
    void FocusEditBox(EditBox) override {}
    void SetBusy(bool) override {}
    std::optional<std::string> AskOpenFileName(const FileDialogOptions&) override { return {}; }
    std::optional<std::string> AskSaveFileName(const FileDialogOptions&) override { return {}; }
    bool IsMainWindowActive() override { return true; }
    bool IsApplicationActive() override { return true; }
    void SetAutoSaveTimer(bool, int) override {}
    void LaunchWithFile(const std::string&) override {}
    DocumentGeometry CurrentGeometry() override { return {}; }
    void ApplyGeometry(const GeometryRead&) override {}
    void CloseWindow() override {}
    void PopUpIconMenu() override {}
    void ShowOptionsDialog() override {}
    void ShowShortcutKeyDialog() override {}
    void ShowToolbarDialog() override {}
    void ShowHelpContents() override {}
    void ShowHelpSearch() override {}
    void ShowAboutBox() override {}
    void ShowFindBar() override {}
    void ChangeSwitch(bool Settings::*, bool) override {}
    bool AskPrintOptions(PrintJob&) override { return false; }
    void ShowPrintPreview(const PrintJob&) override {}
    bool WritePdf(const PrintJob&, const std::string&) override { return false; }

    std::string clipboard;
};

}  // namespace brenvale

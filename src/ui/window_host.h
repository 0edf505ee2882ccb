#pragma once

#include <QTimer>

#include "editor/editor_host.h"

namespace brenvale {

class MainWindow;

// What the editor asks of the window, done with widgets and the platform.
class WindowHost : public EditorHost {
public:
    explicit WindowHost(MainWindow& window);

    MessageAnswer ShowMessageBox(const std::string& text, MessageKind kind,
                                 MessageButtons buttons) override;
    void Beep() override;
    bool ClipboardHasText() override;
    std::string ClipboardText() override;
    void SetClipboardText(const std::string& cp932) override;
    void FocusEditBox(EditBox box) override;
    void EditRowInPlace(size_t row) override;
    void SetBusy(bool busy) override;
    std::optional<std::string> AskOpenFileName(const FileDialogOptions& options) override;
    std::optional<std::string> AskSaveFileName(const FileDialogOptions& options) override;
    bool IsMainWindowActive() override;
    bool IsApplicationActive() override;
    void SetAutoSaveTimer(bool enabled, int intervalMs) override;
    void SetRecoveryTimer(int delayMs) override;
    void LaunchWithFile(const std::string& path) override;
    DocumentGeometry CurrentGeometry() override;
    void ApplyGeometry(const GeometryRead& geometry) override;
    void CloseWindow() override;
    void PopUpIconMenu() override;
    void ShowOptionsDialog() override;
    void ShowShortcutKeyDialog() override;
    void ShowToolbarDialog() override;
    void ShowHelpContents() override;
    void ShowHelpSearch() override;
    void ShowAboutBox() override;
    void ShowFindBar() override;
    void ShowFindResults() override;
    bool MoveToTrash(const std::string& path) override;
    void ChangeSwitch(bool Settings::*option, bool on) override;
    void SetHideCheckedTimer(int delayMs) override;
    void SetClockTimer(int delayMs) override;
    void ShowNotification(const Notification& note) override;
    void RaiseWindow() override;
    void ShowAgenda() override;
    std::optional<TagEditAnswer> AskTagEdit(const TagEditRequest& request) override;
    bool ScheduleFindSlice(int delayMs) override;
    std::optional<FileChoice> AskFile(const FileDialogOptions& options, bool save) override;
    bool AskPrintOptions(PrintJob& job) override;
    void ShowPrintPreview(const PrintJob& job) override;
    bool WritePdf(const PrintJob& job, const std::string& path) override;

    // The pages a print preview shows at most: the print itself streams every page, but a
    // preview keeps each one it shows.
    static constexpr int kPreviewPages = 100;

    QTimer& autoSaveTimer() { return autoSave_; }
    QTimer& recoveryTimer() { return recovery_; }
    QTimer& hideCheckedTimer() { return hideChecked_; }
    QTimer& clockTimer() { return clock_; }
    QTimer& findSliceTimer() { return findSlice_; }
    // The window's first paint is done: a clock tick asked for at once runs now.
    void windowPainted();

    // Before the first paint, a clock tick asked for at once waits for it, or this long when
    // the window is not shown.
    static constexpr int kUnpaintedClockMs = 1000;

private:
    std::optional<std::string> askFileName(const FileDialogOptions& options, bool save);

    MainWindow& window_;
    QTimer autoSave_;
    QTimer recovery_;
    QTimer hideChecked_;
    QTimer clock_;
    QTimer findSlice_;
    bool painted_ = false;
    bool clockAfterPaint_ = false;
    int busy_ = 0;
    // What the last print or PDF showed, offered again.
    bool printWholeDocument_ = false;
    bool printGrey_ = false;
};

}  // namespace brenvale

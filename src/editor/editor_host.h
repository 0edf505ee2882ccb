#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document/geometry.h"
#include "document/print_job.h"
#include "settings/settings.h"

namespace brenvale {

enum class MessageKind { Warning, Error, Information, Confirmation };
// ReloadSaveAsCancel: "再読み込み", "別名で保存", "キャンセル", for a file another program changed;
// ReloadMergeSaveAsCancel the same with "統合(&M)" after "再読み込み", and YesMergeNoCancel
// "統合(&M)" after "はい(&Y)".
// SaveAsCancel: "別名で保存", "キャンセル", for a save that could not be written.
// ImportOpenCancel: "インポート", "文書として開く", "キャンセル", for a file of another format.
enum class MessageButtons {
    Ok,
    OkCancel,
    YesNo,
    YesNoCancel,
    ReloadSaveAsCancel,
    ReloadMergeSaveAsCancel,
    YesMergeNoCancel,
    SaveAsCancel,
    ImportOpenCancel,
};
enum class MessageAnswer { Ok, Cancel, Yes, No, Reload, SaveAs, Import, Open, Merge };

// The two one-line edit boxes above the tree and the list.
enum class EditBox { Tree, List };

// How a file dialog is shown. The filter is pairs of description and pattern separated by
// "|"; the filter index counts from 1; the default extension has no dot. Texts are UTF-8.
struct FileDialogOptions {
    std::string title;
    std::string filter;
    int filterIndex = 1;
    std::string defaultExtension;
    std::string fileName;
};

// The description of filter `index` (counting from 1) of a FileDialogOptions filter; empty for
// none.
inline std::string FilterDescriptionAt(std::string_view filter, int index) {
    size_t start = 0;
    for (int i = 1; i < index && start != std::string_view::npos; ++i) {
        start = filter.find('|', start);
        start = start == std::string_view::npos ? start : filter.find('|', start + 1);
        start = start == std::string_view::npos ? start : start + 1;
    }
    if (index < 1 || start == std::string_view::npos) {
        return "";
    }
    return std::string(filter.substr(start, filter.find('|', start) - start));
}

// A file chosen in a file dialog, with the description of the filter it was chosen under (as
// FileDialogOptions::filter gives it), by which a command finds what the filter stands for.
struct FileChoice {
    std::string path;
    std::string filter;
};

class OutlineImport;
struct TagEditAnswer;
struct TagEditRequest;

// A desktop notification of a reminder (UTF-8 texts), with the buttons it offers: their keys
// and captions ("done", "完了"). The window tells Editor::notificationAction the notification's
// key and the key of the button chosen ("default" for a click on the notification itself).
struct Notification {
    std::string summary;
    std::string body;
    std::vector<std::pair<std::string, std::string>> actions;
    uint64_t key = 0;
};

// What the editor needs from the window it runs in. The window implements it with widgets;
// tests implement it with a fake that records and answers.
class EditorHost {
public:
    virtual ~EditorHost() = default;

    // A modal message box (UTF-8 text, "\n" between lines); closing it answers Cancel.
    virtual MessageAnswer ShowMessageBox(const std::string& text, MessageKind kind,
                                         MessageButtons buttons) = 0;
    virtual void Beep() = 0;

    // The clipboard's plain text as CP932 bytes.
    virtual bool ClipboardHasText() = 0;
    virtual std::string ClipboardText() = 0;
    virtual void SetClipboardText(const std::string& cp932) = 0;

    // Moves the keyboard focus into an edit box with all of its text selected.
    virtual void FocusEditBox(EditBox box) = 0;
    // Opens an edit box over a row of the check list, its text all selected; what is typed
    // there comes back through Editor::storeRowText. A host without one does nothing.
    virtual void EditRowInPlace(size_t /*row*/) {}

    // Busy cursor and suspended repainting around bulk work; calls nest.
    virtual void SetBusy(bool busy) = 0;

    // The chosen path, or nothing when the dialog was cancelled.
    virtual std::optional<std::string> AskOpenFileName(const FileDialogOptions& options) = 0;
    virtual std::optional<std::string> AskSaveFileName(const FileDialogOptions& options) = 0;
    // The same with the filter the user chose, for commands whose filters pick a format. A
    // host that cannot tell gives the filter it was asked to show.
    virtual std::optional<FileChoice> AskFile(const FileDialogOptions& options, bool save) {
        std::optional<std::string> path =
            save ? AskSaveFileName(options) : AskOpenFileName(options);
        if (!path) {
            return std::nullopt;
        }
        return FileChoice{*path, FilterDescriptionAt(options.filter, options.filterIndex)};
    }

    // Whether no other window of the program (a dialog, a message box) is active; also true
    // while the program is in the background. And whether the application is the active one.
    virtual bool IsMainWindowActive() = 0;
    virtual bool IsApplicationActive() = 0;

    // The auto-save timer: enabling an enabled timer does not restart its period; a new
    // interval restarts a running timer.
    virtual void SetAutoSaveTimer(bool enabled, int intervalMs) = 0;

    // The recovery copy's timer: one call of Editor::RecoveryTick after delayMs. A new call
    // replaces the one before; a negative delay stops the timer.
    virtual void SetRecoveryTimer(int /*delayMs*/) {}
    // The timer that hides ticked Items: one call of Editor::hideCheckedTick after delayMs; a
    // new call replaces the one before.
    virtual void SetHideCheckedTimer(int /*delayMs*/) {}

    // The clock's timer: one call of Editor::clockTick after delayMs; a new call replaces the
    // one before. 0 at an open: as soon as the document is shown (a window: after its first
    // paint).
    virtual void SetClockTimer(int /*delayMs*/) {}

    // Shows a desktop notification without taking the focus. A window that cannot (no
    // notification server) tells Editor::notificationFailed, now or later.
    virtual void ShowNotification(const Notification& /*note*/) {}
    // Brings the window to the front (the user asked for it from a notification).
    virtual void RaiseWindow() {}
    // Shows the agenda.
    virtual void ShowAgenda() {}
    // The dialog of a tag command: the name (or the names of a rename) chosen, or nothing when
    // cancelled.
    virtual std::optional<TagEditAnswer> AskTagEdit(const TagEditRequest& request);

    // A search of the find that runs long goes on a slice at a time: the host calls
    // Editor::findSlice once, from its event loop, after delayMs (so that the user's input
    // and the window's painting come in between), and returns true. A host that returns false
    // has every search finish at once.
    virtual bool ScheduleFindSlice(int /*delayMs*/) { return false; }

    // Starts another instance of the program with one file (reporting its own failures).
    virtual void LaunchWithFile(const std::string& path) = 0;

    // The window's normal bounds and tree width, as a document file stores them; and the
    // values an opened document carries.
    virtual DocumentGeometry CurrentGeometry() = 0;
    virtual void ApplyGeometry(const GeometryRead& geometry) = 0;

    // The commands the window carries out itself.
    virtual void CloseWindow() = 0;
    virtual void PopUpIconMenu() = 0;
    virtual void ShowOptionsDialog() = 0;
    virtual void ShowShortcutKeyDialog() = 0;
    virtual void ShowToolbarDialog() = 0;
    virtual void ShowHelpContents() = 0;
    virtual void ShowHelpSearch() = 0;
    virtual void ShowAboutBox() = 0;
    // Shows the find bar with its text box focused and its text selected.
    virtual void ShowFindBar() = 0;
    // Shows the find bar with the find's text, and the list of every hit beside the tree.
    virtual void ShowFindResults() { ShowFindBar(); }
    // Moves a file to the desktop's trash; false when it could not be moved there.
    virtual bool MoveToTrash(const std::string& /*path*/) { return false; }
    // A switch of the options menu was turned: the window stores it in the settings file and
    // hands the editor its settings with the switch so (Editor::setSettings). When the file
    // cannot be written the switch stays as it was, and the user is told.
    virtual void ChangeSwitch(bool Settings::*option, bool on) = 0;

    // Printing. The print options dialog: what to print (the whole document, or job.topic
    // with its subtree: it then clears job.topic for the whole document) and whether checked
    // Items are grey; false when cancelled. The print preview, from which the user prints.
    // And the pages as a PDF file, with a progress the user can stop: false when stopped,
    // leaving no file. Both keep the document as it is while they paint.
    virtual bool AskPrintOptions(PrintJob& job) = 0;
    virtual void ShowPrintPreview(const PrintJob& job) = 0;
    virtual bool WritePdf(const PrintJob& job, const std::string& path) = 0;
};

}  // namespace brenvale

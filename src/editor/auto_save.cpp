// The auto-save timer's tick: a temporary copy, or a save over the document, while it is
// modified.
#include "common/file_io.h"
#include "common/path.h"
#include "document/backup_copy.h"
#include "editor/command_handlers.h"
#include "editor/document_session.h"
#include "editor/drag_state.h"
#include "editor/editor_parts.h"
#include "editor/hint_panel.h"

namespace brenvale {

namespace {

// The temporary copy that mode TempCopy writes, in place of a save over a file that another
// program changed or that holds lines the document did not read; why is the reason for the
// hint panel.
void WriteCopyInstead(EditorParts& p, std::string_view why) {
    DocumentSession& session = p.session;
    std::string copy = session.autoSavePath();
    std::string name(FileNamePart(session.fileName()));
    std::string hint = "「" + name + "」は" + std::string(why) + "ため、";
    if (IsDocumentFile(p, copy)) {
        // A document named like its own copy: there is no other place to write.
        hint += "自動保存しませんでした";
    } else {
        try {
            WriteShown(p, copy, true, WriteTarget::RegularFile);
        } catch (const BackupError& e) {
            ShowBackupHint(p, e);
            return;
        }
        hint += "「" + std::string(FileNamePart(copy)) + "」に自動保存しました";
    }
    ShowHint(p, hint);
}

}  // namespace

void AutoSaveTick(EditorParts& p) {
    DocumentSession& session = p.session;
    // Nothing while a write is going on, nothing unsaved, or a dialog of the program is up.
    if (session.writing() || !session.isModified() || !p.host.IsMainWindowActive()) {
        return;
    }
    const int interval = session.autoSaveInterval();
    p.host.SetAutoSaveTimer(false, interval);
    switch (p.settings.autoSave) {
        case AutoSaveMode::Off:
            return;
        case AutoSaveMode::TempCopy:
            try {
                // A copy beside the document replaces only a regular file: a pipe or a device
                // with its name is refused with the reason.
                WriteShown(p, session.autoSavePath(), true, WriteTarget::RegularFile);
            } catch (const BackupError& e) {
                ShowBackupHint(p, e);
            }
            break;
        case AutoSaveMode::OverDocument:
            if (DocumentFileChanged(p)) {
                // Another program's version stays; the question comes with the next Save.
                WriteCopyInstead(p, "他のプログラムによって変更されている");
                break;
            }
            if (session.partlyRead()) {
                // What the document did not read stays in its file until the user says so.
                WriteCopyInstead(p, "一部しか読み込まれていない");
                break;
            }
            if (!p.settings.confirmAutoSave ||
                p.host.ShowMessageBox(
                    "指定時間が経過しました。\nファイルを上書き保存してもよろしいですか？",
                    MessageKind::Information, MessageButtons::YesNo) == MessageAnswer::Yes) {
                try {
                    SaveDocument(p, BackupFailure::Hint);
                } catch (const FileChangedError&) {
                    // Another program wrote the file while the save ran: nothing of it was
                    // replaced.
                    WriteCopyInstead(p, "他のプログラムによって変更されている");
                }
            }
            break;
    }
    p.host.SetAutoSaveTimer(interval > 0, interval);
}

}  // namespace brenvale

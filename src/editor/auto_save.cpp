// The auto-save timer's tick: a temporary copy, or a save over the document, while it is
// modified.
#include "document/backup_copy.h"
#include "editor/command_handlers.h"
#include "editor/document_session.h"
#include "editor/editor_parts.h"

namespace brenvale {

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
                WriteShown(p, session.autoSavePath());
            } catch (const BackupError& e) {
                ShowBackupHint(p, e);
            }
            break;
        case AutoSaveMode::OverDocument:
            if (!p.settings.confirmAutoSave ||
                p.host.ShowMessageBox(
                    "指定時間が経過しました。\nファイルを上書き保存してもよろしいですか？",
                    MessageKind::Information, MessageButtons::YesNo) == MessageAnswer::Yes) {
                SaveDocument(p, BackupFailure::Hint);
            }
            break;
    }
    p.host.SetAutoSaveTimer(interval > 0, interval);
}

}  // namespace brenvale

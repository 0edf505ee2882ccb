// The auto-save timer: a temporary copy, or a save over the document, while it is modified.
#include "common/path.h"
#include "document/document_writer.h"
#include "editor/editor.h"

namespace brenvale {

void Editor::setAutoSaveInterval(int ms) {
    autoSaveInterval_ = ms;
    updateAutoSaveTimer();
}

void Editor::updateAutoSaveTimer() {
    // A period of 0 never fires.
    host_.SetAutoSaveTimer(
        modified_ && settings_.autoSave != AutoSaveMode::Off && autoSaveInterval_ > 0,
        autoSaveInterval_);
}

std::string Editor::autoSavePath() const {
    const std::string& fileName = doc_->fileName;
    if (settings_.tempFolder != kOwnFolderToken) {
        return JoinPath(settings_.tempFolder, ReplaceExtension(FileNamePart(fileName), ".tmp"));
    }
    std::string path = ReplaceExtension(fileName, ".tmp");
    if (!FolderExists(FolderPart(path))) {
        path = JoinPath(programFolder_, FileNamePart(path));
    }
    return path;
}

void Editor::AutoSaveTick() {
    // Nothing while a write is going on, nothing unsaved, or a dialog of the program is up.
    if (writing_ || !modified_ || !host_.IsMainWindowActive()) {
        return;
    }
    bool enabled = autoSaveInterval_ > 0;
    host_.SetAutoSaveTimer(false, autoSaveInterval_);
    if (settings_.autoSave == AutoSaveMode::Off) {
        return;
    }
    if (settings_.autoSave == AutoSaveMode::TempCopy) {
        writeDocument(autoSavePath());
    } else if (settings_.autoSave == AutoSaveMode::OverDocument) {
        bool save = true;
        if (settings_.confirmAutoSave) {
            save = host_.ShowMessageBox(
                       "指定時間が経過しました。\nファイルを上書き保存してもよろしいですか？",
                       MessageKind::Information, MessageButtons::YesNo) == MessageAnswer::Yes;
        }
        if (save) {
            SaveExecute();
        }
    }
    host_.SetAutoSaveTimer(enabled, autoSaveInterval_);
}

}  // namespace brenvale

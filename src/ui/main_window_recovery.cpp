// The recovery copy's folder and timer (the editor decides what is copied and when), the
// version of the file kept beside it for merging, and the lock that tells other editors which
// document is open here.
#include "editor/merge_base.h"
#include "editor/open_file_lock.h"
#include "editor/recovery_copy.h"
#include "editor/recovery_folder.h"
#include "ui/codec.h"
#include "ui/error_report.h"
#include "ui/main_window.h"
#include "ui/message_box.h"

namespace brenvale {

void MainWindow::startRecovery() {
    connect(&host_.recoveryTimer(), &QTimer::timeout, this,
            Guarded([this] { editor_->files().recoveryTick(); }));
    const char* consequence = "\n\n保存していない変更は、異常終了したときに失われます。";
    std::optional<std::string> folder = RecoveryFolderFromEnvironment();
    if (!folder) {
        ShowMessageBox(
            this,
            FromUtf8(std::string("復元用のコピーを置くホームフォルダーが分かりません。") +
                     consequence),
            MessageKind::Warning, MessageButtons::Ok);
        return;
    }
    try {
        auto recovery = std::make_unique<RecoveryCopy>(*folder);
        std::string base = recovery->store().basePath();
        editor_->session().enableRecovery(std::move(recovery));
        editor_->session().enableMergeBase(
            std::make_unique<MergeBase>(base, MergeBase::Copy::OnAThread));
    } catch (const Error& error) {
        ShowMessageBox(this, FromUtf8(error.what() + std::string(consequence)),
                       MessageKind::Warning, MessageButtons::Ok);
    }
}

void MainWindow::startOpenLock() {
    // A lock that cannot be taken is said once in the hint panel, when a document is opened.
    editor_->session().enableOpenLock(
        std::make_unique<OpenFileLock>(OpenLockFoldersFromEnvironment()));
}

}  // namespace brenvale

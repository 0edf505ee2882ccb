#include "editor/document_session.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "common/path.h"
#include "document/document_writer.h"
#include "editor/bulk_build.h"
#include "editor/document_preread.h"
#include "editor/merge_base.h"
#include "editor/open_file_lock.h"
#include "editor/recovery_copy.h"
#include "editor/undo_history.h"
#include "editor/view_notifier.h"

namespace brenvale {

namespace {

constexpr int kTitlePathWidth = 200;
// How soon the recovery timer looks again when a due copy had to wait for the editor.
constexpr std::chrono::milliseconds kRecoveryRetry(100);

}  // namespace

DocumentSession::DocumentSession(EditorHost& host, const Settings& settings, ViewNotifier& views,
                                 UndoHistory& history)
    : host_(host),
      settings_(settings),
      views_(views),
      history_(history),
      doc_(std::make_unique<Document>()) {}

DocumentSession::~DocumentSession() = default;

std::unique_ptr<Document> DocumentSession::replace(std::unique_ptr<Document> doc,
                                                   std::string fileName, bool untitled) {
    history_.clear();
    ++revision_;
    std::swap(doc_, doc);
    // A name outlives the working folder (the recent files, the recovery information, the
    // auto-save copy beside it): it is kept absolute from the open on.
    fileName_ = untitled ? std::move(fileName) : AbsolutePath(fileName);
    untitled_ = untitled;
    mergedCopies_ = {};
    partlyRead_ = false;
    setDiskFile(std::nullopt);
    return doc;
}

void DocumentSession::swapDocument(std::unique_ptr<Document>& other) {
    ++revision_;
    std::swap(doc_, other);
}

void DocumentSession::setName(std::string fileName) {
    fileName_ = AbsolutePath(fileName);
    untitled_ = false;
    fileChanged();
}

void DocumentSession::setModified(bool modified) {
    modified_ = modified;
    modifiedByDeletionOnly_ = false;
    if (!modified) {
        history_.markSaved();
    }
    if (modifiedChanged_) {
        modifiedChanged_();
    }
    updateAutoSaveTimer();
    // Every change of the Document passes here, and so does every save, New and open.
    recoveryModifiedChanged(modified);
}

std::optional<FileIdentity> DocumentSession::write(const std::string& path, bool backup,
                                                   WriteTarget target,
                                                   std::optional<FileIdentity> replaces) {
    struct Writing {
        bool& flag;
        BusyScope busy;
        Writing(bool& f, EditorHost& host) : flag(f), busy(host) { flag = true; }
        ~Writing() { flag = false; }
    } writing(writing_, host_);
    WriteOptions options = settings_.writeOptions();
    options.backup = options.backup && backup;
    if (options.trimItemSpaces) {
        // Trimming changes texts in place, also when the write fails halfway.
        ++revision_;
    }
    return WriteDocument(*doc_, path, host_.CurrentGeometry(), options,
                         {target, std::move(replaces)});
}

// ---- The file on disk

void DocumentSession::setDiskFile(std::optional<FileIdentity> file) {
    disk_ = file;
    keptOver_.reset();
    fileDeleted_ = false;
    if (file) {
        holdOpenLock(*file);
    } else if (lock_) {
        lock_->release();
    }
    if (base_ && file && hasName()) {
        base_->keep(fileName_, *file);
    } else if (base_) {
        base_->forget();
    }
    fileChanged();
}

void DocumentSession::enableMergeBase(std::unique_ptr<MergeBase> base) {
    base_ = std::move(base);
    if (base_ && disk_ && hasName()) {
        base_->keep(fileName_, *disk_);
    }
}

void DocumentSession::diskFileRenewed(const FileIdentity& now) {
    disk_ = now;
    fileDeleted_ = false;
    holdOpenLock(now);
    fileChanged();
}

void DocumentSession::noteFileDeleted() {
    const bool edited = modified_;
    fileDeleted_ = true;
    // No state of the document is in a file any more: undoing back to the last save leaves it
    // modified.
    history_.forgetSaved();
    setModified(true);
    modifiedByDeletionOnly_ = !edited;
}

void DocumentSession::enableOpenLock(std::unique_ptr<OpenFileLock> lock) {
    lock_ = std::move(lock);
    if (disk_) {
        holdOpenLock(*disk_);
    }
}

void DocumentSession::holdOpenLock(const FileIdentity& file) {
    if (!lock_ || lock_->hold(file.device, file.inode) || openLockFailureTold_) {
        return;
    }
    openLockFailureTold_ = true;
    if (openLockFailed_) {
        openLockFailed_(lock_->failure());
    }
}

void DocumentSession::fileChanged() {
    views_.all([](EditorObserver& o) { o.documentFileChanged(); });
}

void DocumentSession::addRecentFile(const std::string& path) {
    recent_.add(path);
    views_.all([](EditorObserver& o) { o.recentFilesChanged(); });
}

void DocumentSession::clearRecentFiles() {
    recent_.clear();
    views_.all([](EditorObserver& o) { o.recentFilesChanged(); });
}

namespace {

// A file that is there but may not be written: Save would be refused, so the title says so.
// A file that went is no read-only one; Save makes it again.
bool FileIsReadOnly(const std::string& path) {
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT;
}

}  // namespace

void DocumentSession::updateTitle() {
    std::string name(FileNamePart(fileName_));
    if (settings_.titleShowsPath &&
        (!settings_.titlePathOnlyWhenActive || host_.IsApplicationActive())) {
        TextWidthFn width =
            titleMeasure_ ? titleMeasure_ : [](std::string_view s) { return int(s.size()); };
        name = ShortenPathToWidth(fileName_, width, kTitlePathWidth);
    }
    if (hasName() && FileIsReadOnly(fileName_)) {
        name += " [読み取り専用]";
    }
    std::string title = fileName_.empty() ? kApplicationTitle : name + " - " + kApplicationTitle;
    if (title != title_) {
        title_ = std::move(title);
        views_.all([](EditorObserver& o) { o.titleChanged(); });
    }
}

// ---- Auto-save

void DocumentSession::setAutoSaveInterval(int ms) {
    autoSaveInterval_ = ms;
    updateAutoSaveTimer();
}

void DocumentSession::updateAutoSaveTimer() {
    // A period of 0 never fires.
    host_.SetAutoSaveTimer(
        modified_ && settings_.autoSave != AutoSaveMode::Off && autoSaveInterval_ > 0,
        autoSaveInterval_);
}

std::string DocumentSession::autoSavePath() const {
    if (settings_.tempFolder != kOwnFolderToken) {
        return JoinPath(settings_.tempFolder, ReplaceExtension(FileNamePart(fileName_), ".tmp"));
    }
    std::string path = ReplaceExtension(fileName_, ".tmp");
    if (!FolderExists(FolderPart(path))) {
        path = JoinPath(programFolder_, FileNamePart(path));
    }
    return path;
}

// ---- Recovery copy: when the document changes it is copied a little later, and when
// nothing is unsaved the copy goes.

void DocumentSession::setPreread(std::shared_ptr<DocumentPreread> preread) {
    preread_ = std::move(preread);
}

ReadResult DocumentSession::readDocument(const std::string& path, const ReadOptions& options) {
    if (std::shared_ptr<DocumentPreread> preread = std::move(preread_)) {
        if (std::optional<ReadResult> read = preread->take(path, options)) {
            return std::move(*read);
        }
    }
    return ReadDocument(path, options);
}

void DocumentSession::enableRecovery(std::unique_ptr<RecoveryCopy> recovery) {
    recovery_ = std::move(recovery);
    if (modified_) {
        recoveryModifiedChanged(true);
    }
}

void DocumentSession::recoveryModifiedChanged(bool modified) {
    if (!recovery_) {
        return;
    }
    if (modified) {
        recovery_->Changed();
        // Typing renames on every key: the timer, once armed, is left alone.
        if (!recoveryTimerArmed_) {
            armRecoveryTimer(recovery_->NextLook());
        }
    } else {
        recovery_->Discard();
        armRecoveryTimer(recovery_->NextLook());
    }
}

void DocumentSession::armRecoveryTimer(std::optional<std::chrono::milliseconds> delay) {
    recoveryTimerArmed_ = delay.has_value();
    host_.SetRecoveryTimer(delay ? static_cast<int>(delay->count()) : -1);
}

void DocumentSession::recoveryTick(bool documentBusy) {
    recoveryTimerArmed_ = false;
    if (!recovery_) {
        return;
    }
    if (std::optional<std::string> failure = recovery_->Collect()) {
        recoveryFailure_ = std::move(failure);
    }
    std::optional<std::chrono::milliseconds> next;
    if (recovery_->CopyDue()) {
        if (documentBusy || writing_) {
            next = kRecoveryRetry;
        } else {
            DocumentGeometry geometry = host_.CurrentGeometry();
            RecoveryInfo info;
            if (hasName()) {
                info.documentPath = fileName_;
                info.documentFile = disk_;
            }
            // Without trimming: the copy holds the document exactly as it is in memory.
            recovery_->Write([this, geometry] { return SerializeDocument(*doc_, geometry, false); },
                             info);
        }
    }
    showRecoveryFailure();
    armRecoveryTimer(next ? next : recovery_->NextLook());
}

void DocumentSession::showRecoveryFailure() {
    // Not over a dialog of the program: it waits for the main window.
    if (!recoveryFailure_ || !host_.IsMainWindowActive()) {
        return;
    }
    std::string text = std::move(*recoveryFailure_);
    recoveryFailure_.reset();
    host_.ShowMessageBox(text +
                             "\n\n異常終了したときのための復元用のコピーが作られていません。"
                             "こまめに保存してください。",
                         MessageKind::Warning, MessageButtons::Ok);
}

void DocumentSession::windowClosed() {
    if (lock_) {
        lock_->release();
    }
    if (base_) {
        base_->forget();
    }
    if (!recovery_) {
        return;
    }
    armRecoveryTimer(std::nullopt);
    if (std::optional<std::string> failure = recovery_->Close()) {
        host_.ShowMessageBox(*failure, MessageKind::Warning, MessageButtons::Ok);
    }
}

}  // namespace brenvale

#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/file_identity.h"
#include "common/path.h"
#include "document/document.h"
#include "document/document_reader.h"
#include "document/document_writer.h"
#include "editor/editor_host.h"
#include "editor/list_extent.h"
#include "editor/recent_files.h"
#include "settings/settings.h"

namespace brenvale {

class DocumentPreread;
class MergeBase;
class OpenFileLock;
class RecoveryCopy;
class UndoHistory;
class ViewNotifier;

// The life of the one open document as a file: the Document itself, its name, whether it has
// unsaved changes, the writes, the recent-file list, the window title, the auto-save timer and
// the recovery copy. What a command does around a save or an open (the questions, the dialogs,
// what the window shows afterwards) lives in file_commands.
class DocumentSession {
public:
    static constexpr const char* kApplicationTitle = "Brenvale";
    static constexpr const char* kUntitledName = "無題.bnv";

    DocumentSession(EditorHost& host, const Settings& settings, ViewNotifier& views,
                    UndoHistory& history);
    ~DocumentSession();
    DocumentSession(const DocumentSession&) = delete;
    DocumentSession& operator=(const DocumentSession&) = delete;

    Document& document() const { return *doc_; }
    // Puts doc in place of the open document with its name (the untitled name and true for a
    // document that was never saved; a relative name is made absolute against the working
    // folder now); the undo history starts afresh, and the document stands on no file until
    // setDiskFile. Returns the old one.
    std::unique_ptr<Document> replace(std::unique_ptr<Document> doc, std::string fileName,
                                      bool untitled);
    // Puts other in place of the open document and other the open one, leaving the name, the
    // file and the undo history as they are (a change of the whole document that the history
    // records: see DocumentChanges::replaceDocument).
    void swapDocument(std::unique_ptr<Document>& other);

    // The full path of the file, the untitled name, or "" before any document.
    const std::string& fileName() const { return fileName_; }
    // The document has never been saved under a name; Save asks for one.
    bool untitled() const { return untitled_; }
    bool hasName() const { return !untitled_ && !fileName_.empty(); }
    // Save As names the document before it is written (made absolute as by replace).
    void setName(std::string fileName);

    bool isModified() const { return modified_; }
    // The Save command's state; a change also runs the auto-save timer and the recovery copy.
    void setModified(bool modified);
    void onModifiedChanged(std::function<void()> fn) { modifiedChanged_ = std::move(fn); }

    // Writes the document to path with the trimming option of the settings (which changes the
    // Document too), after a backup when the settings ask for one and `backup` lets them.
    // Throws Error when it cannot be written, BackupError (nothing written) when the backup
    // could not be made, FileChangedError (nothing written) when the file at path is no longer
    // the version `replaces`. Returns the file written (nothing for a device or a pipe).
    std::optional<FileIdentity> write(const std::string& path, bool backup = true,
                                      WriteTarget target = WriteTarget::AnyFile,
                                      std::optional<FileIdentity> replaces = std::nullopt);
    // A write is under way (its dialogs run inside it).
    bool writing() const { return writing_; }

    // Moves on with every change of a text or of the tree's shape (not with ticks, icons or
    // folding) and with every other document: what was found in the document before is out
    // of date once it has moved.
    uint64_t revision() const { return revision_; }
    void noteTextChange() { ++revision_; }

    const RecentFiles& recentFiles() const { return recent_; }
    void addRecentFile(const std::string& path);
    void clearRecentFiles();

    // The window title: the file name (or its path, shortened to 200 pixels), "[読み取り専用]"
    // when the file may not be written, and the application title.
    void updateTitle();
    const std::string& title() const { return title_; }
    void setTitleMeasure(TextWidthFn measure) { titleMeasure_ = std::move(measure); }

    // Auto-save: the timer's period and the folder used when the document has none.
    void setAutoSaveInterval(int ms);
    int autoSaveInterval() const { return autoSaveInterval_; }
    void setProgramFolder(std::string folder) { programFolder_ = std::move(folder); }
    // Where mode TempCopy writes its copy.
    std::string autoSavePath() const;
    void updateAutoSaveTimer();

    // ---- The document's file on disk, and what another program did to it
    // The file as this editor last read or wrote it: the version the document stands on.
    // Nothing for an untitled document, or one whose file this editor has not seen.
    const std::optional<FileIdentity>& diskFile() const { return disk_; }
    // The file was just read or written: the document stands on it from now on.
    void setDiskFile(std::optional<FileIdentity> file);
    // The file on disk holds the same bytes under new metadata (touched, rewritten as it was,
    // or replaced by a copy).
    void diskFileRenewed(const FileIdentity& now);
    // A newer version on disk that the user chose to keep editing over: not asked about again.
    const std::optional<FileIdentity>& keptOver() const { return keptOver_; }
    void keepOver(FileIdentity version) { keptOver_ = version; }
    // The file went from disk: the document is marked modified, so that Save writes it again.
    void noteFileDeleted();
    bool fileDeleted() const { return fileDeleted_; }
    // Modified only because the file went, with no edit since.
    bool modifiedByDeletionOnly() const { return modifiedByDeletionOnly_; }

    // ---- The version of the file the document stands on, kept for a merge
    // From now on each version the document comes to stand on (setDiskFile) is kept.
    void enableMergeBase(std::unique_ptr<MergeBase> base);
    // Nothing when none is kept.
    const MergeBase* mergeBase() const { return base_.get(); }

    // ---- Conflict copies of the file merged into the document, moved to the trash once the
    // document with them is saved under that file's name (see TrashMergedCopies)
    struct MergedCopy {
        std::string path;
        FileIdentity version;  // as it was merged
    };
    struct MergedCopies {
        std::string documentPath;
        std::vector<MergedCopy> copies;
        // Whether the merge is in effect (not undone).
        std::shared_ptr<bool> inEffect;
    };
    MergedCopies& mergedCopies() { return mergedCopies_; }

    // The document was read from its file only in part (lines the format drops): a save over
    // that file loses them, so it asks first. A new document, one read whole, a save over the
    // file and a save under another name clear it.
    bool partlyRead() const { return partlyRead_; }
    void setPartlyRead(bool partly) { partlyRead_ = partly; }

    // ---- The mark other editors see on the file this one has open
    void enableOpenLock(std::unique_ptr<OpenFileLock> lock);
    OpenFileLock* openLock() const { return lock_.get(); }
    // Marks the file as open here; the first time no mark can be made, fn hears why (once for
    // the session: the cause, a folder, rarely goes away).
    void holdOpenLock(const FileIdentity& file);
    void onOpenLockFailed(std::function<void(const std::string&)> fn) {
        openLockFailed_ = std::move(fn);
    }

    // ---- A file read while the program started
    void setPreread(std::shared_ptr<DocumentPreread> preread);
    // Reads path as ReadDocument does, taking the read made at the start when it was of the
    // same file with the same options; that read is used once at most.
    ReadResult readDocument(const std::string& path, const ReadOptions& options);

    // ---- Recovery copy
    // From now on a copy of the unsaved document is kept for the next start after a crash.
    void enableRecovery(std::unique_ptr<RecoveryCopy> recovery);
    RecoveryCopy* recovery() const { return recovery_.get(); }
    // The tick of the timer the host keeps for it. documentBusy: the document is halfway
    // through a change (a dialog runs inside it), so a due copy waits.
    void recoveryTick(bool documentBusy);
    // The window closed normally: nothing of this session is left to recover, and the file is
    // open here no more.
    void windowClosed();

private:
    void recoveryModifiedChanged(bool modified);
    void armRecoveryTimer(std::optional<std::chrono::milliseconds> delay);
    void showRecoveryFailure();
    void fileChanged();

    EditorHost& host_;
    const Settings& settings_;
    ViewNotifier& views_;
    UndoHistory& history_;
    std::unique_ptr<Document> doc_;
    std::string fileName_;
    bool untitled_ = false;
    bool modified_ = false;
    std::function<void()> modifiedChanged_;
    bool writing_ = false;
    uint64_t revision_ = 0;
    RecentFiles recent_;
    std::string title_ = kApplicationTitle;
    TextWidthFn titleMeasure_;
    int autoSaveInterval_ = 600000;
    std::string programFolder_;
    std::optional<FileIdentity> disk_;
    std::optional<FileIdentity> keptOver_;
    bool fileDeleted_ = false;
    bool modifiedByDeletionOnly_ = false;
    std::unique_ptr<MergeBase> base_;
    MergedCopies mergedCopies_;
    bool partlyRead_ = false;
    std::unique_ptr<OpenFileLock> lock_;
    std::function<void(const std::string&)> openLockFailed_;
    bool openLockFailureTold_ = false;
    std::shared_ptr<DocumentPreread> preread_;
    std::unique_ptr<RecoveryCopy> recovery_;
    bool recoveryTimerArmed_ = false;
    std::optional<std::string> recoveryFailure_;
};

}  // namespace brenvale

// The document's file as other programs see it: another program (a second window, a text
// editor, a sync tool) changes, replaces or deletes it, or another editor has it open. An
// unmodified document follows its file; a modified one asks once; a save over a file that
// changed since it was read asks first; an open of a file open elsewhere says so.
#include <sys/stat.h>

#include <algorithm>

#include "common/error.h"
#include "common/path.h"
#include "document/document_reader.h"
#include "editor/bulk_build.h"
#include "editor/command_handlers.h"
#include "editor/document_changes.h"
#include "editor/document_session.h"
#include "editor/drag_state.h"
#include "editor/editor_parts.h"
#include "editor/hint_panel.h"
#include "editor/merge_commands.h"
#include "editor/open_file_lock.h"
#include "editor/places_matching.h"
#include "editor/schedule_clock.h"
#include "editor/selection.h"
#include "editor/tree_rows.h"
#include "editor/visible_list.h"

namespace brenvale {

namespace {

// The version on disk that the check found, its bytes hashed, to recognise it later.
FileIdentity HashedVersion(const DiskCheck& check, const std::string& path) {
    if (check.hashed) {
        return check.now;
    }
    return IdentifyFile(path).value_or(check.now);
}

// Whether the file on disk is still the version the user already answered for.
bool AlreadyAnswered(EditorParts& p, const std::string& path) {
    const std::optional<FileIdentity>& kept = p.session.keptOver();
    return kept && CheckFileOnDisk(path, *kept).state == DiskState::Unchanged;
}

// Follows a changed file without a question; a file that cannot be read is reported once for
// that version.
void FollowChangedFile(EditorParts& p, const DiskCheck& check, const std::string& path) {
    try {
        ReloadDocument(p);
    } catch (const Error&) {
        p.session.keepOver(HashedVersion(check, path));
        throw;
    }
    ShowHint(p, "ディスク上で変更されたため再読み込みしました");
}

void AskAboutChangedFile(EditorParts& p, const DiskCheck& check, const std::string& path) {
    // Answered once, whatever the answer: a changed file of a modified document is asked about
    // only again when it changes again.
    p.session.keepOver(HashedVersion(check, path));
    std::string question = "「" + path +
                           "」は他のプログラムによって変更されました。\n"
                           "再読み込みすると、保存していない変更は失われます。";
    switch (p.host.ShowMessageBox(question, MessageKind::Warning,
                                  MessageButtons::ReloadMergeSaveAsCancel)) {
        case MessageAnswer::Reload:
            ReloadDocument(p);
            break;
        case MessageAnswer::Merge:
            MergeWithFileOnDisk(p);
            break;
        case MessageAnswer::SaveAs:
            SaveDocumentAs(p);
            break;
        default:
            break;  // the user keeps editing; the next save asks before it overwrites
    }
}

}  // namespace

bool CheckDocumentFile(EditorParts& p) {
    DocumentSession& session = p.session;
    if (!session.hasName() || !session.diskFile()) {
        return true;
    }
    // Not in the middle of a write, a drag or a bulk change, nor over a dialog of the program.
    if (session.writing() || p.drag.active() || p.views.treeHeld() || p.views.listHeld() ||
        !p.host.IsMainWindowActive()) {
        return false;
    }
    const std::string path = session.fileName();
    DiskCheck check = CheckFileOnDisk(path, *session.diskFile());
    if (check.state != DiskState::Missing && check.state != DiskState::Unknown) {
        // Whoever opens the file as it is now sees that it is open here.
        session.holdOpenLock(check.now);
    }
    switch (check.state) {
        case DiskState::Unknown:
            break;
        case DiskState::Missing:
            if (!session.fileDeleted()) {
                session.noteFileDeleted();
                std::string name(FileNamePart(path));
                ShowHint(p, "「" + name +
                                "」はディスク上から削除されました。上書き保存すると保存し直します");
            }
            break;
        case DiskState::Unchanged: {
            bool onlyDeletion = session.modifiedByDeletionOnly();
            if (!check.now.sameMetadata(*session.diskFile()) || session.fileDeleted()) {
                session.diskFileRenewed(check.now);
            }
            // Back as it was: nothing is unsaved.
            if (onlyDeletion) {
                session.setModified(false);
            }
            break;
        }
        case DiskState::Changed:
            if (AlreadyAnswered(p, path)) {
                break;
            }
            if (!session.isModified() || session.modifiedByDeletionOnly()) {
                FollowChangedFile(p, check, path);
            } else {
                AskAboutChangedFile(p, check, path);
            }
            break;
    }
    return true;
}

void ReloadDocument(EditorParts& p) {
    const std::string path = p.session.fileName();
    ReadOptions options = p.settings.readOptions();
    options.imageCount = p.topicImageCount;
    // Read into a new Document first: when that fails nothing changes.
    ReadResult read = ReadDocument(path, options);
    std::vector<std::string> warnings = ReadWarnings(read);
    Topic* oldSelected = p.selection.topic();
    const int oldRow = p.list.selectedRow();
    // Refused for want of memory while the open document is still whole.
    p.rows.prepare(*read.document);
    MatchedSelection selected;
    {
        BulkBuild bulk(p.host, p.views, true, true);
        p.list.clear();
        p.selection.setTopic(nullptr);
        std::unique_ptr<Document> old = p.session.replace(std::move(read.document), path, false);
        selected = MatchPlaces(*old, oldSelected, p.doc(), [&](Topic* t, bool expanded) {
            p.changes.setExpanded(t, expanded);
        });
    }
    // The window keeps its place and size: the file's geometry is another window's.
    ShowSelectedTopic(p, selected.topic ? selected.topic : p.doc().first());
    if (p.doc().empty()) {
        p.selection.setText(EditBox::Tree, "");
    }
    // The row where it was, or the last one of a list that got shorter.
    if (size_t rows = p.list.rowCount(); selected.exact && oldRow >= 0 && rows > 0) {
        p.list.select(std::min(oldRow, static_cast<int>(rows) - 1));
    }
    p.session.setDiskFile(read.identity);
    p.session.setPartlyRead(read.unreadLines > 0);
    p.session.setModified(false);
    p.session.updateTitle();
    StartSchedule(p, ScheduleStart::Reloaded);
    for (const std::string& warning : warnings) {
        p.host.ShowMessageBox(warning, MessageKind::Warning, MessageButtons::Ok);
    }
}

OverwriteAnswer AskBeforeOverwritingChanges(EditorParts& p, std::optional<FileIdentity>* replaces) {
    const std::optional<FileIdentity>& known = p.session.diskFile();
    if (!known || !p.session.hasName()) {
        return OverwriteAnswer::Write;
    }
    const std::string path = p.session.fileName();
    DiskCheck check = CheckFileOnDisk(path, *known);
    if (check.state != DiskState::Changed) {
        // The version the write may replace: the one the document stands on.
        if (replaces && check.state == DiskState::Unchanged) {
            *replaces = check.now;
        }
        return OverwriteAnswer::Write;
    }
    std::string question =
        "「" + path + "」は他のプログラムによって変更されています。上書きしますか？";
    switch (
        p.host.ShowMessageBox(question, MessageKind::Warning, MessageButtons::YesMergeNoCancel)) {
        case MessageAnswer::Yes:
            // Only the version the user saw is overwritten; a newer one is asked about again.
            if (replaces) {
                *replaces = HashedVersion(check, path);
            }
            return OverwriteAnswer::Write;
        case MessageAnswer::Merge:
            return OverwriteAnswer::Merge;
        case MessageAnswer::No:
            return OverwriteAnswer::SaveAs;
        default:
            return OverwriteAnswer::Cancel;
    }
}

bool DocumentFileChanged(EditorParts& p) {
    const std::optional<FileIdentity>& known = p.session.diskFile();
    return known && p.session.hasName() &&
           CheckFileOnDisk(p.session.fileName(), *known).state == DiskState::Changed;
}

bool IsDocumentFile(EditorParts& p, const std::string& path) {
    if (!p.session.hasName()) {
        return false;
    }
    if (path == p.session.fileName()) {
        return true;
    }
    // Another spelling of the same file (a link, a relative path).
    struct stat a, b;
    return ::stat(path.c_str(), &a) == 0 && ::stat(p.session.fileName().c_str(), &b) == 0 &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool ConfirmOpenElsewhere(EditorParts& p, const std::string& path) {
    OpenFileLock* lock = p.session.openLock();
    struct stat st;
    if (!lock || ::stat(path.c_str(), &st) != 0 ||
        !lock->heldElsewhere(static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino))) {
        return true;
    }
    std::string question = "「" + path + "」は別のウィンドウで開かれています。このまま開きますか？";
    return p.host.ShowMessageBox(question, MessageKind::Warning, MessageButtons::YesNo) ==
           MessageAnswer::Yes;
}

}  // namespace brenvale

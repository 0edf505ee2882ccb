// New, open, save, save as, the text export, the save question and the recent-file list: what
// the commands do around the document session's files.
#include <exception>
#include <new>

#include "common/address_space.h"
#include "common/error.h"
#include "common/file_io.h"
#include "common/path.h"
#include "document/backup_copy.h"
#include "document/document_reader.h"
#include "document/model.h"
#include "editor/bulk_build.h"
#include "editor/command_handlers.h"
#include "editor/document_changes.h"
#include "editor/document_session.h"
#include "editor/drag_state.h"
#include "editor/editor_parts.h"
#include "editor/hint_panel.h"
#include "editor/merge_commands.h"
#include "editor/progress_counts.h"
#include "editor/schedule_clock.h"
#include "editor/schedule_index.h"
#include "editor/selection.h"
#include "editor/tree_rows.h"
#include "editor/undo_history.h"
#include "editor/visible_list.h"
#include "exchange/exchange_format.h"
#include "exchange/text_export.h"

namespace brenvale {

namespace {

constexpr const char* kOpenFilter =
    "Brenvale ファイル (*.bnv)|*.bnv|Brenvale テンポラリファイルファイル (*.tmp)|*.tmp|"
    "Brenvale バックアップファイル (*.BAK)|*.BAK|すべてのファイル (*.*)|*.*";
constexpr const char* kSaveFilter =
    "Brenvale ファイル (*.bnv)|*.bnv|すべてのファイル (*.*)|*.*|テキストファイル(*.txt)|*.txt";
// The text export's dialog adds the encoding choice: a filter that writes UTF-8.
constexpr std::string_view kUtf8TextFilter = "テキストファイル UTF-8 (*.txt)";
constexpr const char* kSaveTextFilter =
    "Brenvale ファイル (*.bnv)|*.bnv|すべてのファイル (*.*)|*.*|テキストファイル(*.txt)|*.txt|"
    "テキストファイル UTF-8 (*.txt)|*.txt";

// The memory the window needs beside a document to work with it at all.
constexpr size_t kRoomToWorkIn = size_t{64} << 20;

std::string NotFoundText(const std::string& path) {
    return "ファイル " + path + "が見つかりません。";
}

// How a file is opened: as the document it is, as a document although the user was told it
// looks like another format, imported instead, or not at all.
enum class OpenChoice { Document, DocumentAnyway, Import, Nothing };

// A file that does not start as a document and looks like UTF-8 text, or is named as a
// format the import reads, is not read as CP932 in silence: the user chooses between
// importing it into the open document and opening it as a document all the same. A file that
// is plainly not a document throws here, before the save question and before anything
// changes.
OpenChoice AskHowToOpen(EditorParts& p, const std::string& path) {
    std::optional<TextKind> kind = PeekTextKind(path);
    const ExchangeFormat* named = FormatOfFileName(FileNamePart(path));
    std::optional<std::string> format;
    if (named) {
        format = std::string(named->caption);
    }
    // A file that cannot be read is reported by the open's own read, after the save question.
    if (!kind || *kind == TextKind::Document || (*kind != TextKind::Utf8 && !format)) {
        return OpenChoice::Document;
    }
    std::string question = "「" + path + "」は文書ではなく、" +
                           format.value_or("UTF-8 のテキスト") +
                           " のファイルのようです。\n開いている文書にインポートしますか？\n\n"
                           "文書として開くと、文字化けしたり一部しか読み込まれなかったりします。";
    switch (p.host.ShowMessageBox(question, MessageKind::Confirmation,
                                  MessageButtons::ImportOpenCancel)) {
        case MessageAnswer::Import:
            return OpenChoice::Import;
        case MessageAnswer::Open:
            return OpenChoice::DocumentAnyway;
        default:
            return OpenChoice::Nothing;
    }
}

// Imports a file offered for import at an open: in the format its name says, or as UTF-8
// text. Before any document (a start with that file), it goes into a new, empty one.
void ImportInstead(EditorParts& p, const std::string& path) {
    if (p.session.fileName().empty()) {
        ReadResult empty;
        empty.document = std::make_unique<Document>();
        ShowReadDocument(p, std::move(empty), nullptr);
    }
    if (FormatOfFileName(FileNamePart(path))) {
        ImportFile(p, path);
        return;
    }
    FormatChoice utf8Text{FormatNamed("txt"), TextEncoding::Utf8};
    ImportFile(p, path, &utf8Text);
}

// A document read only in part is not written over its file unasked: the lines it did not
// read would be gone.
OverwriteAnswer AskBeforeOverwritingPartRead(EditorParts& p) {
    if (!p.session.partlyRead()) {
        return OverwriteAnswer::Write;
    }
    std::string question = "「" + p.session.fileName() +
                           "」は一部しか読み込まれていません。上書きすると読み込まれなかった部分は"
                           "失われます。上書きしますか？";
    switch (p.host.ShowMessageBox(question, MessageKind::Warning, MessageButtons::YesNoCancel)) {
        case MessageAnswer::Yes:
            return OverwriteAnswer::Write;
        case MessageAnswer::No:
            return OverwriteAnswer::SaveAs;
        default:
            return OverwriteAnswer::Cancel;
    }
}

}  // namespace

bool ConfirmOverwrite(WindowParts p, const std::string& path) {
    if (!FileExists(path)) {
        return true;
    }
    std::string question =
        std::string(FileNamePart(path)) + "\nこのファイルは既に存在します。\n\n上書きしますか？";
    return p.host.ShowMessageBox(question, MessageKind::Warning, MessageButtons::OkCancel) ==
           MessageAnswer::Ok;
}

// A write with trimming changed the texts of the list shown too: it shows what was stored,
// trimmed texts and no tick that was never stored, also when the write failed halfway.
std::optional<FileIdentity> WriteShown(EditorParts& p, const std::string& path, bool backup,
                                       WriteTarget target, std::optional<FileIdentity> replaces) {
    struct ShowStored {
        EditorParts& p;
        ~ShowStored() {
            if (p.settings.trimItemSpaces) {
                // A trimmed text may be of another kind now ("  -" became "-").
                p.progress.recountAll();
                p.index.invalidate();
            }
            if (!p.settings.trimItemSpaces || !p.list.topic()) {
                return;
            }
            p.list.dropUnstored();
            p.list.remeasure();
            if (size_t rows = p.list.rowCount(); rows > 0) {
                p.views.list([&](EditorObserver& o) { o.itemsChanged(0, rows - 1); });
            }
        }
    } showStored{p};
    return p.session.write(path, backup, target, std::move(replaces));
}

bool AskSaveChanges(EditorParts& p) {
    if (!p.session.isModified()) {
        return true;
    }
    std::string question =
        "ファイル " + p.session.fileName() + "\nの内容が変更されています。\n変更を保存しますか？";
    switch (p.host.ShowMessageBox(question, MessageKind::Warning, MessageButtons::YesNoCancel)) {
        case MessageAnswer::Yes:
            return SaveDocument(p) == SaveResult::Saved;
        case MessageAnswer::No:
            return true;
        default:
            return false;
    }
}

void NewOpenExecute(EditorParts& p) {
    if (!AskSaveChanges(p)) {
        return;
    }
    {
        BulkBuild bulk(p.host, p.views, true, true);
        p.list.clear();
        p.selection.setTopic(nullptr);
        p.session.replace(std::make_unique<Document>(), DocumentSession::kUntitledName, true);
        AddTreeExecute(p);
        p.changes.addTopic(nullptr, false, kTrashCaption, kIconTrash, p.topicImageCount);
        p.selection.setTopic(p.doc().first());
        p.selection.setText(EditBox::Tree, std::string(kNewTopicCaption));
        p.selection.setText(EditBox::List, "");
        p.history.clear();
        p.session.setModified(false);
        p.session.updateTitle();
    }
    p.views.all([](EditorObserver& o) { o.selectedTopicChanged(); });
    p.list.load(p.selection.topic());
    StartSchedule(p, ScheduleStart::New);
}

void ShowReadDocument(EditorParts& p, ReadResult read, const std::string* path) {
    // The room for the tree's rows is taken while the open document is still whole: a document
    // too big for them is refused here, and the one open stays. So is one that leaves the
    // window too little to go on with (to paint, to start a thread): it would fail at once
    // and somewhere it cannot be told.
    p.rows.prepare(*read.document);
    if (!AddressSpaceLeft(kRoomToWorkIn)) {
        p.rows.dropPrepared();
        throw std::bad_alloc();
    }
    bool replaced = false;
    try {
        {
            BulkBuild bulk(p.host, p.views, true, true);
            p.list.clear();
            p.selection.setTopic(nullptr);
            p.session.replace(std::move(read.document),
                              path ? *path : DocumentSession::kUntitledName, !path);
            replaced = true;
        }
        p.host.ApplyGeometry(read.geometry);
        // The reader expands every Topic it makes, as adding a Topic does.
        ShowSelectedTopic(p, p.doc().first());
        if (p.doc().empty()) {
            p.selection.setText(EditBox::Tree, "");
        }
        p.session.updateTitle();
    } catch (...) {
        if (replaced) {
            // A document the views show only in part is worse than none: it makes way for an
            // empty one before the failure is reported.
            ShowEmptyDocument(p);
        }
        throw;
    }
}

void ShowEmptyDocument(EditorParts& p) {
    {
        BulkBuild bulk(p.host, p.views, true, true);
        p.list.clear();
        p.selection.setTopic(nullptr);
        p.session.replace(std::make_unique<Document>(), DocumentSession::kUntitledName, true);
    }
    p.selection.setText(EditBox::Tree, "");
    p.selection.setText(EditBox::List, "");
    p.session.setModified(false);
    p.session.updateTitle();
}

void OpenDocument(EditorParts& p, const std::string& path) {
    // Only a path where nothing is is not found, before anything is asked; a folder or a
    // device is refused by the reader, and a file gone meanwhile fails its read.
    if (!PathExists(path)) {
        p.host.ShowMessageBox(NotFoundText(path), MessageKind::Error, MessageButtons::Ok);
        return;
    }
    // What the file is comes first: a file that is no document opens nothing and asks nothing
    // more, and one of another format may be imported without leaving the open document.
    bool askedHow = false;
    switch (AskHowToOpen(p, path)) {
        case OpenChoice::Import:
            ImportInstead(p, path);
            return;
        case OpenChoice::Nothing:
            return;
        case OpenChoice::DocumentAnyway:
            askedHow = true;
            break;
        case OpenChoice::Document:
            break;
    }
    if (!AskSaveChanges(p)) {
        return;
    }
    if (!ConfirmOpenElsewhere(p, path)) {
        return;
    }
    ReadOptions options = p.settings.readOptions();
    options.imageCount = p.topicImageCount;
    // The file is read into a new Document; the current one stays when that fails.
    ReadResult read = p.session.readDocument(path, options);
    // The user who chose to open it as a document knows it may be UTF-8.
    std::vector<std::string> warnings = ReadWarningTexts(read.utf8 && !askedHow, read.unreadLines);
    FileIdentity identity = read.identity;
    const bool partly = read.unreadLines > 0;
    ShowReadDocument(p, std::move(read), &path);
    p.session.setDiskFile(identity);
    p.session.setPartlyRead(partly);
    p.session.setModified(false);
    p.session.addRecentFile(p.session.fileName());
    // Routines that came due meanwhile are renewed (the document is changed then), and the
    // reminders that passed are listed.
    StartSchedule(p, ScheduleStart::Opened);
    // What was not read is lost at the next save: the user hears of it at once.
    for (const std::string& warning : warnings) {
        p.host.ShowMessageBox(warning, MessageKind::Warning, MessageButtons::Ok);
    }
    OfferConflictCopies(p);
}

void OpenExecute(EditorParts& p) {
    FileDialogOptions options;
    options.filter = kOpenFilter;
    options.defaultExtension = "bnv";
    std::optional<std::string> path = p.host.AskOpenFileName(options);
    if (!path) {
        return;
    }
    OpenDocument(p, *path);
}

void ShowBackupHint(EditorParts& p, const BackupError& e) {
    ShowHint(p, std::string(e.what()) + " 自動保存しませんでした。");
}

SaveResult SaveDocument(EditorParts& p, BackupFailure onFailure) {
    // A document without a name (new, or none at all) is saved under a chosen one.
    if (!p.session.hasName()) {
        return SaveDocumentAs(p);
    }
    // The lines a partial read left in the file are not overwritten unasked.
    switch (AskBeforeOverwritingPartRead(p)) {
        case OverwriteAnswer::Write:
        case OverwriteAnswer::Merge:  // not offered there
            break;
        case OverwriteAnswer::SaveAs:
            return SaveDocumentAs(p);
        case OverwriteAnswer::Cancel:
            return SaveResult::Cancelled;
    }
    std::optional<FileIdentity> written;
    bool backup = true;
    for (;;) {
        // Another program's version of the file is not overwritten unasked: neither one found
        // now nor one that comes while the bytes are written (the writer looks again before
        // the backup and just before the file is replaced).
        std::optional<FileIdentity> replaces;
        switch (AskBeforeOverwritingChanges(p, &replaces)) {
            case OverwriteAnswer::Write:
                break;
            case OverwriteAnswer::Merge:
                // A clean merge is written at once; conflicts are for the user to look at
                // first, and the save after that writes without asking.
                if (MergeWithFileOnDisk(p) > 0) {
                    return SaveResult::Cancelled;
                }
                // The version merged was read only in part: that is asked about first.
                if (p.session.partlyRead()) {
                    return SaveDocument(p, onFailure);
                }
                continue;
            case OverwriteAnswer::SaveAs:
                return SaveDocumentAs(p);
            case OverwriteAnswer::Cancel:
                return SaveResult::Cancelled;
        }
        try {
            written = WriteShown(p, p.session.fileName(), backup, WriteTarget::AnyFile, replaces);
            break;
        } catch (const BackupError& e) {
            // Nothing is written yet: the user decides whether the document goes without one.
            if (onFailure == BackupFailure::Hint) {
                ShowBackupHint(p, e);
                return SaveResult::Cancelled;
            }
            if (p.host.ShowMessageBox(SaveWithoutBackupQuestion(e), MessageKind::Warning,
                                      MessageButtons::YesNo) != MessageAnswer::Yes) {
                return SaveResult::Cancelled;
            }
            backup = false;
        } catch (const FileChangedError&) {
            if (onFailure == BackupFailure::Hint) {
                throw;  // the auto-save writes its copy instead
            }
            // Nothing is written: the next round asks about it as about any change on disk.
        } catch (const WriteError& e) {
            // A read-only file or folder, a full disk: the document can still go somewhere
            // else. Auto-save has nobody to ask in the middle of typing; its error is reported
            // as it is.
            if (onFailure == BackupFailure::Hint) {
                throw;
            }
            if (p.host.ShowMessageBox(
                    std::string(e.what()) + "\n\n「別名で保存」で別の場所に保存できます。",
                    MessageKind::Error, MessageButtons::SaveAsCancel) == MessageAnswer::SaveAs) {
                return SaveDocumentAs(p);
            }
            return SaveResult::Cancelled;
        }
    }
    p.session.setDiskFile(written);
    p.session.setPartlyRead(false);
    p.session.setModified(false);
    p.session.updateTitle();
    p.session.addRecentFile(p.session.fileName());
    TrashMergedCopies(p);
    return SaveResult::Saved;
}

SaveResult SaveDocumentAs(EditorParts& p) {
    FileDialogOptions options;
    options.filter = kSaveFilter;
    options.defaultExtension = "bnv";
    options.fileName = p.session.fileName();
    std::optional<std::string> path = p.host.AskSaveFileName(options);
    if (!path || path->empty() || !ConfirmOverwrite(p, *path)) {
        return SaveResult::Cancelled;
    }
    // The version of the open file this document stands on says nothing about another file.
    if (!IsDocumentFile(p, *path)) {
        p.session.setDiskFile(std::nullopt);
        p.session.setPartlyRead(false);
    }
    p.session.setName(*path);
    return SaveDocument(p);
}

void SaveExecute(EditorParts& p) {
    SaveDocument(p);
}

void SaveNameExecute(EditorParts& p) {
    SaveDocumentAs(p);
}

void SaveTextExecute(EditorParts& p) {
    if (p.doc().empty()) {
        return;
    }
    FileDialogOptions options;
    options.title = "テキスト形式で保存";
    options.filter = kSaveTextFilter;
    options.filterIndex = 3;
    options.defaultExtension = "txt";
    const std::string& fileName = p.session.fileName();
    options.fileName = fileName.empty() ? "" : ReplaceExtension(fileName, ".txt");
    std::optional<FileChoice> choice = p.host.AskFile(options, true);
    if (!choice || choice->path.empty() || !ConfirmOverwrite(p, choice->path)) {
        return;
    }
    WriteTextExport(p.doc(), choice->path, p.settings.listKindOptions(),
                    choice->filter == kUtf8TextFilter ? TextEncoding::Utf8 : TextEncoding::Cp932);
}

void OpenFirstLaunchOthers(EditorParts& p, const std::vector<std::string>& paths) {
    if (paths.empty()) {
        return;
    }
    // The further files get their instances even when the first one cannot be read.
    std::exception_ptr error;
    try {
        OpenDocument(p, paths[0]);
    } catch (const Error&) {
        error = std::current_exception();
    }
    for (size_t i = 1; i < paths.size(); ++i) {
        p.host.LaunchWithFile(paths[i]);
    }
    if (error) {
        std::rethrow_exception(error);
    }
}

void StartDocuments(EditorParts& p, const std::vector<std::string>& files) {
    if (p.session.recovery() && OfferLeftOverCopies(p, files)) {
        return;
    }
    if (files.empty()) {
        NewOpenExecute(p);
    } else {
        OpenFirstLaunchOthers(p, files);
    }
}

void FileRecentClick(EditorParts& p, size_t index) {
    const RecentFiles& recent = p.session.recentFiles();
    if (index < recent.size()) {
        OpenDocument(p, std::string(recent.paths()[index]));
    }
}

void FileRecentDelClick(EditorParts& p) {
    if (p.host.ShowMessageBox("ファイルの履歴を削除（クリア）します。\nよろしいですか？",
                              MessageKind::Information,
                              MessageButtons::OkCancel) == MessageAnswer::Ok) {
        p.session.clearRecentFiles();
    }
}

}  // namespace brenvale

// New, open, save, save as, the text export, the save question, the recent-file list and
// the window title.
#include <exception>

#include "common/error.h"
#include "common/path.h"
#include "document/document_reader.h"
#include "document/text_export.h"
#include "editor/editor.h"
#include "editor/editor_scopes.h"

namespace brenvale {

namespace {

constexpr const char* kApplicationTitle = "Brenvale";
constexpr const char* kUntitledName = "無題.bnv";
constexpr const char* kOpenFilter =
    "Brenvale ファイル (*.bnv)|*.bnv|Brenvale テンポラリファイルファイル (*.tmp)|*.tmp|"
    "Brenvale バックアップファイル (*.BAK)|*.BAK|すべてのファイル (*.*)|*.*";
constexpr const char* kSaveFilter =
    "Brenvale ファイル (*.bnv)|*.bnv|すべてのファイル (*.*)|*.*|テキストファイル(*.txt)|*.txt";
constexpr int kTitlePathWidth = 200;

std::string NotFoundText(const std::string& path) {
    return "ファイル " + path + "が見つかりません。";
}

}  // namespace

void Editor::replaceDocument(std::unique_ptr<Document> doc) {
    BulkBuild bulk(*this, true, true);
    clearVisibleList();
    history_.clear();
    doc_ = std::move(doc);
}

bool Editor::AskSaveChanges() {
    if (!modified_) {
        return true;
    }
    std::string question =
        "ファイル " + doc_->fileName + "\nの内容が変更されています。\n変更を保存しますか？";
    switch (host_.ShowMessageBox(question, MessageKind::Warning, MessageButtons::YesNoCancel)) {
        case MessageAnswer::Yes:
            SaveExecute();
            return saveSucceeded_;
        case MessageAnswer::No:
            return true;
        default:
            return false;
    }
}

void Editor::NewOpenExecute() {
    if (!AskSaveChanges()) {
        return;
    }
    {
        BulkBuild bulk(*this, true, true);
        clearVisibleList();
        doc_ = std::make_unique<Document>();
        AddTreeExecute();
        AddTopic(*doc_, nullptr, kTrashCaption, kIconTrash, topicImageCount());
        selected_ = doc_->first();
        setEditText(EditBox::Tree, std::string(kNewTopicCaption));
        setEditText(EditBox::List, "");
        history_.clear();
        SetModified(false);
        doc_->fileName = kUntitledName;
        doc_->untitled = true;
        UpdateTitle();
    }
    notify([](EditorObserver& o) { o.selectedTopicChanged(); });
    RefreshTreeCommands();
    UpdateListExtent();
}

void Editor::OpenDocument(const std::string& path) {
    if (!AskSaveChanges()) {
        return;
    }
    // Only a path where nothing is is not found; a folder or a device is refused by the reader.
    if (!PathExists(path)) {
        host_.ShowMessageBox(NotFoundText(path), MessageKind::Error, MessageButtons::Ok);
        return;
    }
    ReadOptions options = settings_.readOptions();
    options.imageCount = topicImageCount();
    // The file is read into a new Document; the current one stays when that fails.
    showReadDocument(ReadDocument(path, options), path);
    SetModified(false);
    AddRecentFile(doc_->fileName);
}

void Editor::showReadDocument(ReadResult read, const std::optional<std::string>& path) {
    replaceDocument(std::move(read.document));
    host_.ApplyGeometry(read.geometry);
    // The reader expands every Topic it makes, as adding a Topic does.
    doc_->fileName = path ? *path : kUntitledName;
    doc_->untitled = !path;
    selectionChanged(doc_->first());
    if (doc_->empty()) {
        setEditText(EditBox::Tree, "");
    }
    RefreshListCommands();
    UpdateTitle();
}

void Editor::OpenExecute() {
    FileDialogOptions options;
    options.filter = kOpenFilter;
    options.defaultExtension = "bnv";
    std::optional<std::string> path = host_.AskOpenFileName(options);
    if (!path) {
        return;
    }
    if (FileExists(*path)) {
        OpenDocument(*path);
    } else {
        host_.ShowMessageBox(NotFoundText(*path), MessageKind::Error, MessageButtons::Ok);
    }
}

void Editor::refreshTrimmedRows() {
    if (!selected_) {
        return;
    }
    // The list shows what was stored: trimmed texts, and no tick that was never stored.
    unstoredChecks_.clear();
    widths_.clear();
    for (size_t i = 0; i < rowCount(); ++i) {
        widths_.add(measure_(rowText(i)));
    }
    if (rowCount() > 0) {
        notify([&](EditorObserver& o) { o.itemsChanged(0, rowCount() - 1); });
    }
    UpdateListExtent();
}

void Editor::writeDocument(const std::string& path) {
    struct Writing {
        Editor& editor;
        BusyScope busy;
        explicit Writing(Editor& e) : editor(e), busy(e.host_) { editor.writing_ = true; }
        ~Writing() {
            editor.writing_ = false;
            if (editor.settings_.trimItemSpaces) {
                editor.refreshTrimmedRows();
            }
        }
    } writing(*this);
    WriteDocument(*doc_, path, host_.CurrentGeometry(), settings_.writeOptions());
}

void Editor::SaveExecute() {
    saveSucceeded_ = false;
    // A document without a name (new, or none at all) is saved under a chosen one.
    if (doc_->untitled || doc_->fileName.empty()) {
        SaveNameExecute();
        return;
    }
    writeDocument(doc_->fileName);
    SetModified(false);
    UpdateTitle();
    AddRecentFile(doc_->fileName);
    saveSucceeded_ = true;
}

bool Editor::confirmOverwrite(const std::string& path) {
    if (!FileExists(path)) {
        return true;
    }
    std::string question =
        std::string(FileNamePart(path)) + "\nこのファイルは既に存在します。\n\n上書きしますか？";
    return host_.ShowMessageBox(question, MessageKind::Warning, MessageButtons::OkCancel) ==
           MessageAnswer::Ok;
}

void Editor::SaveNameExecute() {
    FileDialogOptions options;
    options.filter = kSaveFilter;
    options.defaultExtension = "bnv";
    options.fileName = doc_->fileName;
    std::optional<std::string> path = host_.AskSaveFileName(options);
    if (!path || path->empty()) {
        return;
    }
    if (!confirmOverwrite(*path)) {
        return;
    }
    doc_->fileName = *path;
    doc_->untitled = false;
    SaveExecute();
}

void Editor::SaveTextExecute() {
    if (doc_->empty()) {
        return;
    }
    FileDialogOptions options;
    options.title = "テキスト形式で保存";
    options.filter = kSaveFilter;
    options.filterIndex = 3;
    options.defaultExtension = "txt";
    options.fileName = doc_->fileName.empty() ? "" : ReplaceExtension(doc_->fileName, ".txt");
    std::optional<std::string> path = host_.AskSaveFileName(options);
    if (!path || path->empty()) {
        return;
    }
    if (!confirmOverwrite(*path)) {
        return;
    }
    WriteTextExport(*doc_, *path, settings_.listKindOptions());
}

void Editor::openFirstLaunchOthers(const std::vector<std::string>& paths) {
    if (paths.empty()) {
        return;
    }
    // The further files get their instances even when the first one cannot be read.
    std::exception_ptr error;
    try {
        OpenDocument(paths[0]);
    } catch (const Error&) {
        error = std::current_exception();
    }
    for (size_t i = 1; i < paths.size(); ++i) {
        host_.LaunchWithFile(paths[i]);
    }
    if (error) {
        std::rethrow_exception(error);
    }
}

void Editor::Start(const std::vector<std::string>& files) {
    if (recovery_ && offerLeftOverCopies(files)) {
        return;
    }
    if (files.empty()) {
        NewOpenExecute();
    } else {
        openFirstLaunchOthers(files);
    }
}

void Editor::FilesDropped(const std::vector<std::string>& paths) {
    openFirstLaunchOthers(paths);
}

void Editor::AddRecentFile(const std::string& path) {
    recent_.add(path);
    notify([](EditorObserver& o) { o.recentFilesChanged(); });
}

void Editor::FileRecentClick(size_t index) {
    if (index < recent_.size()) {
        OpenDocument(std::string(recent_.paths()[index]));
    }
}

void Editor::FileRecentDelClick() {
    if (host_.ShowMessageBox("ファイルの履歴を削除（クリア）します。\nよろしいですか？",
                             MessageKind::Information,
                             MessageButtons::OkCancel) != MessageAnswer::Ok) {
        return;
    }
    recent_.clear();
    notify([](EditorObserver& o) { o.recentFilesChanged(); });
}

void Editor::UpdateTitle() {
    const std::string& fileName = doc_->fileName;
    std::string name(FileNamePart(fileName));
    if (settings_.titleShowsPath &&
        (!settings_.titlePathOnlyWhenActive || host_.IsApplicationActive())) {
        TextWidthFn width =
            titleMeasure_ ? titleMeasure_ : [](std::string_view s) { return int(s.size()); };
        name = ShortenPathToWidth(fileName, width, kTitlePathWidth);
    }
    std::string title = fileName.empty() ? kApplicationTitle : name + " - " + kApplicationTitle;
    if (title != title_) {
        title_ = std::move(title);
        notify([](EditorObserver& o) { o.titleChanged(); });
    }
}

}  // namespace brenvale

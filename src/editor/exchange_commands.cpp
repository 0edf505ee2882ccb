// Lists in and out of other programs: import and export of Markdown, OPML and text, the print
// preview and the PDF export.
#include <algorithm>
#include <cctype>

#include "common/byte_block.h"
#include "common/cp932.h"
#include "common/file_io.h"
#include "common/path.h"
#include "exchange/markdown_export.h"
#include "exchange/markdown_import.h"
#include "exchange/outline_import.h"
#include "exchange/text_export.h"
#include "exchange/text_import.h"
#include "editor/bulk_build.h"
#include "editor/command_handlers.h"
#include "editor/document_changes.h"
#include "editor/document_session.h"
#include "editor/editor_parts.h"
#include "editor/undo_scope.h"

namespace brenvale {

namespace {

// The filters of the two dialogs; a filter's position is its format.
constexpr const char* kExportFilter =
    "Markdown (*.md)|*.md|OPML (*.opml)|*.opml|テキスト CP932 (*.txt)|*.txt|"
    "テキスト UTF-8 (*.txt)|*.txt";
constexpr const char* kImportFilter =
    "Markdown (*.md *.markdown)|*.md|OPML (*.opml)|*.opml|テキスト CP932 (*.txt)|*.txt|"
    "テキスト UTF-8 (*.txt)|*.txt|すべてのファイル (*.*)|*.*";
constexpr const char* kPdfFilter = "PDF ファイル (*.pdf)|*.pdf";

enum class Format { Markdown = 1, Opml = 2, TextCp932 = 3, TextUtf8 = 4 };
constexpr int kAnyFile = 5;

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// The format of a file chosen under "すべてのファイル", by its extension; a text file by what
// its bytes look like.
std::optional<Format> FormatByName(std::string_view name, std::string_view bytes) {
    size_t dot = name.rfind('.');
    std::string extension = dot == std::string_view::npos ? "" : Lower(name.substr(dot + 1));
    if (extension == "md" || extension == "markdown") {
        return Format::Markdown;
    }
    if (extension == "opml" || extension == "xml") {
        return Format::Opml;
    }
    if (extension == "txt" || extension == "text") {
        return LooksLikeUtf8(bytes) ? Format::TextUtf8 : Format::TextCp932;
    }
    return std::nullopt;
}

// The caption of the Topic that takes what an imported file holds outside any Topic: the
// file's name without its extension, or "インポート" when CP932 cannot hold that name.
std::string FallbackCaption(std::string_view name) {
    std::string base(name);
    if (size_t dot = base.rfind('.'); dot != std::string::npos && dot > 0) {
        base.erase(dot);
    }
    std::optional<std::string> caption = Utf8ToCp932(base);
    if (!caption || caption->empty()) {
        caption = Utf8ToCp932("インポート");
    }
    return *caption;
}

std::string DocumentTitle(const EditorParts& p) {
    return std::string(FileNamePart(p.session.fileName()));
}

// The document's name without its extension, which the save dialog completes with the
// extension of the chosen filter.
std::string SuggestedName(const EditorParts& p) {
    const std::string& fileName = p.session.fileName();
    if (fileName.empty()) {
        return "";
    }
    std::string name = ReplaceExtension(fileName, ".");
    name.pop_back();
    return name;
}

void NothingToImport(EditorParts& p, std::string_view name) {
    p.host.ShowMessageBox("「" + std::string(name) + "」には読み込めるトピックも項目もありません。",
                          MessageKind::Information, MessageButtons::Ok);
}

void ImportOutline(EditorParts& p, OutlineImport& outline, std::string_view name) {
    if (outline.empty()) {
        NothingToImport(p, name);
        return;
    }
    // Characters CP932 cannot carry stop the import here, before anything changes.
    outline.convert(name);
    UndoScope step(p, CommandId::Import);
    ImportedTopics imported;
    {
        // The list is built anew; the tree hears of each new top-level Topic.
        BulkBuild bulk(p.host, p.views, false, true);
        p.list.clear();
        imported = p.changes.importOutline(outline, p.topicImageCount, name);
    }
    ShowSelectedTopic(p, imported.topLevel.front());
    p.session.setModified(true);
}

PrintJob NewPrintJob(const EditorParts& p) {
    PrintJob job;
    job.document = &p.doc();
    job.topic = p.selection.topic();
    job.kinds = p.settings.listKindOptions();
    job.title = DocumentTitle(p);
    return job;
}

}  // namespace

void ExportExecute(EditorParts& p) {
    if (p.doc().empty()) {
        return;
    }
    FileDialogOptions options;
    options.title = "エクスポート";
    options.filter = kExportFilter;
    options.defaultExtension = "md";
    options.fileName = SuggestedName(p);
    std::optional<FileChoice> choice = p.host.AskFile(options, true);
    if (!choice || choice->path.empty() || !ConfirmOverwrite(p, choice->path)) {
        return;
    }
    BusyScope busy(p.host);
    ListKindOptions kinds = p.settings.listKindOptions();
    const std::string& path = choice->path;
    switch (static_cast<Format>(choice->filterIndex)) {
        case Format::Opml:
            WriteFileAtomically(path, p.host.ExportOpml(p.doc(), kinds, DocumentTitle(p)));
            break;
        case Format::TextCp932:
            WriteTextExport(p.doc(), path, kinds, TextEncoding::Cp932);
            break;
        case Format::TextUtf8:
            WriteTextExport(p.doc(), path, kinds, TextEncoding::Utf8);
            break;
        default:
            WriteMarkdownExport(p.doc(), path, kinds);
    }
}

void ImportExecute(EditorParts& p) {
    FileDialogOptions options;
    options.title = "インポート";
    options.filter = kImportFilter;
    options.defaultExtension = "md";
    std::optional<FileChoice> choice = p.host.AskFile(options, false);
    if (choice && !choice->path.empty()) {
        ImportFile(p, choice->path, choice->filterIndex);
    }
}

void ImportFile(EditorParts& p, const std::string& path, int filterIndex) {
    FileBlock file;
    {
        BusyScope busy(p.host);
        file = ReadFileBlock(path, 1);
    }
    std::string_view bytes(file.block.data(), file.size);
    std::string_view name = FileNamePart(path);
    std::optional<Format> format;
    if (filterIndex == kAnyFile) {
        format = FormatByName(name, bytes);
        if (!format) {
            p.host.ShowMessageBox("「" + std::string(name) +
                                      "」の形式が拡張子から分かりません。\nファイルの種類で形式を"
                                      "選んでください。",
                                  MessageKind::Warning, MessageButtons::Ok);
            return;
        }
    } else {
        format = static_cast<Format>(std::clamp(filterIndex, 1, 4));
    }
    if (*format == Format::TextCp932 && LooksLikeUtf8(bytes)) {
        switch (p.host.ShowMessageBox("「" + std::string(name) +
                                          "」は UTF-8 のテキストのようです。\nUTF-8 として読み込み"
                                          "ますか？",
                                      MessageKind::Confirmation, MessageButtons::YesNoCancel)) {
            case MessageAnswer::Yes:
                format = Format::TextUtf8;
                break;
            case MessageAnswer::No:
                break;
            default:
                return;
        }
    }
    if (*format == Format::Markdown || *format == Format::Opml) {
        OutlineImport outline(FallbackCaption(name));
        {
            BusyScope busy(p.host);
            if (*format == Format::Markdown) {
                ReadMarkdown(bytes, outline);
            } else {
                p.host.ReadOpml(bytes, outline, name);
            }
        }
        ImportOutline(p, outline, name);
        return;
    }
    // A text file is pasted line by line, as the tree paste takes text.
    if (*format == Format::TextUtf8) {
        file = Utf8TextToCp932(bytes, name);
        bytes = std::string_view(file.block.data(), file.size);
    }
    if (bytes.empty()) {
        NothingToImport(p, name);
        return;
    }
    PasteText(p, bytes, CommandId::Import, true);
}

void PrintExecute(EditorParts& p) {
    if (p.doc().empty()) {
        return;
    }
    PrintJob job = NewPrintJob(p);
    if (p.host.AskPrintOptions(job)) {
        p.host.ShowPrintPreview(job);
    }
}

void ExportPdfExecute(EditorParts& p) {
    if (p.doc().empty()) {
        return;
    }
    PrintJob job = NewPrintJob(p);
    if (!p.host.AskPrintOptions(job)) {
        return;
    }
    FileDialogOptions options;
    options.title = "PDF に書き出し";
    options.filter = kPdfFilter;
    options.defaultExtension = "pdf";
    const std::string& fileName = p.session.fileName();
    options.fileName = fileName.empty() ? "" : ReplaceExtension(fileName, ".pdf");
    std::optional<std::string> path = p.host.AskSaveFileName(options);
    if (!path || path->empty() || !ConfirmOverwrite(p, *path)) {
        return;
    }
    BusyScope busy(p.host);
    p.host.WritePdf(job, *path);
}

}  // namespace brenvale

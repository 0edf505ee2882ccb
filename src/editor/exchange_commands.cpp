// Lists in and out of other programs: import and export of Markdown, OPML and text, the print
// preview and the PDF export.
#include <memory>
#include <new>

#include "common/byte_block.h"
#include "common/path.h"
#include "editor/bulk_build.h"
#include "editor/command_handlers.h"
#include "editor/document_changes.h"
#include "editor/document_session.h"
#include "editor/editor_parts.h"
#include "editor/hint_panel.h"
#include "editor/undo_scope.h"
#include "exchange/exchange_format.h"
#include "exchange/text_import.h"

namespace brenvale {

namespace {

constexpr const char* kPdfFilter = "PDF ファイル (*.pdf)|*.pdf";

std::string DocumentTitle(MoveParts p) {
    return std::string(FileNamePart(p.session.fileName()));
}

// The document's name without its extension, which the save dialog completes with the
// extension of the chosen filter.
std::string SuggestedName(MoveParts p) {
    const std::string& fileName = p.session.fileName();
    if (fileName.empty()) {
        return "";
    }
    std::string name = ReplaceExtension(fileName, ".");
    name.pop_back();
    return name;
}

void NothingToImport(MoveParts p, std::string_view name) {
    p.host.ShowMessageBox("「" + std::string(name) + "」には読み込めるトピックも項目もありません。",
                          MessageKind::Information, MessageButtons::Ok);
}

// Adds what an outline holds to the end of the tree; false when it holds nothing.
bool ImportOutline(MoveParts p, OutlineImport& outline, std::string_view name) {
    if (outline.empty()) {
        NothingToImport(p, name);
        return false;
    }
    // Bytes that are not UTF-8 stop the import here, before anything changes.
    outline.check(name);
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
    return true;
}

// The format a file is imported in: the one its name names, in the encoding of the filter when
// that filter is of the same format (else as its bytes look); for any other name the filter's.
std::optional<FormatChoice> ImportChoice(MoveParts p, std::string_view name,
                                         const FormatChoice* chosen, std::string_view bytes) {
    const ExchangeFormat* named = FormatOfFileName(name);
    if (!named) {
        if (!chosen) {
            p.host.ShowMessageBox("「" + std::string(name) +
                                      "」の形式が拡張子から分かりません。\nファイルの種類で形式を"
                                      "選んでください。",
                                  MessageKind::Warning, MessageButtons::Ok);
            return std::nullopt;
        }
        return *chosen;
    }
    if (chosen && chosen->format == named) {
        return *chosen;
    }
    FormatChoice choice{named, named->encodings.front()};
    if (named->encodings.size() > 1 && LooksLikeUtf8(bytes)) {
        choice.encoding = TextEncoding::Utf8;
    }
    return choice;
}

// Runs a print: memory that runs out stops it there and is told, and the document stays as it
// is (printing only reads it). False when it stopped so.
template <typename Fn>
bool WithoutMemoryStop(MoveParts p, std::string_view what, Fn&& print) {
    try {
        print();
        return true;
    } catch (const std::bad_alloc&) {
        p.host.ShowMessageBox(
            "メモリが足りません。" + std::string(what) + "を中止しました（文書はそのままです）。",
            MessageKind::Error, MessageButtons::Ok);
        return false;
    }
}

PrintJob NewPrintJob(MoveParts p) {
    PrintJob job;
    job.document = &p.doc();
    job.topic = p.selection.topic();
    job.kinds = p.settings.listKindOptions();
    job.title = DocumentTitle(p);
    return job;
}

}  // namespace

void ExportExecute(MoveParts p) {
    if (p.doc().empty()) {
        return;
    }
    const ExchangeFormat& first = ExchangeFormats().front();
    FileDialogOptions options;
    options.title = "エクスポート";
    options.filter = ExchangeDialogFilter(false);
    options.defaultExtension = first.extensions.front();
    options.fileName = SuggestedName(p);
    std::optional<FileChoice> choice = p.host.AskFile(options, true);
    if (!choice || choice->path.empty() || !ConfirmOverwrite(p, choice->path)) {
        return;
    }
    FormatChoice format = ChoiceOfFilter(choice->filter, false)
                              .value_or(FormatChoice{&first, first.encodings.front()});
    {
        BusyScope busy(p.host);
        WriteExportFile(format, p.doc(), p.settings.listKindOptions(), DocumentTitle(p),
                        choice->path);
    }
    p.hint.show("「" + choice->path + "」に書き出しました");
}

void ImportExecute(MoveParts p) {
    FileDialogOptions options;
    options.title = "インポート";
    options.filter = ExchangeDialogFilter(true);
    options.defaultExtension = ExchangeFormats().front().extensions.front();
    std::optional<FileChoice> choice = p.host.AskFile(options, false);
    if (choice && !choice->path.empty()) {
        std::optional<FormatChoice> chosen = ChoiceOfFilter(choice->filter, true);
        ImportFile(p, choice->path, chosen ? &*chosen : nullptr);
    }
}

void ImportFile(MoveParts p, const std::string& path, const FormatChoice* chosen) {
    std::string_view name = FileNamePart(path);
    // A format that comes in several encodings is looked at whole first, to tell which one;
    // the others are read a piece at a time.
    const ExchangeFormat* named = FormatOfFileName(name);
    const ExchangeFormat* likely = named ? named : chosen ? chosen->format : nullptr;
    const bool readWhole = likely && likely->encodings.size() > 1;
    FileBlock whole;
    std::string_view bytes;
    if (readWhole) {
        BusyScope busy(p.host);
        whole = ReadFileBlock(path, 1);
        bytes = std::string_view(whole.block.data(), whole.size);
    }
    std::optional<FormatChoice> format = ImportChoice(p, name, chosen, bytes);
    if (!format) {
        return;
    }
    if (format->encoding == TextEncoding::Cp932 && format->format->encodings.size() > 1 &&
        LooksLikeUtf8(bytes)) {
        switch (p.host.ShowMessageBox("「" + std::string(name) +
                                          "」は UTF-8 のテキストのようです。\nUTF-8 として読み込み"
                                          "ますか？",
                                      MessageKind::Confirmation, MessageButtons::YesNoCancel)) {
            case MessageAnswer::Yes:
                format->encoding = TextEncoding::Utf8;
                break;
            case MessageAnswer::No:
                break;
            default:
                return;
        }
    }
    ImportedFile file;
    {
        BusyScope busy(p.host);
        std::unique_ptr<ImportSource> source =
            readWhole ? std::make_unique<ImportSource>(bytes, std::string(name))
                      : std::make_unique<ImportSource>(path);
        file = ReadImport(*format, *source);
    }
    if (file.outline) {
        if (!ImportOutline(p, *file.outline, name)) {
            return;
        }
    } else if (file.lines.size == 0) {
        NothingToImport(p, name);
        return;
    } else {
        PasteText(p, std::string_view(file.lines.block.data(), file.lines.size), CommandId::Import,
                  true);
    }
    p.hint.show("「" + path + "」を読み込みました");
}

void PrintExecute(MoveParts p) {
    if (p.doc().empty()) {
        return;
    }
    PrintJob job = NewPrintJob(p);
    if (p.host.AskPrintOptions(job)) {
        WithoutMemoryStop(p, "印刷", [&] { p.host.ShowPrintPreview(job); });
    }
}

void ExportPdfExecute(MoveParts p) {
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
    // The window shows the progress, with a button that stops it.
    bool written = false;
    if (!WithoutMemoryStop(p, "PDF の書き出し", [&] { written = p.host.WritePdf(job, *path); })) {
        return;
    }
    if (!written) {
        p.hint.show("PDF の書き出しを中止しました。「" + std::string(FileNamePart(*path)) +
                    "」は書き出していません");
        return;
    }
    p.hint.show("「" + *path + "」に PDF を書き出しました");
}

}  // namespace brenvale

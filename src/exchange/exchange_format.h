#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "exchange/exchange_types.h"
#include "exchange/import_source.h"

namespace brenvale {

// A format files are exchanged in with other programs: how the command line and the file
// dialogs name it, the extensions that tell it, the encodings it is written in, its reader
// and its writer. A new format is a reader, a writer and a row of ExchangeFormats().
struct ExchangeFormat {
    std::string_view name;                         // for --format: "md"
    std::span<const std::string_view> aliases;     // also taken for --format
    std::string_view caption;                      // in the dialogs' filters: "Markdown"
    std::span<const std::string_view> extensions;  // lower case without the dot; first: default
    size_t listedExtensions;                       // how many of them the import filter lists
    std::span<const TextEncoding> encodings;       // the first is the default
    // Reads source (in encoding, one of encodings) into `into`; throws Error.
    void (*read)(ImportSource& source, TextEncoding encoding, ImportedFile& into);
    // Writes job (in job.encoding, one of encodings) to out; throws Error.
    void (*write)(const ExportJob& job, ByteSink& out);
};

std::span<const ExchangeFormat> ExchangeFormats();

// The format whose name or alias is name; nothing for none.
const ExchangeFormat* FormatNamed(std::string_view name);
// The format the extension of a file's name names (in any case); nothing for none.
const ExchangeFormat* FormatOfFileName(std::string_view path);

// "CP932", "UTF-8"; and the encoding of a name as the command line takes it (cp932, shift_jis,
// sjis, utf-8, utf8, in any case).
std::string_view EncodingName(TextEncoding encoding);
std::optional<TextEncoding> EncodingNamed(std::string_view name);

// A format in one of its encodings: what a filter of the file dialogs stands for.
struct FormatChoice {
    const ExchangeFormat* format = nullptr;
    TextEncoding encoding = TextEncoding::Utf8;
};

// The filters of the export and import dialogs, as FileDialogOptions takes them: a filter for
// each format in each of its encodings; the import's last one takes every file.
std::string ExchangeDialogFilter(bool import);
// The choice a filter's description (as ExchangeDialogFilter gave it) stands for; nothing for
// the filter of every file or a description of no format.
std::optional<FormatChoice> ChoiceOfFilter(std::string_view description, bool import);

// The CP932 caption of the Topic that takes what an imported file holds outside any Topic:
// the file's name without its extension (characters beyond CP932 as references), or
// "インポート" when that name is not UTF-8.
std::string FallbackCaption(std::string_view fileName);

// Reads source as choice says. A source that is plainly no text (see NonDocumentKind) or is
// UTF-16 text throws Error before any of it is read.
ImportedFile ReadImport(const FormatChoice& choice, ImportSource& source);
// Writes the export of doc as choice says to path, replacing the file only once it is
// complete. title: the document's name (UTF-8).
void WriteExportFile(const FormatChoice& choice, const Document& doc, const ListKindOptions& kinds,
                     std::string_view title, const std::string& path);

}  // namespace brenvale

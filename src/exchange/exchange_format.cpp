#include "exchange/exchange_format.h"

#include <algorithm>

#include "common/cp932.h"
#include "common/error.h"
#include "common/file_io.h"
#include "common/path.h"
#include "common/text.h"
#include "document/line_rules.h"
#include "document/read_checks.h"
#include "exchange/import_messages.h"
#include "exchange/markdown_export.h"
#include "exchange/markdown_import.h"
#include "exchange/opml.h"
#include "exchange/text_export.h"
#include "exchange/text_import.h"

namespace brenvale {

namespace {

void ReadMarkdownFile(ImportSource& source, TextEncoding, ImportedFile& into) {
    into.outline =
        std::make_unique<OutlineImport>(FallbackCaption(source.name()), std::string(source.name()));
    ReadMarkdown(source, *into.outline);
}

void ReadOpmlFile(ImportSource& source, TextEncoding, ImportedFile& into) {
    into.outline =
        std::make_unique<OutlineImport>(FallbackCaption(source.name()), std::string(source.name()));
    ReadOpml(source, *into.outline);
}

// A text file is pasted line by line, as the tree paste takes text.
void ReadTextFile(ImportSource& source, TextEncoding encoding, ImportedFile& into) {
    into.lines = source.rest(1);
    if (encoding == TextEncoding::Utf8) {
        into.lines = Utf8TextToCp932(std::string_view(into.lines.block.data(), into.lines.size),
                                     source.name());
    }
}

constexpr std::string_view kMarkdownAliases[] = {"markdown"};
constexpr std::string_view kMarkdownExtensions[] = {"md", "markdown"};
constexpr std::string_view kOpmlExtensions[] = {"opml", "xml"};
constexpr std::string_view kTextAliases[] = {"text"};
constexpr std::string_view kTextExtensions[] = {"txt", "text"};
constexpr TextEncoding kUtf8[] = {TextEncoding::Utf8};
constexpr TextEncoding kCp932OrUtf8[] = {TextEncoding::Cp932, TextEncoding::Utf8};

const ExchangeFormat kFormats[] = {
    {"md", kMarkdownAliases, "Markdown", kMarkdownExtensions, 2, kUtf8, ReadMarkdownFile,
     WriteMarkdown},
    {"opml", {}, "OPML", kOpmlExtensions, 1, kUtf8, ReadOpmlFile, WriteOpml},
    {"txt", kTextAliases, "テキスト", kTextExtensions, 1, kCp932OrUtf8, ReadTextFile, WriteText},
};

constexpr std::string_view kEveryFile = "すべてのファイル (*.*)";

// "Markdown (*.md *.markdown)"; a format with a choice of encodings names the encoding.
std::string FilterDescription(const ExchangeFormat& format, TextEncoding encoding, bool import) {
    std::string text(format.caption);
    if (format.encodings.size() > 1) {
        text += ' ';
        text += EncodingName(encoding);
    }
    text += " (";
    size_t listed = import ? format.listedExtensions : 1;
    for (size_t i = 0; i < listed; ++i) {
        text += (i == 0 ? "*." : " *.");
        text += format.extensions[i];
    }
    return text + ")";
}

}  // namespace

std::span<const ExchangeFormat> ExchangeFormats() {
    return kFormats;
}

const ExchangeFormat* FormatNamed(std::string_view name) {
    std::string lower = ToLowerAscii(name);
    for (const ExchangeFormat& format : kFormats) {
        if (format.name == lower || std::find(format.aliases.begin(), format.aliases.end(),
                                              lower) != format.aliases.end()) {
            return &format;
        }
    }
    return nullptr;
}

const ExchangeFormat* FormatOfFileName(std::string_view path) {
    std::string_view name = FileNamePart(path);
    size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        return nullptr;
    }
    std::string extension = ToLowerAscii(name.substr(dot + 1));
    for (const ExchangeFormat& format : kFormats) {
        if (std::find(format.extensions.begin(), format.extensions.end(), extension) !=
            format.extensions.end()) {
            return &format;
        }
    }
    return nullptr;
}

std::string_view EncodingName(TextEncoding encoding) {
    return encoding == TextEncoding::Cp932 ? "CP932" : "UTF-8";
}

std::optional<TextEncoding> EncodingNamed(std::string_view name) {
    std::string lower = ToLowerAscii(name);
    if (lower == "cp932" || lower == "shift_jis" || lower == "sjis") {
        return TextEncoding::Cp932;
    }
    if (lower == "utf-8" || lower == "utf8") {
        return TextEncoding::Utf8;
    }
    return std::nullopt;
}

std::string ExchangeDialogFilter(bool import) {
    std::string filter;
    for (const ExchangeFormat& format : kFormats) {
        for (TextEncoding encoding : format.encodings) {
            filter += FilterDescription(format, encoding, import);
            filter += "|*.";
            filter += format.extensions[0];
            filter += '|';
        }
    }
    if (import) {
        filter += kEveryFile;
        filter += "|*.*";
    } else {
        filter.pop_back();
    }
    return filter;
}

std::optional<FormatChoice> ChoiceOfFilter(std::string_view description, bool import) {
    for (const ExchangeFormat& format : kFormats) {
        for (TextEncoding encoding : format.encodings) {
            if (FilterDescription(format, encoding, import) == description) {
                return FormatChoice{&format, encoding};
            }
        }
    }
    return std::nullopt;
}

std::string FallbackCaption(std::string_view fileName) {
    std::string base(FileNamePart(fileName));
    if (size_t dot = base.rfind('.'); dot != std::string::npos && dot > 0) {
        base.erase(dot);
    }
    std::optional<std::string> caption = Utf8ToCp932(base);
    if (!caption || caption->empty()) {
        caption = Utf8ToCp932("インポート");
    }
    return *caption;
}

ImportedFile ReadImport(const FormatChoice& choice, ImportSource& source) {
    // A picture, an archive or a program read as text would arrive as lines of garbage, and
    // UTF-16 as text with a NUL in every other byte: neither is read at all. A file that starts
    // as a document is text whatever follows, as the open takes it.
    // A stray NUL leaves a file text: a document may hold one in a text, and an export of it
    // then too, which must import again. A file where NULs are common is binary.
    std::string start = source.start(kTextKindSample);
    std::string kind = LooksLikeUtf16(start) ? "UTF-16 のテキスト" : NonDocumentKind(start);
    bool strayNuls =
        kind == kBinaryFileKind &&
        static_cast<size_t>(std::count(start.begin(), start.end(), '\0')) * 100 <= start.size();
    if (!kind.empty() && !strayNuls && !start.starts_with(kGeometryByte)) {
        throw Error(NotTextImportText(source.name(), kind));
    }
    ImportedFile file;
    choice.format->read(source, choice.encoding, file);
    return file;
}

void WriteExportFile(const FormatChoice& choice, const Document& doc, const ListKindOptions& kinds,
                     std::string_view title, const std::string& path) {
    AtomicFileWriter writer(path);
    SinkTo<AtomicFileWriter> sink(writer);
    choice.format->write(ExportJob{doc, kinds, choice.encoding, title}, sink);
    writer.Commit();
}

}  // namespace brenvale

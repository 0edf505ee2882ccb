#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "common/byte_block.h"
#include "document/document.h"
#include "document/item_kind.h"
#include "exchange/outline_import.h"

namespace brenvale {

enum class TextEncoding { Cp932, Utf8 };

// Where an export's bytes go, a large block at a time: a file being replaced, standard output,
// a string.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void Write(std::string_view bytes) = 0;
};

// Passes the bytes on to anything with Write(std::string_view) (an AtomicFileWriter).
template <typename Target>
class SinkTo : public ByteSink {
public:
    explicit SinkTo(Target& target) : target_(target) {}
    void Write(std::string_view bytes) override { target_.Write(bytes); }

private:
    Target& target_;
};

// Keeps the bytes in a string.
class StringByteSink : public ByteSink {
public:
    void Write(std::string_view bytes) override { bytes_.append(bytes); }
    std::string take() { return std::move(bytes_); }

private:
    std::string bytes_;
};

// What an export writes: the document, the list settings that tell the kinds of Items apart,
// the encoding (for the formats that offer a choice) and the document's name (UTF-8).
struct ExportJob {
    const Document& doc;
    const ListKindOptions& kinds;
    TextEncoding encoding = TextEncoding::Utf8;
    std::string_view title;
};

// What a reader made of a file: the outline of a structured format (Markdown, OPML), or the
// CP932 lines of a text file, which the tree paste takes.
struct ImportedFile {
    std::unique_ptr<OutlineImport> outline;
    FileBlock lines;
};

}  // namespace brenvale

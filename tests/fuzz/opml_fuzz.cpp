// The OPML import of any bytes: no crash, the same read whole or a few bytes at a time, and
// what it builds exported and imported again gives the same document bytes, as the export of
// any document does.
#include "common/error.h"
#include "document/document_writer.h"
#include "document/model.h"
#include "exchange/opml.h"
#include "fuzz_check.h"

using namespace brenvale;

namespace {

const DocumentGeometry kGeometry{376, 573, 200, 300, 129};

// The document bytes of an import, or nothing when the import refuses the input.
std::optional<std::string> Import(std::string_view opml, Document& doc, size_t piece = SIZE_MAX) {
    OutlineImport outline("fallback");
    try {
        ImportSource source(opml, "fuzz.opml", piece);
        ReadOpml(source, outline);
        outline.build(doc, kEveryIconIndex, "fuzz.opml");
    } catch (const Error&) {
        return std::nullopt;  // not OPML
    }
    return SerializeDocument(doc, kGeometry);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Document first;
    std::optional<std::string> imported = Import(fuzz::Bytes(data, size), first);
    Document pieces;
    std::optional<std::string> inPieces = Import(fuzz::Bytes(data, size), pieces, size % 13 + 1);
    fuzz::Check(inPieces == imported, "an import read in pieces gives what it gives read whole");
    if (!imported) {
        return 0;
    }
    for (const ListKindOptions& options : {ListKindOptions{}, ListKindOptions{false, false, "*"}}) {
        Document second;
        std::optional<std::string> again = Import(ExportOpml(first, options, ""), second);
        fuzz::Check(again.has_value(), "an export imports without an error");
        fuzz::Check(*again == *imported, "an export imported gives the same document bytes");
    }
    return 0;
}

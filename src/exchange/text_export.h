#pragma once

#include <string>
#include <vector>

#include "document/document.h"
#include "document/item_kind.h"
#include "exchange/exchange_types.h"

namespace brenvale {

// The indented plain-text outline of a Document: a line per Topic (TABs by level, caption)
// and per Item (the same TABs, two spaces, the mark or the no-box mark, the text; a
// separator as ten "-"). In CP932 each line ends with CR LF, as the document holds its bytes;
// in UTF-8 with LF. A UTF-8 export throws Error, naming where, when a text holds bytes CP932
// does not define: they have no character to write.
void WriteText(const ExportJob& job, ByteSink& out);

std::string ExportText(const Document& doc, const ListKindOptions& options,
                       TextEncoding encoding = TextEncoding::Cp932);

// Writes the export to path, replacing the file only once it is complete.
void WriteTextExport(const Document& doc, const std::string& path, const ListKindOptions& options,
                     TextEncoding encoding = TextEncoding::Cp932);

// The text of the refusal of a UTF-8 export: where the bytes CP932 does not define are, as
// "トピック「仕事」" or "トピック「仕事」の 3 番目の項目".
std::string UndecodableExportText(const std::vector<std::string>& places, size_t count);

}  // namespace brenvale

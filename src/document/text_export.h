#pragma once

#include <string>

#include "document/document.h"
#include "document/item_kind.h"

namespace brenvale {

// The indented plain-text outline of a Document: a line per Topic (TABs by level, caption)
// and per Item (the same TABs, two spaces, the mark or the no-box mark, the text; a
// separator as ten "-"), each ended by CR LF.
std::string ExportText(const Document& doc, const ListKindOptions& options);

// Writes the export to path, replacing the file only once it is complete.
void WriteTextExport(const Document& doc, const std::string& path, const ListKindOptions& options);

}  // namespace brenvale

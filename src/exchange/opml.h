#pragma once

#include <string>
#include <string_view>

#include "document/document.h"
#include "document/item_kind.h"
#include "exchange/outline_import.h"

namespace brenvale {

// OPML 2.0, the outline format outliners exchange. The reader and writer use Qt's XML stream
// classes; this header has no Qt types, so that the command-line tool and the editor can use
// them without Qt of their own.
//
// A Topic is an <outline text="caption">, its Items child outlines with _status="checked" or
// "unchecked" (the attribute outliners use for to-dos), then its child Topics. The program's
// own attributes, in the namespace kOpmlNamespace, keep what plain OPML cannot say: the kind
// of an outline (topic, item, separator, nobox), a Topic's icon, an Item's mark when it is
// neither "■" nor "□" (mark, in hex), and the exact CP932 bytes of a text that Unicode or
// XML cannot give back as they are (cp932, in hex: the codes CP932 has twice, bytes it does
// not define, control characters XML cannot carry).
inline constexpr std::string_view kOpmlNamespace = "urn:x-brenvale:opml:1";

// The export, UTF-8. title goes into the head (UTF-8).
std::string ExportOpml(const Document& doc, const ListKindOptions& options, std::string_view title);
// Writes the export to path, replacing the file only once it is complete.
void WriteOpmlExport(const Document& doc, const std::string& path, const ListKindOptions& options,
                     std::string_view title);

// Reads OPML into outline. Outlines without the program's attributes are read as outliners
// write them: an outline with children is a Topic, any other an Item (checked when its
// _status says so); a _note becomes a no-box Item after its outline; the head's title names
// the Topic that takes Items outside any Topic. Throws Error, naming the line and column, for
// a file that is not well-formed XML or not OPML. bytes must stay until outline.build() has
// run: a refused build finds the characters it names in them.
void ReadOpml(std::string_view bytes, OutlineImport& outline, std::string_view sourceName);

}  // namespace brenvale

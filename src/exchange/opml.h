#pragma once

#include <string>
#include <string_view>

#include "document/document.h"
#include "document/item_kind.h"
#include "exchange/exchange_types.h"
#include "exchange/import_source.h"
#include "exchange/outline_import.h"

namespace brenvale {

// OPML 2.0, the outline format outliners exchange, read and written in UTF-8 a piece at a
// time: the file is never held whole.
//
// A Topic is an <outline text="caption">, its Items child outlines, then its child Topics.
// An Item with a check box has _status="checked" or "unchecked" (the attribute outliners use
// for to-dos); separators and no-box Items have none, since outliners would show a box. The
// program's own attributes, in the namespace kOpmlNamespace, keep what plain OPML cannot say:
// the kind of an outline (topic, item, separator, nobox), a Topic's icon, an Item's mark when
// its form does not show it (mark, in hex: a task's neither "■" nor "□", a separator's or
// no-box Item's not "□"), and the exact CP932 bytes of a text that Unicode or XML cannot give
// back as they are (cp932, in hex: the codes CP932 has twice, bytes it does not define,
// control characters XML cannot carry, references of U+FFFE and U+FFFF).
inline constexpr std::string_view kOpmlNamespace = "urn:x-brenvale:opml:1";

// The export. job.title goes into the head.
void WriteOpml(const ExportJob& job, ByteSink& out);
std::string ExportOpml(const Document& doc, const ListKindOptions& options, std::string_view title);
// Writes the export to path, replacing the file only once it is complete.
void WriteOpmlExport(const Document& doc, const std::string& path, const ListKindOptions& options,
                     std::string_view title);

// Reads OPML into outline with a streaming XML parser that loads no external entity and
// limits the expansion of internal ones. Outlines without the program's attributes are read
// as outliners write them: an outline with children is a Topic, any other an Item, checked
// when its _status says "checked" or its _complete "true"; a _note becomes a no-box Item
// after its outline; the head's title names the Topic that takes Items outside any Topic.
// Throws Error, naming the line and column, for a file that is not well-formed XML or not
// OPML.
void ReadOpml(ImportSource& source, OutlineImport& outline);
void ReadOpml(std::string_view bytes, OutlineImport& outline, std::string_view sourceName);

}  // namespace brenvale

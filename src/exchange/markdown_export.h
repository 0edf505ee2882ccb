#pragma once

#include <string>

#include "document/document.h"
#include "document/item_kind.h"
#include "exchange/exchange_types.h"

namespace brenvale {

// A Document as a Markdown task list, UTF-8 with LF line ends: a Topic is a heading by its
// level ("#" to "######"; deeper ones bold list items "- **caption**" indented below the
// sixth level), its icon a note "<!-- icon:7 -->" after it; an Item a task "- [ ] text" or
// "- [x] text", a no-box Item "- text", a separator "---" ("- ---" inside a deeper list). A
// Topic whose first Item is a task with the Topic's own caption, with more below it, is that
// task with its sub-tasks ("- [x] caption" and the rest indented below), where the nesting
// allows it. Special characters are escaped, so that the import gives back the same Document.
void WriteMarkdown(const ExportJob& job, ByteSink& out);

std::string ExportMarkdown(const Document& doc, const ListKindOptions& options);

// Writes the export to path, replacing the file only once it is complete.
void WriteMarkdownExport(const Document& doc, const std::string& path,
                         const ListKindOptions& options);

}  // namespace brenvale

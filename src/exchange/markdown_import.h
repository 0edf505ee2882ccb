#pragma once

#include <string_view>

#include "exchange/import_source.h"
#include "exchange/outline_import.h"

namespace brenvale {

// Reads Markdown (UTF-8, with or without a byte order mark; LF, CR LF or CR line ends) into
// outline, a piece of the file at a time. What the export writes comes back exactly; beyond
// that, ordinary task lists:
//   - headings ("#" to "######", or underlined with "===" or "---") become Topics by level;
//   - a list item ("-", "*", "+", "1.") with list items below it becomes a Topic, and so
//     does a list item that is all bold ("- **caption**"); a task with sub-tasks becomes a
//     Topic whose first Item is the task itself, box and all;
//   - a task ("- [ ] text", "- [x] text", "- [X] text") becomes an Item with its box;
//   - a thematic break ("---", "***", "___") becomes a separator Item;
//   - any other list item, paragraph or code block becomes a no-box Item, so that nothing
//     of the file is left out.
// Items before the first Topic go to the outline's fallback Topic. In texts, backslash escapes
// and character references (numbers, and every named entity of HTML) become their characters;
// the outline keeps those beyond CP932 as references.
void ReadMarkdown(ImportSource& source, OutlineImport& outline);
void ReadMarkdown(std::string_view bytes, OutlineImport& outline);

}  // namespace brenvale

#pragma once

#include <string>
#include <string_view>

#include "document/item.h"

namespace brenvale {

// The document file is line based: CR ends a line, byte 0x1A ends the file, and a line that
// begins with 0x07, 0x08 or TAB is a geometry line, an Item line or a deeper level. So that
// every text comes back from a save and an open exactly as it went in, these rules are
// applied where text enters a Document and again by the writer:
//   - a line break inside a text (CR LF or a lone CR) becomes a lone LF, which the reader
//     keeps as an ordinary byte;
//   - byte 0x1A is dropped;
//   - a caption loses leading 0x08 and TAB bytes, and on the top level also leading 0x07
//     bytes (below it the TABs come first, so 0x07 cannot start a geometry line there);
//   - a mark holding 0x1A or CR is replaced by the unchecked mark.
// In CP932 none of these bytes can be the second byte of a double-byte character.
// level: the Topic's level in the tree (0 for the top level), as the writer writes it.
bool IsFileSafeCaption(std::string_view caption, int level = 0);
bool IsFileSafeText(std::string_view text);
bool IsFileSafeItem(const Item& item);
bool IsFileSafeStored(std::string_view stored);

std::string FileSafeCaption(std::string_view caption, int level = 0);
std::string FileSafeText(std::string_view text);
Item FileSafeItem(const Item& item);
std::string FileSafeStored(std::string_view stored);

// An Item line from outside a document file (a pasted or imported text) whose first two bytes,
// the mark, would cut a character reference: the line starts with a character CP932 cannot
// hold. Such a line is all text behind the unchecked mark, so that the character is shown whole
// and no later rewrite of the mark takes part of it.
bool MarkCutsReference(std::string_view stored);
// The stored form of an unchecked Item whose text is the whole of stored.
std::string AllTextUnchecked(std::string_view stored);

// The tree clipboard text is split at every line break, LF included, so a caption or Item
// text put there has each of its line breaks replaced by one space.
std::string ClipboardSafeText(std::string_view text);

}  // namespace brenvale

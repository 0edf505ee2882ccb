#pragma once

#include <string_view>

#include "common/byte_block.h"
#include "common/cp932.h"  // LooksLikeUtf8
#include "exchange/import_messages.h"

namespace brenvale {

// Where byte `offset` of a UTF-8 text stands: its line (a line ends at LF, CR LF or CR) and
// its column in characters, both counted from 1.
SourcePlace PlaceInText(std::string_view utf8, size_t offset);

// The CP932 bytes of a UTF-8 text (a leading byte order mark dropped), in a block with room
// for one more byte, as the tree paste takes it; a character CP932 cannot hold is kept as its
// reference. Throws Error, naming the first few bytes that are not UTF-8 with their lines and
// columns, when there are any.
FileBlock Utf8TextToCp932(std::string_view utf8, std::string_view sourceName);

}  // namespace brenvale

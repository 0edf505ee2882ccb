#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "document/item_kind.h"
#include "schedule/agenda.h"
#include "schedule/block_array.h"

namespace brenvale {

// An agenda entry read from a document file, its Topic path (the captions from the top level
// down, joined by the separator) and its text as stored, tokens and all, kept by its
// FileAgenda.
struct FileAgendaEntry {
    DueDate due;
    std::string_view path;
    std::string_view text;
};

struct FileAgenda {
    BlockArray<FileAgendaEntry> entries;  // in document order
    size_t unreadLines = 0;               // as ReadResult counts them
    bool utf8 = false;                    // looks like UTF-8 text, as ReadResult says
    TextPool texts;                       // the paths and texts (CP932)
};

// The bytes a file is read in: small enough to stay in the processor's cache, so that every
// piece is read into the same warm memory instead of fresh pages.
inline constexpr size_t kAgendaPiece = (size_t{256} << 10) - 1;

// The Items CollectAgenda gives for the document that ReadDocument would read from the file
// (the same Items, in document order, unsorted), read in pieces without building the
// document: the memory it takes is the entries and the longest line. Throws Error with
// ReadDocument's texts where ReadDocument throws, but reads files of any size.
FileAgenda ReadFileAgenda(const std::string& path, Date today, const ListKindOptions& list,
                          const AgendaOptions& options, std::string_view separator,
                          size_t piece = kAgendaPiece);
// The same for the bytes of a document, handed over in pieces of the given size.
FileAgenda ReadBytesAgenda(std::string_view bytes, Date today, const ListKindOptions& list,
                           const AgendaOptions& options, std::string_view separator,
                           size_t piece = kAgendaPiece);

}  // namespace brenvale

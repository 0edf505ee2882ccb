#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "document/item_kind.h"
#include "schedule/agenda.h"

namespace brenvale {

// An agenda entry read from a document file: where its Topic path and its text lie in the
// read's bytes.
struct FileAgendaEntry {
    DueDate due;
    size_t path = 0;  // the captions from the top level down, joined by the separator
    size_t pathLength = 0;
    size_t text = 0;  // the Item's text as stored, tokens and all
    size_t textLength = 0;
};

struct FileAgenda {
    std::vector<FileAgendaEntry> entries;  // in document order
    std::string bytes;                     // the paths and texts (CP932)
    size_t unreadLines = 0;                // as ReadResult counts them
    bool utf8Marked = false;

    std::string_view pathOf(const FileAgendaEntry& e) const {
        return std::string_view(bytes).substr(e.path, e.pathLength);
    }
    std::string_view textOf(const FileAgendaEntry& e) const {
        return std::string_view(bytes).substr(e.text, e.textLength);
    }
};

// The bytes a file is read in.
inline constexpr size_t kAgendaPiece = size_t{512} << 10;

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

#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "document/item_kind.h"
#include "document/read_checks.h"

namespace brenvale {

// What a document holds as ReadDocument reads it, counted without building it: its Topics and
// Items, the Items the status bar counts as open, the deepest level (0 with only top-level
// Topics or none), and what the read warns of (see ReadResult).
struct DocumentCounts {
    size_t topics = 0;
    size_t items = 0;
    size_t unchecked = 0;
    size_t depth = 0;
    size_t unreadLines = 0;
    bool utf8 = false;

    bool operator==(const DocumentCounts&) const = default;
};

// Counts the lines of a document handed over piece by piece, as they come from the file: a
// line may cross any number of pieces, and nothing but a few bytes of the line still open is
// kept.
class DocumentCounter {
public:
    explicit DocumentCounter(const ListKindOptions& list) : list_(list) {}

    // Counts the lines that end in the piece. In a text without any CR, its LFs must already
    // be CRs (EndLinesAtLineFeeds). The piece's bytes may be changed.
    void feed(char* piece, size_t size);
    // Counts the last line, ended by the end of the text. utf8 is left to the caller.
    DocumentCounts finish();

private:
    // The start of a line that crosses into the next piece: its TABs and the first bytes
    // after them, which are all that decide what the line counts as.
    struct OpenLine {
        static constexpr size_t kKept = 6;  // the Item byte, an Item's mark and "-", one more
        bool open = false;                  // it holds at least one byte
        bool pastTabs = false;
        size_t tabs = 0;
        size_t kept = 0;
        char after[kKept + 2] = {'\r', '\r', '\r', '\r', '\r', '\r', '\r', '\r'};

        void add(const char* p, size_t size);
    };

    // The line with `tabs` TABs whose bytes after them start at rest and end with a CR
    // before end.
    void line(size_t tabs, const char* rest, const char* end);
    void closeOpenLine();

    const ListKindOptions& list_;
    DocumentCounts counts_;
    size_t level_ = 0;     // the level of the last Topic
    size_t lastTabs_ = 0;  // the TABs of the last Topic's line
    size_t unreadItems_ = 0;
    OpenLine open_;
    bool afterCr_ = false;  // the last piece ended with the CR of a line end
    bool ended_ = false;    // a 0x1A has ended the text
    UnreadLineCounter tail_;
};

// The bytes a file is read in by CountDocument.
inline constexpr size_t kCountPiece = size_t{512} << 10;

// Counts a document file as ReadDocument would read it, reading it through one descriptor in
// pieces of the given size: the memory it takes does not grow with the file. Throws Error,
// with ReadDocument's texts, where ReadDocument throws (a file that is not a document among
// them).
DocumentCounts CountDocument(const std::string& path, const ListKindOptions& list,
                             size_t piece = kCountPiece);
// The same for the bytes of a document, counted in pieces of the given size.
DocumentCounts CountDocumentBytes(std::string_view bytes, const ListKindOptions& list,
                                  size_t piece = kCountPiece);

}  // namespace brenvale

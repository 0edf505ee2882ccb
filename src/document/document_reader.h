#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_identity.h"
#include "document/document.h"
#include "document/geometry.h"
#include "document/model.h"
#include "document/read_checks.h"

namespace brenvale {

struct ReadOptions {
    bool applyGeometry = true;  // take the geometry lines; off: skip them altogether
    int imageCount = kBuiltInTopicImages;
    // Keep the file's bytes in the Document's block as they lie in the file, so that an Item
    // read lies at its offset in the file; off, the block keeps only the captions and the
    // Items' stored forms (no indents, icon suffixes, LFs or geometry lines): a sixth less.
    bool keepFileImage = false;

    bool operator==(const ReadOptions&) const = default;
};

struct ReadResult {
    std::unique_ptr<Document> document;
    GeometryRead geometry;
    // Lines of the file that the document does not hold, as the format has it: the lines after
    // a byte 0x1A and Item lines before the first Topic. A save drops them.
    size_t unreadLines = 0;
    // The file looks like UTF-8 text (a byte order mark, or multi-byte sequences that are all
    // valid UTF-8): its text is likely not CP932.
    bool utf8 = false;
    // The file read (ReadDocument only): its metadata when it was opened, and the size and
    // hash of the bytes read.
    FileIdentity identity;
};

// The warnings a read leaves for the user, one text each; empty when there are none.
std::vector<std::string> ReadWarnings(const ReadResult& read);

// Reads a document file into a new Document. Lines end at CR (an LF right after it belongs to
// the line end), or at LF in a file that holds no CR at all; a byte 0x1A ends the text.
// Throws Error when the file cannot be read, is not a regular file, is UTF-16 text or is
// plainly not a document (see CheckTextStart), before anything is built.
ReadResult ReadDocument(const std::string& path, const ReadOptions& options);
// The same for bytes; name is the file's, for the messages.
ReadResult ParseDocument(std::string_view bytes, const ReadOptions& options,
                         std::string_view name = {});

// What the start of the file at path says about it, judged as ReadDocument judges it: throws
// Error where ReadDocument would refuse the file for its start. Nothing when the file cannot
// be opened or read (ReadDocument says why).
std::optional<TextKind> PeekTextKind(const std::string& path);

}  // namespace brenvale

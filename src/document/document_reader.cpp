#include "document/document_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "common/byte_block.h"
#include "common/content_hash.h"
#include "common/error.h"
#include "common/icon_suffix.h"
#include "common/readable_file.h"
#include "document/item_batch.h"
#include "document/line_rules.h"
#include "document/line_scan.h"
#include "document/read_checks.h"
#include "document/safe_text.h"
#include "document/storage.h"
#include "document/tree_builder.h"

namespace brenvale {

namespace {

std::optional<int> ParseInt(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

void ReadGeometryLine(std::string_view rest, GeometryRead& geometry) {
    struct Key {
        std::string_view name;
        std::optional<int> GeometryRead::*field;
    };
    static constexpr Key kKeys[] = {
        {"Height", &GeometryRead::height},
        {"Width", &GeometryRead::width},
        {"Top", &GeometryRead::top},
        {"Left", &GeometryRead::left},
        {"TreeWidth", &GeometryRead::treeWidth},
    };
    for (const Key& key : kKeys) {
        if (rest.substr(0, key.name.size()) == key.name) {
            // A value that is not a number is skipped; the window keeps that dimension.
            if (auto value = ParseInt(rest.substr(key.name.size()))) {
                geometry.*key.field = *value;
            }
        }
    }
    geometry.sawGeometryLine = true;
}

// Reads the lines of a block the Document keeps: Topics take their captions and Items their
// stored forms from it, so the tree costs the block and a few arrays. The block may be handed
// over as it fills, so that each piece is read while it is still in the cache.
//
// Unless the file's image is to be kept, what the Document keeps of a line (a caption; a
// stored form with its CR) is moved down to the end of the bytes kept so far as the line is
// read, so indents, icon suffixes, LFs and geometry lines take no memory. The bytes not read
// yet can be moved down after the kept ones too (compact), so that a file read piece by piece
// never touches more of the block than it keeps and one piece.
class Reader {
public:
    Reader(Document& doc, char* bytes, TextRef base, const ReadOptions& options)
        : options_(options), bytes_(bytes), base_(base), tree_(doc), items_(doc.storage().arena) {}

    // Reads the lines ended in [scanned, filled); false once a 0x1A has ended the text.
    bool feed(size_t filled) {
        ForEachByteOf(bytes_ + scanned_, filled - scanned_, '\r', kEndOfFile, [&](size_t at) {
            at += scanned_;
            if (bytes_[at] == kEndOfFile) {
                end_ = at;
                return false;
            }
            line(lineStart(), at);
            begin_ = at + 1;
            afterCr_ = true;
            return true;
        });
        if (end_ != kOpen) {
            return false;
        }
        scanned_ = filled;
        return true;
    }

    // Reads the last line, ended by the end of the bytes (at size) or by a 0x1A. The bytes
    // after a 0x1A are only counted.
    void finish(size_t size) {
        if (end_ == kOpen) {
            end_ = size;
        } else {
            countTail(std::string_view(bytes_ + end_ + 1, size - end_ - 1));
        }
        // Every line, the last one too, ends in a CR that the stored forms end at.
        bytes_[end_] = '\r';
        if (begin_ < end_) {
            size_t start = lineStart();
            if (start < end_) {
                line(start, end_);
            }
        }
        items_.flush();
        tree_.finish();
        if (!options_.keepFileImage) {
            // A byte after the kept ones, which a look at an empty last form's two marks reads.
            bytes_[kept_] = '\r';
        }
    }

    // Moves the bytes read but not taken yet, [begin_, filled), down after the kept ones and
    // returns where the next bytes read go. Only while no 0x1A has ended the text.
    size_t compact(size_t filled) {
        size_t waiting = filled - begin_;
        if (!options_.keepFileImage && kept_ < begin_) {
            std::memmove(bytes_ + kept_, bytes_ + begin_, waiting);
            begin_ = kept_;
        }
        scanned_ = begin_ + waiting;
        return scanned_;
    }

    // The bytes of the block the Document uses, the one after them included.
    size_t usedSize(size_t size) const { return options_.keepFileImage ? size + 1 : kept_ + 1; }

    // Counts bytes after a 0x1A that the block does not hold.
    void countTail(std::string_view bytes) { tail_.feed(bytes); }

    GeometryRead geometry;
    size_t unreadLines() const { return unreadItems_ + tail_.lines(); }

private:
    static constexpr size_t kOpen = ~size_t{0};

    // An LF directly after a CR belongs to the line end.
    size_t lineStart() const { return begin_ + (afterCr_ && bytes_[begin_] == '\n' ? 1 : 0); }

    // Moves [from, to) down to the end of the kept bytes and returns where it now starts.
    // Nothing kept is longer than its line, so the move never reaches bytes not read yet.
    size_t keep(size_t from, size_t to) {
        if (options_.keepFileImage) {
            return from;
        }
        size_t at = kept_;
        if (at != from) {
            std::memmove(bytes_ + at, bytes_ + from, to - from);
        }
        kept_ += to - from;
        return at;
    }

    // The line at [begin, end); bytes_[end] is a CR.
    void line(size_t begin, size_t end) {
        const auto [kind, tabs, p] = ReadLineHead(bytes_ + begin);
        if (kind == LineKind::Geometry) {
            if (options_.applyGeometry) {
                ReadGeometryLine(std::string_view(p + 1, end - begin - 1), geometry);
            }
            return;
        }
        if (kind == LineKind::Item) {
            if (current_) {
                // The stored form with the CR that ends it.
                size_t at = keep(begin + tabs + 1, end + 1);
                items_.add(current_, TextStore::Offset(base_, at));
            } else {
                ++unreadItems_;  // an Item without a Topic to hold it
            }
            return;
        }
        Topic* parent = nullptr;
        if (tabs > 0) {
            TopicStep step = StepAfter(depth_, tabs);
            if (step.below) {
                parent = current_;
            } else {
                for (size_t up = step.up; up > 0 && current_ && current_->parent(); --up) {
                    current_ = current_->parent();
                }
                parent = current_ ? current_->parent() : nullptr;
            }
        }
        std::string_view rest(p, end - begin - tabs);
        int icon = ResolveIcon(0, rest, options_.imageCount);
        std::string_view caption = StripIconSuffix(rest);
        size_t from = static_cast<size_t>(caption.data() - bytes_);
        size_t at = keep(from, from + caption.size());
        current_ = &tree_.add(parent, std::string_view(bytes_ + at, caption.size()), icon);
        if (tabs > 0 && !current_->parent() && !IsFileSafeCaption(current_->caption)) {
            // A line with TABs that lands on the top level (the first Topic line, or one that
            // climbs too far) keeps only what a top-level line can carry.
            current_->setCaption(FileSafeCaption(current_->caption));
        }
        depth_ = tabs;
    }

    const ReadOptions& options_;
    char* bytes_;
    TextRef base_;
    TreeBuilder tree_;
    ItemBatch items_;
    Topic* current_ = nullptr;
    size_t depth_ = 0;
    size_t unreadItems_ = 0;
    UnreadLineCounter tail_;
    size_t scanned_ = 0;
    size_t begin_ = 0;      // where the next line begins (before an LF that ends the last one)
    bool afterCr_ = false;  // begin_ follows the CR that ended a line
    size_t kept_ = 0;       // the end of the bytes kept, all before begin_
    size_t end_ = kOpen;    // where a 0x1A ended the text
};

void CheckTextKind(std::string_view start, std::string_view name, ReadResult& result) {
    result.utf8 = CheckTextStart(start, name) == TextKind::Utf8;
}

void Finish(Reader& reader, size_t size, ReadResult& result) {
    reader.finish(size);
    result.geometry = reader.geometry;
    result.unreadLines = reader.unreadLines();
}

// Gives back the part of the block the Document does not use.
void TrimBlock(const Reader& reader, TextRef base, size_t size, ReadResult& result) {
    result.document->texts().trim(base, reader.usedSize(size));
}

// Reads the first size bytes of block, which has room for one byte more.
ReadResult ParseBlock(ByteBlock block, size_t size, const ReadOptions& options,
                      std::string_view name) {
    char* bytes = block.data();
    ReadResult result;
    CheckTextKind(std::string_view(bytes, size), name, result);
    result.document = std::make_unique<Document>();
    if (!HoldsCr(bytes, size)) {
        EndLinesAtLineFeeds(bytes, size);
    }
    TextRef base = result.document->texts().adopt(std::move(block), size + 1);
    Reader reader(*result.document, bytes, base, options);
    reader.feed(size);
    Finish(reader, size, result);
    TrimBlock(reader, base, size, result);
    return result;
}

// Reads from fd into bytes[filled, limit) until that is full or the file ends, adding what it
// read to hash before anything changes it; returns the new filled.
size_t ReadUpTo(int fd, char* bytes, size_t filled, size_t limit, const std::string& path,
                ContentHash& hash) {
    size_t read = ReadFully(fd, bytes + filled, limit - filled, path);
    hash.add(std::string_view(bytes + filled, read));
    return filled + read;
}

// Reads a regular file of the given size piece by piece into a block of the Document,
// reading each piece's lines while they are in the cache. Empty when the file grew while it
// was read: the caller reads it again whole.
std::optional<ReadResult> ReadInPieces(int fd, size_t size, const std::string& path,
                                       const ReadOptions& options, ContentHash& hash) {
    constexpr size_t kPiece = 256 << 10;
    static_assert(kPiece >= kTextKindSample);
    // Room for the closing CR, and for one byte more than expected to see a file that grew.
    ByteBlock block(size + 2);
    char* bytes = block.data();
    size_t filled = ReadUpTo(fd, bytes, 0, std::min(kPiece, size + 1), path, hash);
    if (filled > size) {
        return std::nullopt;
    }
    // The start says what the file is before anything is built for it.
    ReadResult result;
    CheckTextKind(std::string_view(bytes, filled), path, result);
    result.document = std::make_unique<Document>();
    if (!HoldsCr(bytes, filled)) {
        // Whether LF ends the lines depends on every byte: read them all first.
        filled = ReadUpTo(fd, bytes, filled, size + 1, path, hash);
        if (filled > size) {
            return std::nullopt;
        }
        if (!HoldsCr(bytes, filled)) {
            EndLinesAtLineFeeds(bytes, filled);
        }
    }
    TextRef base = result.document->texts().adopt(std::move(block), size + 1);
    Reader reader(*result.document, bytes, base, options);
    bool open = reader.feed(filled);
    // Each piece goes right after what the Document keeps of the pieces before, so the bytes
    // of the file read so far (`done`, at most size + 1) and the block's bytes in use
    // (`filled`) part ways.
    size_t done = filled;
    while (open) {
        filled = reader.compact(filled);
        size_t before = filled;
        filled =
            ReadUpTo(fd, bytes, filled, filled + std::min(kPiece, size + 1 - done), path, hash);
        done += filled - before;
        if (done > size) {
            return std::nullopt;
        }
        if (filled == before) {
            break;
        }
        open = reader.feed(filled);
    }
    reader.finish(filled);
    if (!open) {
        // A 0x1A ended the text: the rest is only counted, a small piece at a time, so that
        // the block's pages for it are never touched.
        char chunk[1 << 16];
        while (done < size) {
            size_t n = ReadUpTo(fd, chunk, 0, std::min(sizeof chunk, size - done), path, hash);
            if (n == 0) {
                break;
            }
            reader.countTail(std::string_view(chunk, n));
            done += n;
        }
    }
    result.geometry = reader.geometry;
    result.unreadLines = reader.unreadLines();
    TrimBlock(reader, base, size, result);
    return result;
}

// The bytes of a file that CheckTextStart looks at, read without moving the file's offset;
// nothing when they cannot be read.
std::optional<std::string> ReadStart(int fd) {
    std::string start(kTextKindSample, '\0');
    size_t filled = 0;
    while (filled < start.size()) {
        ssize_t n =
            ::pread(fd, start.data() + filled, start.size() - filled, static_cast<off_t>(filled));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        filled += static_cast<size_t>(n);
    }
    start.resize(filled);
    return start;
}

[[noreturn]] void TooLarge(const std::string& path) {
    throw Error(TooLargeText(path));
}

}  // namespace

std::vector<std::string> ReadWarnings(const ReadResult& read) {
    return ReadWarningTexts(read.utf8, read.unreadLines);
}

ReadResult ParseDocument(std::string_view bytes, const ReadOptions& options,
                         std::string_view name) {
    ByteBlock block(bytes.size() + 1);
    if (!bytes.empty()) {
        std::memcpy(block.data(), bytes.data(), bytes.size());
    }
    return ParseBlock(std::move(block), bytes.size(), options, name);
}

std::optional<TextKind> PeekTextKind(const std::string& path) {
    OpenedFile opened = OpenRegularFile(path);
    if (opened.fd < 0) {
        return std::nullopt;
    }
    std::optional<std::string> start = ReadStart(opened.fd);
    ::close(opened.fd);
    if (!start) {
        return std::nullopt;
    }
    return CheckTextStart(*start, path);
}

ReadResult ReadDocument(const std::string& path, const ReadOptions& options) {
    // One descriptor, checked to be a regular file, for the whole read.
    ReadableFile file(path);
    if (file.size() >= TextStore::kMaxBytes) {
        TooLarge(path);
    }
    // The metadata of the open: a change while the file is read makes it out of date, so the
    // next look at the file reads its bytes again.
    FileIdentity identity;
    identity.device = static_cast<uint64_t>(file.opened().device);
    identity.inode = static_cast<uint64_t>(file.opened().inode);
    identity.modifiedNs = file.opened().modifiedNs;
    // What the file is, from its start, before a block of its size is made for it. A start
    // that cannot be read is reported by the read below.
    if (std::optional<std::string> start = ReadStart(file.fd())) {
        CheckTextStart(*start, path);
    }
    if (file.size() > 0) {
        auto size = static_cast<size_t>(file.size());
        ContentHash hash;
        if (std::optional<ReadResult> read = ReadInPieces(file.fd(), size, path, options, hash)) {
            identity.size = hash.size();
            identity.hash = hash.value();
            read->identity = identity;
            return std::move(*read);
        }
        // It grew while it was read: read it again from the start, whole.
        if (::lseek(file.fd(), 0, SEEK_SET) != 0) {
            throw Error(ReadErrorText(path, errno));
        }
    }
    // Also a file whose size says nothing (those of the system under /proc).
    FileBlock whole = ReadFileBlock(file, 1);
    if (whole.size >= TextStore::kMaxBytes) {
        TooLarge(path);
    }
    identity.size = whole.size;
    identity.hash = HashBytes(std::string_view(whole.block.data(), whole.size));
    ReadResult read = ParseBlock(std::move(whole.block), whole.size, options, path);
    read.identity = identity;
    return read;
}

}  // namespace brenvale

#include "document/document_counts.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include "common/error.h"
#include "common/readable_file.h"
#include "document/item.h"
#include "document/line_rules.h"
#include "document/line_scan.h"
#include "document/text_store.h"

namespace brenvale {

void DocumentCounter::OpenLine::add(const char* p, size_t size) {
    if (size == 0) {
        return;
    }
    open = true;
    size_t i = 0;
    if (!pastTabs) {
        while (i < size && p[i] == '\t') {
            ++i;
        }
        tabs += i;
        pastTabs = i < size;
    }
    for (; i < size && kept < kKept; ++i) {
        after[kept++] = p[i];
    }
}

void DocumentCounter::line(size_t tabs, const char* rest, const char* end) {
    switch (KindAfterTabs(rest, tabs)) {
        case LineKind::Geometry:
            return;
        case LineKind::Item: {
            if (counts_.topics == 0) {
                ++unreadItems_;  // an Item without a Topic to hold it
                return;
            }
            ++counts_.items;
            ItemView item(rest + 1, end);
            counts_.unchecked += !item.checked() && item.kind(list_) == ItemKind::Ordinary;
            return;
        }
        case LineKind::Topic:
            break;
    }
    if (counts_.topics == 0) {
        level_ = 0;  // the first Topic is on the top level, whatever its TABs
    } else {
        TopicStep step = StepAfter(lastTabs_, tabs);
        level_ = step.below ? level_ + 1 : level_ - std::min(level_, step.up);
    }
    lastTabs_ = tabs;
    ++counts_.topics;
    counts_.depth = std::max(counts_.depth, level_);
}

void DocumentCounter::closeOpenLine() {
    line(open_.tabs, open_.after, open_.after + sizeof open_.after);
    open_ = OpenLine();
}

void DocumentCounter::feed(char* p, size_t size) {
    if (size == 0) {
        return;
    }
    if (ended_) {
        tail_.feed(std::string_view(p, size));
        return;
    }
    size_t start = 0;  // where the line still open begins in this piece
    if (afterCr_) {
        afterCr_ = false;
        start = p[0] == '\n' ? 1 : 0;  // the LF of the last piece's CR
    }
    const size_t from = start;
    ForEachByteOf(p + from, size - from, '\r', kEndOfFile, [&](size_t at) {
        at += from;
        const bool endOfText = p[at] == kEndOfFile;
        if (open_.open) {
            open_.add(p + start, at - start);
            closeOpenLine();
        } else if (!endOfText || start < at) {
            p[at] = '\r';  // a line cut by a 0x1A ends there too
            LineHead head = ReadLineHead(p + start);
            line(head.tabs, head.rest, p + at);
        }
        if (endOfText) {
            ended_ = true;
            tail_.feed(std::string_view(p + at + 1, size - at - 1));
            return false;
        }
        start = at + 1;
        if (start == size) {
            afterCr_ = true;
        } else if (p[start] == '\n') {
            ++start;  // an LF directly after a CR belongs to the line end
        }
        return true;
    });
    if (!ended_) {
        open_.add(p + start, size - start);
    }
}

DocumentCounts DocumentCounter::finish() {
    if (!ended_ && open_.open) {
        closeOpenLine();
    }
    DocumentCounts counts = counts_;
    counts.unreadLines = unreadItems_ + tail_.lines();
    return counts;
}

namespace {

// Counts the file from the piece in bytes[0, filled) on. Whether LF ends the lines depends on
// every byte of the file: a pass with LF line ends gives up (empty) at the first CR.
std::optional<DocumentCounts> CountPass(int fd, char* bytes, size_t filled, size_t piece,
                                        bool crEndsLines, const std::string& path,
                                        const ListKindOptions& list) {
    DocumentCounter counter(list);
    uint64_t total = filled;
    for (;;) {
        if (!crEndsLines) {
            if (HoldsCr(bytes, filled)) {
                return std::nullopt;
            }
            EndLinesAtLineFeeds(bytes, filled);
        }
        counter.feed(bytes, filled);
        if (filled < piece) {
            break;  // the file ended within this piece
        }
        filled = ReadFully(fd, bytes, piece, path);
        total += filled;
        if (total >= TextStore::kMaxBytes) {
            throw Error(TooLargeText(path));
        }
    }
    return counter.finish();
}

}  // namespace

DocumentCounts CountDocument(const std::string& path, const ListKindOptions& list, size_t piece) {
    // One descriptor, checked to be a regular file, for the whole count.
    ReadableFile file(path);
    if (file.size() >= TextStore::kMaxBytes) {
        throw Error(TooLargeText(path));
    }
    // The start is judged as the reader judges it, whatever the size of the pieces.
    std::string start(kTextKindSample, '\0');
    start.resize(ReadFully(file.fd(), start.data(), start.size(), path));
    const bool utf8 = CheckTextStart(start, path) == TextKind::Utf8;
    if (::lseek(file.fd(), 0, SEEK_SET) != 0) {
        throw Error(ReadErrorText(path, errno));
    }
    piece = std::max<size_t>(piece, 1);
    auto bytes = std::make_unique_for_overwrite<char[]>(piece);
    size_t filled = ReadFully(file.fd(), bytes.get(), piece, path);
    std::optional<DocumentCounts> counts =
        CountPass(file.fd(), bytes.get(), filled, piece, HoldsCr(bytes.get(), filled), path, list);
    if (!counts) {
        // A CR after the first piece: every line ends at CR after all. Count again.
        if (::lseek(file.fd(), 0, SEEK_SET) != 0) {
            throw Error(ReadErrorText(path, errno));
        }
        filled = ReadFully(file.fd(), bytes.get(), piece, path);
        counts = CountPass(file.fd(), bytes.get(), filled, piece, true, path, list);
    }
    counts->utf8 = utf8;
    return *counts;
}

DocumentCounts CountDocumentBytes(std::string_view bytes, const ListKindOptions& list,
                                  size_t piece) {
    const bool utf8 = CheckTextStart(bytes, {}) == TextKind::Utf8;
    const bool crEndsLines = HoldsCr(bytes.data(), bytes.size());
    piece = std::max<size_t>(piece, 1);
    std::string copy;
    DocumentCounter counter(list);
    for (size_t at = 0; at < bytes.size(); at += piece) {
        copy.assign(bytes.substr(at, piece));
        if (!crEndsLines) {
            EndLinesAtLineFeeds(copy.data(), copy.size());
        }
        counter.feed(copy.data(), copy.size());
    }
    DocumentCounts counts = counter.finish();
    counts.utf8 = utf8;
    return counts;
}

}  // namespace brenvale

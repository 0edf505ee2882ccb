#include "exchange/markdown_import.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "common/byte_block.h"
#include "exchange/markdown_reader.h"

namespace brenvale {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// The file is read this much at a time (less for a smaller one); a longer line takes a larger
// buffer.
constexpr size_t kPiece = 1 << 20;
constexpr size_t kSmallestPiece = 4 << 10;

}  // namespace

void ReadMarkdown(ImportSource& source, OutlineImport& outline) {
    outline.reserve(source.size());
    outline.nameSource(source.name());
    MarkdownReader reader(outline);
    ByteBlock buffer(
        static_cast<size_t>(std::clamp<uint64_t>(source.size() + 1, kSmallestPiece, kPiece)));
    size_t kept = 0;  // the start of a line not ended yet, moved to the buffer's start
    bool first = true;
    bool skipLf = false;  // the last piece ended in a CR, which an LF may complete
    uint32_t number = 0;
    for (;;) {
        if (kept == buffer.size()) {
            ByteBlock bigger(2 * buffer.size());
            std::memcpy(bigger.data(), buffer.data(), kept);
            buffer = std::move(bigger);
        }
        size_t read = source.read(buffer.data() + kept, buffer.size() - kept);
        bool end = read == 0;
        std::string_view bytes(buffer.data(), kept + read);
        size_t start = 0;
        if (first) {
            if (!end && kByteOrderMark.starts_with(bytes)) {
                kept = bytes.size();  // too short yet to tell
                continue;
            }
            first = false;
            if (bytes.starts_with(kByteOrderMark)) {
                start = kByteOrderMark.size();
            }
        }
        if (skipLf && read > 0) {
            skipLf = false;
            start += bytes[start] == '\n' ? 1 : 0;
        }
        // The next LF and CR at or after start, each searched for once over the piece.
        size_t nextLf = SIZE_MAX;
        size_t nextCr = SIZE_MAX;
        auto find = [&](size_t& next, char c) {
            if (next == SIZE_MAX || next < start) {
                const void* at = std::memchr(bytes.data() + start, c, bytes.size() - start);
                next = at ? static_cast<size_t>(static_cast<const char*>(at) - bytes.data())
                          : bytes.size();
            }
            return next;
        };
        for (;;) {
            size_t stop = std::min(find(nextLf, '\n'), find(nextCr, '\r'));
            if (stop == bytes.size()) {
                if (end && stop > start) {
                    reader.line(bytes.substr(start, stop - start), ++number);
                    start = stop;
                }
                break;
            }
            reader.line(bytes.substr(start, stop - start), ++number);
            start = stop + 1;
            if (bytes[stop] == '\r') {
                if (start < bytes.size()) {
                    start += bytes[start] == '\n' ? 1 : 0;
                } else {
                    skipLf = true;
                }
            }
        }
        if (end) {
            break;
        }
        kept = bytes.size() - start;
        std::memmove(buffer.data(), buffer.data() + start, kept);
    }
    reader.finish();
}

void ReadMarkdown(std::string_view bytes, OutlineImport& outline) {
    ImportSource source(bytes, "");
    ReadMarkdown(source, outline);
}

}  // namespace brenvale

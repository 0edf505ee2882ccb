#include "exchange/outline_import.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>

#include "common/check_mark.h"
#include "common/error.h"
#include "document/item_batch.h"
#include "document/model.h"
#include "document/safe_text.h"
#include "document/storage.h"
#include "document/text_store.h"
#include "document/tree_builder.h"

namespace brenvale {

namespace {

// A document file this large is refused when it is opened.
constexpr uint64_t kDocumentLimit = TextStore::kMaxBytes;
// The bytes of the file's first lines (the window's place and size), at most.
constexpr uint64_t kHeaderBytes = 256;
// The bytes of a Topic's line besides its TABs and caption (the icon, CR LF), and of an
// Item's line besides its TABs and stored form (0x08, CR LF).
constexpr uint64_t kTopicLineBytes = 4 + 2;
constexpr uint64_t kItemLineBytes = 1 + 2;

constexpr size_t kSmallestChunk = 4 << 10;
constexpr size_t kLargestChunk = 8 << 20;
constexpr size_t kMostTextsReserved = 16 << 20;

// Lets the system back the whole huge pages of a long list with huge pages, so that filling
// it costs a page fault per 2 MB rather than per 4 KB. Only a hint: nothing changes when the
// system declines.
void AdviseHugePages(void* data, size_t bytes) {
    constexpr uintptr_t kHuge = 2 << 20;
    auto begin = (reinterpret_cast<uintptr_t>(data) + kHuge - 1) / kHuge * kHuge;
    uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) / kHuge * kHuge;
    if (end > begin) {
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    }
}

bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

}  // namespace

OutlineImport::OutlineImport(std::string fallbackCaption, std::string sourceName)
    : fallbackCaption_(std::move(fallbackCaption)), sourceName_(std::move(sourceName)) {}

void OutlineImport::reserve(size_t bytes) {
    chunkSize_ = std::clamp(bytes / 4, kSmallestChunk, kLargestChunk);
    // Room for a text per 32 bytes of input, more than any usual file needs: a list that
    // grows is copied whole each time it doubles, and every copy touches new pages. Room
    // never written to takes no memory, but counts against a limit on the address space:
    // a file of more than 512 MB grows its lists as they fill.
    size_t texts = std::min(bytes / 32, kMostTextsReserved);
    order_.reserve(texts);
    owners_.reserve(texts);
    AdviseHugePages(order_.data(), order_.capacity() * sizeof(uint32_t));
    AdviseHugePages(owners_.data(), owners_.capacity() * sizeof(uint32_t));
}

void OutlineImport::grow(uint64_t bytes) {
    documentBytes_ += bytes;
    if (documentBytes_ + kHeaderBytes >= kDocumentLimit) {
        throw Error(TooLargeImportText(sourceName_, deepest_, kDocumentLimit));
    }
}

char* OutlineImport::room(size_t bytes) {
    if (!chunks_.empty() && chunks_.back().block.size() - chunks_.back().used >= bytes) {
        return chunks_.back().block.data() + chunks_.back().used;
    }
    // The text begun last moves to the new block whole, mark and all: a text never spans two.
    size_t entryStart = chunks_.empty() ? 0 : open_ ? entryStart_ : chunks_.back().used;
    size_t carried = chunks_.empty() ? 0 : chunks_.back().used - entryStart;
    Chunk chunk;
    chunk.block = ByteBlock(std::max(chunkSize_, 2 * (carried + bytes)));
    if (carried > 0) {
        std::memcpy(chunk.block.data(), chunks_.back().block.data() + entryStart, carried);
    }
    chunk.used = carried;
    if (!chunks_.empty()) {
        chunks_.back().used = entryStart;
        if (entryStart == 0) {
            chunks_.pop_back();
        }
    }
    if (open_) {
        textStart_ -= entryStart;
        counted_.offset -= entryStart;
        entryStart_ = 0;
    }
    chunks_.push_back(std::move(chunk));
    return chunks_.back().block.data() + chunks_.back().used;
}

void OutlineImport::endText() {
    if (open_) {
        *room(1) = '\r';
        ++chunks_.back().used;
        open_ = false;
    }
}

void OutlineImport::begin(uint32_t entry, SourcePlace where, uint64_t lineBytes) {
    endText();
    order_.push_back(entry);
    grow(lineBytes);
    room(0);
    open_ = true;
    exact_ = false;
    entryStart_ = chunks_.back().used;
    textStart_ = entryStart_;
    counted_ = {textStart_, where};
    textBadPlaces_ = bad_.size();
    textBadCount_ = badCount_;
}

size_t OutlineImport::topic(size_t level, int icon, SourcePlace where) {
    size_t limit = topics_.empty() ? 0 : topics_.back().level + 1;
    level = std::min(level, limit);
    deepest_ = std::max(deepest_, level + 1);
    size_t index = topics_.size();
    topics_.push_back({static_cast<uint32_t>(level), icon});
    begin(static_cast<uint32_t>(index), where, level + kTopicLineBytes);
    return index;
}

void OutlineImport::item(size_t owner, bool checked, SourcePlace where) {
    if (owner == kNoTopic) {
        if (fallback_ == kNoTopic) {
            fallback_ = topic(0, 0, where);
            exactText(fallbackCaption_);
        }
        owner = fallback_;
    }
    auto index = static_cast<uint32_t>(owners_.size());
    owners_.push_back(static_cast<uint32_t>(owner));
    begin(index | kItemBit, where, levelOf(owner) + kItemLineBytes);
    std::string_view mark = CheckMarkText(checked);
    std::memcpy(room(mark.size()), mark.data(), mark.size());
    chunks_.back().used += mark.size();
    grow(mark.size());
    textStart_ = chunks_.back().used;
    counted_ = {textStart_, where};
}

void OutlineImport::text(std::string_view utf8) {
    if (exact_ || !open_ || utf8.empty()) {
        return;
    }
    found_.clear();
    size_t limit = kNamedCharacters - std::min(kNamedCharacters, bad_.size());
    size_t count = 0;
    size_t written = 0;
    // Room for the UTF-8's own size holds the text unless references take more; what is left
    // then goes into room for its longest form. The part written moves along with the text
    // when a new block is needed.
    std::string_view rest = utf8;
    for (bool first = true; !rest.empty(); first = false) {
        size_t want = first ? rest.size() : Cp932RoomFor(rest.size());
        char* out = room(want);
        size_t before = found_.size();
        size_t n = 0;
        size_t taken = 0;
        size_t size = ConvertUtf8ToCp932(rest, out, want, &found_, limit - std::min(limit, before),
                                         &n, &taken);
        for (size_t i = before; i < found_.size(); ++i) {
            found_[i].offset += utf8.size() - rest.size();
        }
        chunks_.back().used += size;
        written += size;
        count += n;
        rest.remove_prefix(taken);
    }
    char* converted = chunks_.back().block.data() + chunks_.back().used - written;
    // A CR ends a text in the blocks, so one inside a text is kept as a line break. CR is
    // never the second byte of a double-byte code.
    if (std::memchr(utf8.data(), '\r', utf8.size())) {
        std::replace(converted, converted + written, '\r', '\n');
    }
    if (count > 0) {
        badCount_ += count;
        if (!found_.empty()) {
            noteUnconvertible(utf8, found_, chunks_.back().used - written);
            counted_.offset = chunks_.back().used;
        }
    }
    grow(written);
}

SourcePlace OutlineImport::countedToHere(size_t end) {
    // The characters converted since the last count: each CP932 character, and each
    // reference, stands for one of the file's.
    std::string_view bytes(chunks_.back().block.data(), end);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    SourcePlace place = counted_.where;
    for (size_t i = counted_.offset; i < end; ++i) {
        if (p[i] == '\n') {
            ++place.line;
            place.column = 1;
            continue;
        }
        if (size_t n = p[i] == '&' ? ReferenceAt(bytes, i) : 0) {
            i += n - 1;
        } else {
            i += IsLeadByte(p[i]) ? 1 : 0;
        }
        ++place.column;
    }
    return place;
}

void OutlineImport::noteUnconvertible(std::string_view utf8, const std::vector<Unconvertible>& bad,
                                      size_t textEnd) {
    // Characters counted from the text's start; a line break in the text starts a line.
    SourcePlace place = countedToHere(textEnd);
    size_t next = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (next < bad.size() && bad[next].offset == i) {
            const Unconvertible& u = bad[next++];
            bad_.push_back({std::string(utf8.substr(u.offset, u.length)), place});
        }
        auto b = static_cast<unsigned char>(utf8[i]);
        if (b == '\n' || b == '\r') {
            ++place.line;
            place.column = 1;
        } else if ((b & 0xC0) != 0x80) {
            ++place.column;
        }
    }
    counted_.where = place;
}

void OutlineImport::exactText(std::string cp932) {
    if (!open_) {
        return;
    }
    chunks_.back().used = textStart_;
    bad_.resize(textBadPlaces_);
    badCount_ = textBadCount_;
    exact_ = true;
    grow(cp932.size());
    exactTexts_[order_.back()] = std::move(cp932);
}

void OutlineImport::exactMark(std::string bytes) {
    if (open_ && (order_.back() & kItemBit)) {
        exactMarks_[order_.back() & ~kItemBit] = std::move(bytes);
    }
}

void OutlineImport::check(std::string_view sourceName) const {
    if (badCount_ > 0) {
        throw Error(UnconvertibleText(sourceName, bad_, badCount_));
    }
}

ImportedTopics OutlineImport::build(Document& doc, int imageCount, std::string_view sourceName) {
    ImportedTopics result;
    if (order_.empty()) {
        return result;
    }
    check(sourceName);
    endText();

    // The blocks go to the Document as they are; the texts are used where they lie.
    TextStore& texts = doc.texts();
    size_t total = 0;
    for (const Chunk& chunk : chunks_) {
        total += chunk.used + (64 << 10);
    }
    if (!texts.hasRoomFor(total)) {
        throw Error("文書が大きすぎて、これ以上の文字を入れられません。");
    }
    struct Adopted {
        const char* bytes;
        size_t used;
        TextRef base;
    };
    std::vector<Adopted> adopted;
    for (Chunk& chunk : chunks_) {
        if (chunk.used > 0) {
            const char* bytes = chunk.block.data();
            adopted.push_back({bytes, chunk.used, texts.adopt(std::move(chunk.block), chunk.used)});
        }
    }
    chunks_.clear();

    // The texts in order, each up to its CR.
    size_t block = 0;
    size_t at = 0;
    auto next = [&](TextRef* ref) {
        while (at == adopted[block].used) {
            ++block;
            at = 0;
        }
        const Adopted& a = adopted[block];
        const char* start = a.bytes + at;
        const auto* end = static_cast<const char*>(std::memchr(start, '\r', a.used - at));
        *ref = TextStore::Offset(a.base, at);
        at = static_cast<size_t>(end - a.bytes) + 1;
        return std::string_view(start, static_cast<size_t>(end - start));
    };

    std::vector<Topic*> made(topics_.size(), nullptr);
    std::vector<Topic*> path;  // the last Topic made at each level
    {
        TreeBuilder tree(doc);
        ItemBatch batch(doc.storage().arena);
        for (uint32_t entry : order_) {
            TextRef ref;
            std::string_view stored = next(&ref);
            if (!(entry & kItemBit)) {
                const TopicEntry& e = topics_[entry];
                auto exact = exactTexts_.find(entry);
                std::string_view caption =
                    exact != exactTexts_.end() ? texts.keep(exact->second) : stored;
                if (!IsFileSafeCaption(caption, static_cast<int>(e.level))) {
                    caption = texts.keep(FileSafeCaption(caption, static_cast<int>(e.level)));
                }
                int icon = e.icon < 0 || e.icon > imageCount - 1 ? kIconMissing : e.icon;
                path.resize(e.level);
                Topic& t = tree.add(e.level == 0 ? nullptr : path.back(), caption,
                                    icon == 1 ? kIconFolder : icon);
                t.expanded = true;
                path.push_back(&t);
                made[entry] = &t;
                if (e.level == 0) {
                    result.topLevel.push_back(&t);
                }
                continue;
            }
            uint32_t index = entry & ~kItemBit;
            auto exactText = exactTexts_.find(entry);
            auto exactMark = exactMarks_.find(index);
            if (exactText != exactTexts_.end() || exactMark != exactMarks_.end()) {
                std::string mark = exactMark != exactMarks_.end() ? exactMark->second
                                                                  : std::string(StoredMark(stored));
                std::string text = exactText != exactTexts_.end() ? exactText->second
                                                                  : std::string(StoredText(stored));
                ref = texts.add(FileSafeStored(mark + text));
            } else if (!IsFileSafeStored(stored)) {
                ref = texts.add(FileSafeStored(stored));
            }
            batch.add(made[owners_[index]], ref);
        }
        batch.flush();
        tree.finish();
    }
    result.topics = topics_.size();
    result.items = owners_.size();
    return result;
}

}  // namespace brenvale

#include "document/text_store.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "common/error.h"
#include "document/item.h"

namespace brenvale {

namespace {

constexpr size_t kMaxSlots = TextStore::kMaxBytes >> TextStore::kSlotBits;

}  // namespace

bool TextStore::hasRoomFor(size_t size) const {
    size_t slots = size / kSlotSize + 1;
    return slots_.size() + slots <= kMaxSlots;
}

TextRef TextStore::adopt(ByteBlock block, size_t size) {
    assert(size <= block.size());
    if (!hasRoomFor(size)) {
        throw Error("文書が大きすぎて、これ以上の文字を入れられません。");
    }
    auto first = static_cast<uint32_t>(slots_.size() << kSlotBits);
    const char* base = block.data();
    for (size_t offset = 0; offset == 0 || offset < size; offset += kSlotSize) {
        slots_.push_back({base + offset, base + size});
    }
    held_ += block.size();
    blocks_.push_back(std::move(block));
    return TextRef(first);
}

void TextStore::trim(TextRef base, size_t size) {
    const char* first = at(base);
    for (auto block = blocks_.rbegin(); block != blocks_.rend(); ++block) {
        if (block->data() != first) {
            continue;
        }
        size_t before = block->size();
        if (size >= before) {
            return;
        }
        // The slots over the block end where it now ends, so no search for a CR runs into the
        // bytes given back.
        const char* end = first + size;
        for (size_t i = static_cast<uint32_t>(base) >> kSlotBits;
             i < slots_.size() && slots_[i].base >= first && slots_[i].base < first + before; ++i) {
            slots_[i].end = std::min(slots_[i].end, std::max(slots_[i].base, end));
        }
        block->shrink(size);
        held_ -= before - block->size();
        return;
    }
}

std::string_view TextStore::stored(TextRef ref) const {
    return ItemView(at(ref), limit(ref)).stored();
}

char* TextStore::room(size_t n) {
    if (next_ && n <= static_cast<size_t>(end_ - next_)) {
        return next_;
    }
    if (n > kSlotSize / 2) {
        // A long text gets a block of its own, which the caller fills completely.
        ByteBlock block(n);
        char* p = block.data();
        TextRef ref = adopt(std::move(block), n);
        next_ = p;
        end_ = p + n;
        nextRef_ = ref;
        return p;
    }
    ByteBlock chunk(chunkSize_);
    char* p = chunk.data();
    nextRef_ = adopt(std::move(chunk), chunkSize_);
    next_ = p;
    end_ = p + chunkSize_;
    if (chunkSize_ < kSlotSize) {
        chunkSize_ *= 2;
    }
    return p;
}

TextRef TextStore::add(std::string_view mark, std::string_view text) {
    size_t n = mark.size() + text.size() + 1;
    char* p = room(n);
    TextRef ref = nextRef_;
    if (!mark.empty()) {
        std::memcpy(p, mark.data(), mark.size());
    }
    if (!text.empty()) {
        std::memcpy(p + mark.size(), text.data(), text.size());
    }
    p[n - 1] = '\r';
    next_ = p + n;
    nextRef_ = Offset(ref, n);
    return ref;
}

TextRef TextStore::add(std::string_view stored) {
    return add(stored, {});
}

std::string_view TextStore::keep(std::string_view text) {
    if (text.empty()) {
        return "";
    }
    char* p = room(text.size());
    std::memcpy(p, text.data(), text.size());
    next_ = p + text.size();
    nextRef_ = Offset(nextRef_, text.size());
    return std::string_view(p, text.size());
}

}  // namespace brenvale

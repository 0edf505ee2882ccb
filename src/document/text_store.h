#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "common/byte_block.h"

namespace brenvale {

// Where an Item's stored form (mark, then text) lies in its Document's TextStore: four bytes
// per Item, so a list of a million Items costs 4 MB beside the texts themselves.
enum class TextRef : uint32_t {};

// The bytes of one Document's Items: the blocks read from a file or pasted, used where they
// lie, and an arena for the stored forms made or changed since. Nothing here is changed or
// freed once written, so a TextRef stays valid as long as the store lives, whatever happens
// to the Item it was taken from; everything goes at once with the store.
//
// Every stored form is followed by a CR, which no stored form holds: a block read from a
// file has one at the end of each line, the arena writes one after each form. TextRefs
// address one space of 4 GiB laid over the blocks in slots of 64 KiB.
class TextStore {
public:
    static constexpr size_t kSlotBits = 16;
    static constexpr size_t kMaxBytes = size_t{1} << 32;

    TextStore() = default;
    TextStore(const TextStore&) = delete;
    TextStore& operator=(const TextStore&) = delete;

    // Takes a block whose first `size` bytes hold stored forms each followed by a CR, and
    // returns where its first byte is addressed. Throws Error when the space is used up.
    TextRef adopt(ByteBlock block, size_t size);

    // The block adopted at base keeps only its first size bytes: the rest, which no TextRef
    // addresses, goes back to the system (see ByteBlock::shrink).
    void trim(TextRef base, size_t size);

    // Whether a block of size bytes would still fit.
    bool hasRoomFor(size_t size) const;

    // The address of the byte at offset bytes after ref (within the block ref lies in).
    static TextRef Offset(TextRef ref, size_t offset) {
        return TextRef(static_cast<uint32_t>(static_cast<size_t>(ref) + offset));
    }

    const char* at(TextRef ref) const {
        const Slot& slot = slots_[static_cast<uint32_t>(ref) >> kSlotBits];
        return slot.base + (static_cast<uint32_t>(ref) & kSlotMask);
    }
    // The end of the block ref lies in: a bound for the search of its CR.
    const char* limit(TextRef ref) const {
        return slots_[static_cast<uint32_t>(ref) >> kSlotBits].end;
    }
    std::string_view stored(TextRef ref) const;

    // Copies a stored form that holds no CR into the arena.
    TextRef add(std::string_view stored);
    // The same from its two parts.
    TextRef add(std::string_view mark, std::string_view text);
    // Copies a text (a caption) into the arena; the view stays valid as long as the store.
    std::string_view keep(std::string_view text);

    size_t bytesHeld() const { return held_; }

private:
    static constexpr uint32_t kSlotMask = (1u << kSlotBits) - 1;
    static constexpr size_t kSlotSize = size_t{1} << kSlotBits;

    struct Slot {
        const char* base;
        const char* end;
    };

    // Room for n bytes at the arena's end, in a fresh chunk when the current one is full.
    char* room(size_t n);

    std::vector<ByteBlock> blocks_;
    std::vector<Slot> slots_;
    char* next_ = nullptr;  // the arena's current chunk
    char* end_ = nullptr;
    TextRef nextRef_{};
    size_t chunkSize_ = 4096;
    size_t held_ = 0;
};

}  // namespace brenvale

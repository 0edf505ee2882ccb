#include "common/arena.h"

#include <cstdint>

namespace brenvale {

namespace {

constexpr size_t kMaxChunkSize = 1 << 20;

}  // namespace

void* Arena::allocate(size_t bytes, size_t align) {
    auto at = reinterpret_cast<uintptr_t>(next_);
    uintptr_t aligned = (at + align - 1) / align * align;
    if (next_ && aligned + bytes <= reinterpret_cast<uintptr_t>(end_)) {
        next_ = reinterpret_cast<char*>(aligned + bytes);
        return reinterpret_cast<void*>(aligned);
    }
    if (bytes + align > chunkSize_ / 4) {
        // A big piece gets a chunk of its own; the current chunk stays in use.
        chunks_.emplace_back(bytes + align);
        held_ += bytes + align;
        at = reinterpret_cast<uintptr_t>(chunks_.back().data());
        return reinterpret_cast<void*>((at + align - 1) / align * align);
    }
    chunks_.emplace_back(chunkSize_);
    held_ += chunkSize_;
    next_ = chunks_.back().data();
    end_ = next_ + chunkSize_;
    if (chunkSize_ < kMaxChunkSize) {
        chunkSize_ *= 2;
    }
    return allocate(bytes, align);
}

}  // namespace brenvale

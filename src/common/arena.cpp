#include "common/arena.h"

#include <algorithm>
#include <cstdint>
#include <new>

namespace brenvale {

namespace {

constexpr size_t kMinChunkSize = 4096;
// Chunks grow to several megabytes, which come straight from the system (see ByteBlock): a
// big document's Topics and Items then take far fewer first-touch page faults than in
// chunks of the heap.
constexpr size_t kMaxChunkSize = 8 << 20;

}  // namespace

void* Arena::allocate(size_t bytes, size_t align) {
    auto at = reinterpret_cast<uintptr_t>(next_);
    uintptr_t aligned = (at + align - 1) / align * align;
    if (next_ && aligned + bytes <= reinterpret_cast<uintptr_t>(end_)) {
        next_ = reinterpret_cast<char*>(aligned + bytes);
        return reinterpret_cast<void*>(aligned);
    }
    if (bytes + align > kMaxChunkSize / 4) {
        // A big piece gets a chunk of its own; the current chunk stays in use.
        chunks_.emplace_back(bytes + align);
        held_ += bytes + align;
        at = reinterpret_cast<uintptr_t>(chunks_.back().data());
        return reinterpret_cast<void*>((at + align - 1) / align * align);
    }
    // Pieces of up to a quarter of a chunk share chunks, so that the pools' blocks of objects
    // lie in big chunks too.
    while (bytes + align > chunkSize_ / 4) {
        chunkSize_ *= 2;
    }
    size_t size = chunkSize_;
    try {
        chunks_.emplace_back(size);
    } catch (const std::bad_alloc&) {
        // Big chunks only save page faults: when memory runs short, a chunk just big enough
        // for this piece may still be had.
        size = std::min(chunkSize_, std::max(kMinChunkSize, bytes + align));
        if (size == chunkSize_) {
            throw;
        }
        chunks_.emplace_back(size);
        chunkSize_ = size;
    }
    held_ += size;
    next_ = chunks_.back().data();
    end_ = next_ + size;
    if (chunkSize_ < kMaxChunkSize) {
        chunkSize_ *= 2;
    }
    return allocate(bytes, align);
}

}  // namespace brenvale

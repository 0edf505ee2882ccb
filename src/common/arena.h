#pragma once

#include <cstddef>
#include <new>
#include <utility>
#include <vector>

#include "common/byte_block.h"

namespace brenvale {

// Memory handed out by bumping a pointer through chunks and given back all at once when the
// arena goes: many small, long-lived pieces at the cost of one allocation per chunk.
class Arena {
public:
    Arena() = default;
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;

    void* allocate(size_t bytes, size_t align);

    template <typename T>
    T* allocateArray(size_t count) {
        return static_cast<T*>(allocate(count * sizeof(T), alignof(T)));
    }

    // Bytes taken from the system, for the benchmarks' accounts.
    size_t bytesHeld() const { return held_; }

private:
    std::vector<ByteBlock> chunks_;
    char* next_ = nullptr;
    char* end_ = nullptr;
    size_t chunkSize_ = 4096;
    size_t held_ = 0;
};

// Objects of one type carved out of an arena. A destroyed object's slot is reused by the
// next make(); objects still alive when the arena goes are not destroyed, so their owner
// destroys those that hold anything of their own.
template <typename T>
class ObjectPool {
public:
    explicit ObjectPool(Arena& arena) : arena_(arena) {}
    ObjectPool(const ObjectPool&) = delete;
    ObjectPool& operator=(const ObjectPool&) = delete;

    template <typename... Args>
    T* make(Args&&... args) {
        Slot* slot = free_;
        if (slot) {
            free_ = slot->next;
        } else {
            if (next_ == end_) {
                next_ = arena_.allocateArray<Slot>(chunkCount_);
                end_ = next_ + chunkCount_;
                chunks_.push_back({next_, chunkCount_});
                if (chunkCount_ < kMaxChunkCount) {
                    chunkCount_ *= 2;
                }
            }
            slot = next_++;
        }
        return ::new (static_cast<void*>(slot)) T(std::forward<Args>(args)...);
    }

    void destroy(T* object) {
        object->~T();
        Slot* slot = ::new (static_cast<void*>(object)) Slot;
        slot->next = free_;
        free_ = slot;
        anyDestroyed_ = true;
    }

    // Destroys every object made, in the order they were made, when none was destroyed yet
    // (so all are alive): one pass through the chunks instead of a walk through whatever
    // links them. False, doing nothing, otherwise.
    bool destroyAllIfNoneDestroyed() {
        if (anyDestroyed_) {
            return false;
        }
        for (const auto& [chunk, size] : chunks_) {
            size_t used = chunk + size == end_ ? static_cast<size_t>(next_ - chunk) : size;
            for (size_t i = 0; i < used; ++i) {
                reinterpret_cast<T*>(&chunk[i])->~T();
            }
        }
        chunks_.clear();
        free_ = next_ = end_ = nullptr;
        return true;
    }

private:
    static constexpr size_t kMaxChunkCount = 4096;

    union Slot {
        Slot* next;
        alignas(T) unsigned char bytes[sizeof(T)];
    };

    Arena& arena_;
    std::vector<std::pair<Slot*, size_t>> chunks_;
    bool anyDestroyed_ = false;
    Slot* free_ = nullptr;
    Slot* next_ = nullptr;
    Slot* end_ = nullptr;
    size_t chunkCount_ = 16;
};

}  // namespace brenvale

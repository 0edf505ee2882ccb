#pragma once

#include <cstdint>
#include <cstring>

namespace brenvale {

// A pointer kept in eight bytes of four-byte alignment, with one flag in its top bit (never
// set in a user-space address on the systems this program runs on). Structures that a
// Document holds millions of (Topics, their lists and captions) pack their pointers so,
// beside four-byte fields, without padding.
template <typename T>
class PackedPointer {
public:
    PackedPointer() = default;
    PackedPointer(T* p, bool flag = false) { set(p, flag); }  // NOLINT: stands for T*
    PackedPointer& operator=(T* p) {
        set(p, flag());
        return *this;
    }

    T* get() const { return reinterpret_cast<T*>(bits() & ~kFlag); }
    operator T*() const { return get(); }  // NOLINT: reads like the pointer
    T* operator->() const { return get(); }
    bool flag() const { return (bits() & kFlag) != 0; }
    void set(T* p, bool flag) {
        uint64_t value = reinterpret_cast<uintptr_t>(p) | (flag ? kFlag : 0);
        std::memcpy(words_, &value, sizeof value);
    }

private:
    static_assert(sizeof(T*) == sizeof(uint64_t), "a 64-bit address space");
    static constexpr uint64_t kFlag = uint64_t{1} << 63;

    uint64_t bits() const {
        uint64_t value;
        std::memcpy(&value, words_, sizeof value);
        return value;
    }

    uint32_t words_[2] = {0, 0};
};

}  // namespace brenvale

#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "common/byte_block.h"

namespace brenvale {

// A growing array of plain values in a ByteBlock: once it reaches a few megabytes it lies on
// huge pages, so that filling it costs a few page faults instead of one per 4 KB (which is
// what an agenda of a big document spends most of its time on otherwise).
template <typename T>
class BlockArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    BlockArray() = default;
    BlockArray(BlockArray&& other) noexcept
        : block_(std::move(other.block_)), size_(std::exchange(other.size_, 0)) {}
    BlockArray& operator=(BlockArray&& other) noexcept {
        block_ = std::move(other.block_);
        size_ = std::exchange(other.size_, 0);
        return *this;
    }

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T* begin() { return data(); }
    T* end() { return data() + size_; }
    const T* begin() const { return data(); }
    const T* end() const { return data() + size_; }
    T& operator[](size_t i) { return data()[i]; }
    const T& operator[](size_t i) const { return data()[i]; }

    void reserve(size_t count) {
        if (count * sizeof(T) > block_.size()) {
            ByteBlock bigger(std::max(count * sizeof(T), kFirstBytes));
            if (size_ > 0) {
                std::memcpy(bigger.data(), block_.data(), size_ * sizeof(T));
            }
            block_ = std::move(bigger);
        }
    }
    void push_back(const T& value) {
        if ((size_ + 1) * sizeof(T) > block_.size()) {
            reserve(size_ * 2 + 1);
        }
        std::memcpy(static_cast<void*>(data() + size_), &value, sizeof(T));
        ++size_;
    }

private:
    // Never less than a block the system maps on huge pages: only what is used is touched, a
    // huge page at a time.
    static constexpr size_t kFirstBytes = size_t{4} << 20;

    T* data() const { return reinterpret_cast<T*>(block_.data()); }

    ByteBlock block_;
    size_t size_ = 0;
};

// Copies of texts that stay where they are as more come, in blocks of 4 MB (on huge pages).
class TextPool {
public:
    std::string_view keep(std::string_view text) {
        if (text.empty()) {
            return {};
        }
        if (blocks_.empty() || used_ + text.size() > blocks_.back().size()) {
            blocks_.emplace_back(text.size() > kBlock ? text.size() : kBlock);
            used_ = 0;
        }
        char* copy = blocks_.back().data() + used_;
        std::memcpy(copy, text.data(), text.size());
        used_ += text.size();
        return std::string_view(copy, text.size());
    }

private:
    static constexpr size_t kBlock = size_t{4} << 20;

    std::vector<ByteBlock> blocks_;
    size_t used_ = 0;
};

}  // namespace brenvale

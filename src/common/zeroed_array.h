#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <type_traits>
#include <utility>

namespace brenvale {

// Takes `bytes` of fresh zero pages straight from the system, none of them touched; a block of
// several MB is laid on huge pages where the system offers them, so that writing it costs a few
// page faults instead of one for every 4 KB. Throws std::bad_alloc when the system refuses.
void* MapZeroedPages(size_t bytes);
void UnmapZeroedPages(void* pages, size_t bytes);

// A fixed array of all-zero elements whose pages the system gives out only when first touched,
// where a value-initialised array writes every byte first: a table of which only a few rows
// are ever filled or read costs only those rows. Small arrays come from calloc, large ones
// (whose pages calloc may have to clear) from MapZeroedPages. T must be a type whose all-zero
// bytes make a valid value.
template <typename T>
class ZeroedArray {
public:
    static constexpr size_t kMappedBytes = size_t{256} << 10;

    ZeroedArray() = default;
    explicit ZeroedArray(size_t count) : bytes_((count == 0 ? 1 : count) * sizeof(T)) {
        static_assert(std::is_trivially_destructible_v<T>);
        if (count > SIZE_MAX / sizeof(T)) {
            throw std::bad_alloc();
        }
        data_ = static_cast<T*>(bytes_ >= kMappedBytes ? MapZeroedPages(bytes_)
                                                       : std::calloc(1, bytes_));
        if (!data_) {
            throw std::bad_alloc();
        }
    }
    ~ZeroedArray() { release(); }
    ZeroedArray(ZeroedArray&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), bytes_(std::exchange(other.bytes_, 0)) {}
    ZeroedArray& operator=(ZeroedArray&& other) noexcept {
        if (this != &other) {
            release();
            data_ = std::exchange(other.data_, nullptr);
            bytes_ = std::exchange(other.bytes_, 0);
        }
        return *this;
    }

    T& operator[](size_t i) { return data_[i]; }
    const T& operator[](size_t i) const { return data_[i]; }
    T* get() { return data_; }
    const T* get() const { return data_; }

private:
    void release() {
        if (!data_) {
            return;
        }
        if (bytes_ >= kMappedBytes) {
            UnmapZeroedPages(data_, bytes_);
        } else {
            std::free(data_);
        }
        data_ = nullptr;
    }

    T* data_ = nullptr;
    size_t bytes_ = 0;
};

}  // namespace brenvale

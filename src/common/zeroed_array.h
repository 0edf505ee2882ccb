#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>

namespace brenvale {

// A fixed array of all-zero elements whose pages the system gives out only when first touched:
// calloc takes a large block straight from fresh pages and does not write it, where a
// value-initialised array writes every byte. A table of which only a few rows are ever filled or
// read costs only those rows. T must be a type whose all-zero bytes make a valid value.
template <typename T>
class ZeroedArray {
public:
    ZeroedArray() = default;
    explicit ZeroedArray(size_t count)
        : data_(static_cast<T*>(std::calloc(count == 0 ? 1 : count, sizeof(T)))) {
        static_assert(std::is_trivially_destructible_v<T>);
        if (!data_) {
            throw std::bad_alloc();
        }
    }

    T& operator[](size_t i) { return data_.get()[i]; }
    const T& operator[](size_t i) const { return data_.get()[i]; }
    T* get() { return data_.get(); }
    const T* get() const { return data_.get(); }

private:
    struct Free {
        void operator()(T* p) const { std::free(p); }
    };
    std::unique_ptr<T, Free> data_;
};

}  // namespace brenvale

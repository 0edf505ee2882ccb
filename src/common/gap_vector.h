#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <type_traits>
#include <utility>

#include "common/packed_pointer.h"

namespace brenvale {

// A sequence with a movable gap: inserting or erasing next to the previous edit costs O(1),
// so a list edited at one place (adding after the selected row, deleting the selected row
// again and again) stays linear however long it grows. Slots in the gap hold
// default-constructed values.
//
// The storage may also be lent from outside (useExternal): a block that a bulk reader filled
// for many sequences at once. The sequence edits it in place while it fits and moves to a
// buffer of its own the first time it has to grow; lent storage is never freed here.
template <typename T>
class GapVector {
public:
    GapVector() = default;
    GapVector(GapVector&& other) noexcept { swap(other); }
    GapVector& operator=(GapVector&& other) noexcept {
        if (this != &other) {
            clear();
            swap(other);
        }
        return *this;
    }
    ~GapVector() { release(); }

    size_t size() const { return capacity_ - gapLength(); }
    bool empty() const { return size() == 0; }

    T& operator[](size_t i) { return data_.get()[physical(i)]; }
    const T& operator[](size_t i) const { return data_.get()[physical(i)]; }
    T& back() { return (*this)[size() - 1]; }
    const T& back() const { return (*this)[size() - 1]; }

    void insert(size_t pos, T value) {
        assert(pos <= size());
        if (gapLength() == 0) {
            grow(size() + 1);
        }
        moveGap(pos);
        data_[gapBegin_++] = std::move(value);
    }

    void push_back(T value) { insert(size(), std::move(value)); }

    void erase(size_t pos) {
        assert(pos < size());
        moveGap(pos);
        data_[gapEnd_++] = T{};
    }

    T take(size_t pos) {
        T value = std::move((*this)[pos]);
        erase(pos);
        return value;
    }

    void move(size_t from, size_t to) {
        if (from != to) {
            T value = take(from);
            insert(to, std::move(value));
        }
    }

    // Copies count values to the end; the storage grows to exactly the size needed.
    void append(const T* values, size_t count) {
        if (count == 0) {
            return;
        }
        if (gapLength() < count) {
            regrow(size() + count);
        }
        moveGap(size());
        for (size_t i = 0; i < count; ++i) {
            data_[gapBegin_++] = values[i];
        }
    }

    // Takes count values at data as the whole contents; the caller keeps data alive for as
    // long as this sequence may use it.
    void useExternal(T* data, size_t count) {
        static_assert(std::is_trivially_copyable_v<T>, "lent storage holds plain values");
        clear();
        data_.set(data, false);
        capacity_ = gapBegin_ = gapEnd_ = Checked(count);
    }

    void clear() {
        release();
        data_.set(nullptr, true);
        capacity_ = gapBegin_ = gapEnd_ = 0;
    }

    void reserve(size_t capacity) {
        if (capacity > capacity_) {
            regrow(capacity);
        }
    }

    // Drops the gap so the storage holds exactly the elements.
    void shrink_to_fit() {
        if (gapLength() > 0) {
            regrow(size());
        }
    }

    size_t capacity() const { return capacity_; }
    bool usesExternalStorage() const { return !owned(); }

private:
    static uint32_t Checked(size_t n) {
        if (n > std::numeric_limits<uint32_t>::max()) {
            throw std::bad_alloc();
        }
        return static_cast<uint32_t>(n);
    }

    size_t gapLength() const { return gapEnd_ - gapBegin_; }
    size_t physical(size_t i) const { return i < gapBegin_ ? i : i + gapLength(); }

    void moveGap(size_t pos) {
        if (gapLength() == 0) {
            gapBegin_ = gapEnd_ = static_cast<uint32_t>(pos);
            return;
        }
        T* data = data_.get();
        while (gapBegin_ > pos) {
            data[--gapEnd_] = std::move(data[--gapBegin_]);
            data[gapBegin_] = T{};
        }
        while (gapBegin_ < pos) {
            data[gapBegin_++] = std::move(data[gapEnd_]);
            data[gapEnd_++] = T{};
        }
    }

    void grow(size_t needed) {
        size_t doubled = capacity_ < 4 ? 8 : size_t{capacity_} * 2;
        regrow(doubled > needed ? doubled : needed);
    }

    // Rebuilds the storage with the given capacity, the gap at the end.
    void regrow(size_t capacity) {
        uint32_t count = static_cast<uint32_t>(size());
        uint32_t next = Checked(capacity);
        T* fresh = new T[next];
        for (uint32_t i = 0; i < count; ++i) {
            fresh[i] = std::move((*this)[i]);
        }
        release();
        data_.set(fresh, true);
        capacity_ = next;
        gapBegin_ = count;
        gapEnd_ = next;
    }

    // Storage of its own (or none), as opposed to lent.
    bool owned() const { return data_.flag(); }

    void release() {
        if (owned()) {
            delete[] data_.get();
        }
    }

    void swap(GapVector& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(capacity_, other.capacity_);
        std::swap(gapBegin_, other.gapBegin_);
        std::swap(gapEnd_, other.gapEnd_);
    }

    // The storage, flagged when it is this sequence's own: twenty bytes of four-byte
    // alignment, as every Topic holds two sequences.
    PackedPointer<T> data_{nullptr, true};
    uint32_t capacity_ = 0;
    uint32_t gapBegin_ = 0;
    uint32_t gapEnd_ = 0;
};

}  // namespace brenvale

#pragma once

#include <cassert>
#include <cstddef>
#include <utility>
#include <vector>

namespace brenvale {

// A sequence with a movable gap: inserting or erasing next to the previous edit costs O(1),
// so a list edited at one place (adding after the selected row, deleting the selected row
// again and again) stays linear however long it grows. Slots in the gap hold
// default-constructed values.
template <typename T>
class GapVector {
public:
    size_t size() const { return buffer_.size() - gapLength(); }
    bool empty() const { return size() == 0; }

    T& operator[](size_t i) { return buffer_[physical(i)]; }
    const T& operator[](size_t i) const { return buffer_[physical(i)]; }
    T& back() { return (*this)[size() - 1]; }
    const T& back() const { return (*this)[size() - 1]; }

    void insert(size_t pos, T value) {
        assert(pos <= size());
        if (gapLength() == 0) {
            grow();
        }
        moveGap(pos);
        buffer_[gapBegin_++] = std::move(value);
    }

    void push_back(T value) { insert(size(), std::move(value)); }

    void erase(size_t pos) {
        assert(pos < size());
        moveGap(pos);
        buffer_[gapEnd_++] = T{};
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

    // Moves values to the end; the storage grows to exactly the size needed.
    void appendAll(std::vector<T>& values) {
        if (values.empty()) {
            return;
        }
        if (gapLength() < values.size()) {
            regrow(size() + values.size());
        }
        moveGap(size());
        for (T& value : values) {
            buffer_[gapBegin_++] = std::move(value);
        }
        values.clear();
    }

    void clear() {
        buffer_.clear();
        gapBegin_ = gapEnd_ = 0;
    }

    void reserve(size_t capacity) {
        if (capacity > buffer_.size()) {
            regrow(capacity);
        }
    }

    // Drops the gap so the storage holds exactly the elements.
    void shrink_to_fit() {
        if (gapLength() > 0) {
            regrow(size());
        }
        buffer_.shrink_to_fit();
    }

    size_t capacity() const { return buffer_.size(); }

private:
    size_t gapLength() const { return gapEnd_ - gapBegin_; }
    size_t physical(size_t i) const { return i < gapBegin_ ? i : i + gapLength(); }

    void moveGap(size_t pos) {
        if (gapLength() == 0) {
            gapBegin_ = gapEnd_ = pos;
            return;
        }
        while (gapBegin_ > pos) {
            buffer_[--gapEnd_] = std::move(buffer_[--gapBegin_]);
            buffer_[gapBegin_] = T{};
        }
        while (gapBegin_ < pos) {
            buffer_[gapBegin_++] = std::move(buffer_[gapEnd_]);
            buffer_[gapEnd_++] = T{};
        }
    }

    void grow() { regrow(buffer_.empty() ? 8 : buffer_.size() * 2); }

    // Rebuilds the storage with the given capacity, the gap at the end.
    void regrow(size_t capacity) {
        std::vector<T> next;
        next.reserve(capacity);
        size_t count = size();
        for (size_t i = 0; i < count; ++i) {
            next.push_back(std::move((*this)[i]));
        }
        next.resize(capacity);
        buffer_ = std::move(next);
        gapBegin_ = count;
        gapEnd_ = capacity;
    }

    std::vector<T> buffer_;
    size_t gapBegin_ = 0;
    size_t gapEnd_ = 0;
};

}  // namespace brenvale

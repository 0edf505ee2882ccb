#pragma once

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

#include "common/packed_pointer.h"

namespace brenvale {

// A Topic's caption: CP932 bytes that its Document's storage keeps (where the file was read
// or in its arena), read like a string_view. Topic::setCaption puts a new caption in that
// storage; assigning a text directly gives the caption a copy of its own instead. Twelve bytes
// of four-byte alignment, as a Document holds one per Topic.
class Caption {
public:
    Caption() = default;
    Caption(const Caption& other) : where_(other.where_.get(), false), size_(other.size_) {
        if (other.owned()) {
            copyIn(other.view());
        }
    }
    Caption(Caption&& other) noexcept { swap(other); }
    Caption& operator=(const Caption& other) {
        Caption copy(other);
        swap(copy);
        return *this;
    }
    Caption& operator=(Caption&& other) noexcept {
        Caption taken(std::move(other));
        swap(taken);
        return *this;
    }
    Caption& operator=(std::string_view text) {
        Caption copy;
        copy.copyIn(text);
        swap(copy);
        return *this;
    }
    ~Caption() {
        if (owned()) {
            delete[] where_.get();
        }
    }

    std::string_view view() const { return std::string_view(where_.get(), size_); }
    operator std::string_view() const { return view(); }
    operator std::string() const { return str(); }
    const char* data() const { return where_.get(); }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::string str() const { return std::string(view()); }

    friend bool operator==(const Caption& a, std::string_view b) { return a.view() == b; }
    friend std::string operator+(const Caption& a, std::string_view b) { return a.str().append(b); }
    friend std::string operator+(std::string_view a, const Caption& b) {
        return std::string(a).append(b.view());
    }
    friend std::ostream& operator<<(std::ostream& out, const Caption& c) { return out << c.view(); }

private:
    friend class Topic;
    explicit Caption(std::string_view kept)
        : where_(kept.empty() ? "" : kept.data(), false),
          size_(static_cast<uint32_t>(kept.size())) {}

    // Whether the bytes are this caption's own copy.
    bool owned() const { return where_.flag(); }

    void copyIn(std::string_view text) {
        char* copy = new char[text.size() + 1];
        if (!text.empty()) {
            std::memcpy(copy, text.data(), text.size());
        }
        where_.set(copy, true);
        size_ = static_cast<uint32_t>(text.size());
    }
    void swap(Caption& other) noexcept {
        std::swap(where_, other.where_);
        std::swap(size_, other.size_);
    }

    PackedPointer<const char> where_{"", false};  // flagged when the bytes are its own
    uint32_t size_ = 0;
};

static_assert(sizeof(Caption) == 12 && alignof(Caption) == 4);

}  // namespace brenvale

#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace brenvale {

// A Topic's caption: CP932 bytes that its Document's storage keeps (where the file was read
// or in its arena). It reads like a string_view; only Topic::setCaption changes it.
class Caption {
public:
    Caption() = default;

    std::string_view view() const { return std::string_view(data_, size_); }
    operator std::string_view() const { return view(); }
    const char* data() const { return data_; }
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
        : data_(kept.data()), size_(static_cast<uint32_t>(kept.size())) {}

    const char* data_ = "";
    uint32_t size_ = 0;
};

}  // namespace brenvale

#pragma once

#include <cstring>
#include <string>
#include <string_view>

#include "common/byte_block.h"

namespace brenvale {

// Gathers output in one large buffer and hands it to sink.Write(std::string_view) a buffer
// at a time, so that a big document goes out in a few dozen system calls instead of one
// per line, without ever holding the whole output. A sink that makes no system call (a string)
// takes a small buffer: the large one would be fresh memory mapped for every output.
template <typename Sink>
class OutputBuffer {
public:
    static constexpr size_t kSize = 512 << 10;
    static constexpr size_t kSmallSize = 16 << 10;

    explicit OutputBuffer(Sink& sink, size_t size = kSize)
        : sink_(sink), buffer_(size), next_(buffer_.data()) {}
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    void append(std::string_view bytes) {
        if (bytes.empty()) {
            return;
        }
        if (bytes.size() > static_cast<size_t>(end() - next_)) {
            flush();
            if (bytes.size() > buffer_.size()) {
                sink_.Write(bytes);
                return;
            }
        }
        std::memcpy(next_, bytes.data(), bytes.size());
        next_ += bytes.size();
    }

    void put(char c) {
        if (next_ == end()) {
            flush();
        }
        *next_++ = c;
    }

    void flush() {
        if (next_ != buffer_.data()) {
            sink_.Write(
                std::string_view(buffer_.data(), static_cast<size_t>(next_ - buffer_.data())));
            next_ = buffer_.data();
        }
    }

private:
    char* end() const { return buffer_.data() + buffer_.size(); }

    Sink& sink_;
    ByteBlock buffer_;
    char* next_;
};

// A sink that keeps everything in a string.
struct StringSink {
    std::string bytes;
    void Write(std::string_view s) { bytes.append(s); }
};

}  // namespace brenvale

#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace brenvale {

// A fast 64-bit hash of a byte stream, fed in pieces of any size: the bytes of a file as they
// are read or written, so that two versions of a file can be told apart without keeping
// either. Four multiply-rotate lanes over 32-byte stripes, then a final mix (the xxHash64
// construction); several gigabytes a second, and the same value however the bytes are cut.
class ContentHash {
public:
    ContentHash();

    void add(std::string_view bytes);
    // The hash of everything added so far; adding more afterwards goes on from there.
    uint64_t value() const;
    // How many bytes were added.
    uint64_t size() const { return total_; }

private:
    static constexpr size_t kStripe = 32;

    void stripe(const unsigned char* p);

    uint64_t lanes_[4];
    unsigned char pending_[kStripe];
    size_t pendingSize_ = 0;
    uint64_t total_ = 0;
};

// The hash of one piece of bytes.
uint64_t HashBytes(std::string_view bytes);

}  // namespace brenvale

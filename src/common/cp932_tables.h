#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "common/zeroed_array.h"

// The code page's tables, each built once from glibc's iconv when first asked, for the
// conversions of common/cp932.h. Not for use outside the codec.

namespace brenvale::cp932_tables {

inline constexpr char32_t kNone = 0xFFFFFFFF;

inline bool IsLead(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The character of every CP932 code, and its UTF-8 packed: the bytes in the low bytes, their
// count in the high one (U+FFFD for a code CP932 does not define).
class DecodeTable {
public:
    DecodeTable();

    // kNone for a lead byte and an undefined byte.
    char32_t single(unsigned char b) const { return single_[b]; }
    // kNone where CP932 defines no character.
    char32_t pair(unsigned char lead, unsigned char trail) const {
        return pairs_[lead * 256 + trail] ^ kNone;
    }
    uint32_t singleUtf8(unsigned char b) const { return singleUtf8_[b]; }
    uint32_t pairUtf8(unsigned char lead, unsigned char trail) const {
        return pairsUtf8_[lead * 256 + trail];
    }
    // Whether every ASCII byte decodes to itself, so that runs of them are copied whole.
    bool asciiSame() const { return asciiSame_; }

private:
    std::vector<char32_t> single_;
    // Indexed by lead * 256 + trail; only the rows of lead bytes are ever written, so the
    // others stay untouched zero pages. pairs_ holds each character XOR kNone, so that zero
    // reads as kNone; pairsUtf8_'s zero is "no character".
    ZeroedArray<char32_t> pairs_;
    std::vector<uint32_t> singleUtf8_;
    ZeroedArray<uint32_t> pairsUtf8_;
    bool asciiSame_ = true;
};

const DecodeTable& Decoder();

// The CP932 code of every character of the Basic Multilingual Plane (CP932 has none beyond
// it), asked of iconv, so that the look-alikes and the choice between duplicate codes stay
// iconv's. A code below 0x100 is one byte. iconv is slow to refuse a character, and most of
// the plane has no code: each block of 256 characters is asked for when first needed (a text
// of Japanese, or a reference of an emoji, needs few of them), on any thread.
class EncodeTable {
public:
    static constexpr uint16_t kNoCode = 0xFFFF;

    EncodeTable();
    ~EncodeTable();
    EncodeTable(const EncodeTable&) = delete;
    EncodeTable& operator=(const EncodeTable&) = delete;

    uint16_t code(char32_t c) const {
        if (c >= 0x10000) {
            return kNoCode;
        }
        // Each entry stands alone, so a relaxed load sees either its code or kUnasked.
        uint16_t code = load(c);
        return code != kUnasked ? code : fill(c);
    }
    bool asciiSame() const { return asciiSame_; }

private:
    // No CP932 code has it: an entry whose block iconv has not been asked about yet.
    static constexpr uint16_t kUnasked = 0xFFFE;

    // Asks iconv about c's block; returns c's code.
    uint16_t fill(char32_t c) const;
    // Entries hold the code XOR kUnasked, so that the untouched zero pages read as kUnasked.
    uint16_t load(char32_t c) const {
        return std::atomic_ref<uint16_t>(codes_[c]).load(std::memory_order_relaxed) ^ kUnasked;
    }
    void store(char32_t c, uint16_t code) const {
        std::atomic_ref<uint16_t>(codes_[c]).store(code ^ kUnasked, std::memory_order_relaxed);
    }

    mutable ZeroedArray<uint16_t> codes_;
    mutable std::mutex mutex_;  // guards the filling of blocks and the descriptor
    void* iconv_;               // the descriptor, CP932 from UTF-32LE
    bool asciiSame_ = true;
};

const EncodeTable& Encoder();

// Which byte sequences come back as they are from a decode and an encode.
class RoundTripTable {
public:
    RoundTripTable();

    bool roundTrips(std::string_view cp932) const;
    // Whether the one character of n bytes at p (a single byte, or a lead byte and its
    // second) comes back as it is.
    bool sequence(const unsigned char* p, size_t n) const {
        return n == 2 ? pairs_[p[0] * 256 + p[1]] != 0 : !IsLead(p[0]) && single_[p[0]] != 0;
    }

private:
    // Bytes rather than bits: this is asked of every text of a long export.
    std::vector<uint8_t> single_;
    std::vector<uint8_t> pairs_;
};

const RoundTripTable& RoundTrip();

}  // namespace brenvale::cp932_tables

#include "common/cp932_tables.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <string>

#include "common/error.h"

namespace brenvale::cp932_tables {

namespace {

// One iconv descriptor, for building a table on one thread.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(::iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            if (errno == ENOMEM) {
                throw std::bad_alloc();
            }
            throw Error(std::string("文字コード変換を開始できません: ") + from + " -> " + to);
        }
    }
    ~Iconv() { ::iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // Converts in whole into out (room for 4 bytes); the bytes written, or -1 when iconv
    // refuses the input.
    int convert(const char* in, size_t size, char (&out)[4]) {
        reset();
        char* src = const_cast<char*>(in);
        char* dst = out;
        size_t srcLeft = size;
        size_t dstLeft = sizeof out;
        if (::iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) ||
            srcLeft != 0) {
            return -1;
        }
        return static_cast<int>(dst - out);
    }

    void reset() { ::iconv(cd_, nullptr, nullptr, nullptr, nullptr); }
    // As much of src as iconv takes; where it stopped is left in src.
    void step(char** src, size_t* srcLeft, char** dst, size_t* dstLeft) {
        ::iconv(cd_, src, srcLeft, dst, dstLeft);
    }

private:
    iconv_t cd_;
};

// The UTF-8 bytes of c (U+FFFD for none) in the low bytes, their count in the high one.
uint32_t PackUtf8(char32_t c) {
    if (c == kNone) {
        c = U'\uFFFD';
    }
    unsigned char bytes[4];
    size_t n = 0;
    if (c < 0x80) {
        bytes[n++] = static_cast<unsigned char>(c);
    } else if (c < 0x800) {
        bytes[n++] = static_cast<unsigned char>(0xC0 | (c >> 6));
        bytes[n++] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else {
        // CP932 has no character beyond the Basic Multilingual Plane.
        bytes[n++] = static_cast<unsigned char>(0xE0 | (c >> 12));
        bytes[n++] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        bytes[n++] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    }
    uint32_t packed = static_cast<uint32_t>(n) << 24;
    for (size_t i = 0; i < n; ++i) {
        packed |= static_cast<uint32_t>(bytes[i]) << (8 * i);
    }
    return packed;
}

// The one character bytes decode to, or kNone.
char32_t Lookup(Iconv& iconv, const char* bytes, size_t size) {
    char out[4];
    if (iconv.convert(bytes, size, out) != 2) {
        return kNone;
    }
    return static_cast<char32_t>(static_cast<unsigned char>(out[0]) |
                                 (static_cast<unsigned char>(out[1]) << 8));
}

// Decodes the pairs of one lead byte with one call of iconv for each run of pairs it takes,
// instead of one call for each of the 189 pairs: the table is made at every start. A pair
// iconv refuses, or a run whose output does not keep in step with its pairs (2 bytes of
// UTF-16 each), is asked alone, as Lookup does.
void DecodeRow(Iconv& iconv, int lead, char32_t* row) {
    constexpr int kFirst = 0x40;
    constexpr int kPairs = 0xFC - kFirst + 1;
    char in[2 * kPairs];
    for (int i = 0; i < kPairs; ++i) {
        in[2 * i] = static_cast<char>(lead);
        in[2 * i + 1] = static_cast<char>(kFirst + i);
    }
    char out[2 * kPairs];
    int at = 0;
    while (at < kPairs) {
        char* src = in + 2 * at;
        char* dst = out;
        size_t srcLeft = static_cast<size_t>(2 * (kPairs - at));
        size_t dstLeft = sizeof out;
        iconv.reset();
        iconv.step(&src, &srcLeft, &dst, &dstLeft);
        const auto taken = static_cast<size_t>(src - (in + 2 * at));
        const auto made = static_cast<size_t>(dst - out);
        if (taken != made || taken % 2 != 0) {
            // Out of step: this pair alone, then on.
            row[kFirst + at] = Lookup(iconv, in + 2 * at, 2);
            ++at;
            continue;
        }
        for (size_t k = 0; k < taken / 2; ++k) {
            row[kFirst + at + static_cast<int>(k)] =
                static_cast<char32_t>(static_cast<unsigned char>(out[2 * k]) |
                                      (static_cast<unsigned char>(out[2 * k + 1]) << 8));
        }
        at += static_cast<int>(taken / 2);
        if (at < kPairs) {
            // Stopped at a pair it refuses.
            row[kFirst + at] = Lookup(iconv, in + 2 * at, 2);
            ++at;
        }
    }
}

}  // namespace

DecodeTable::DecodeTable()
    : single_(256, kNone), pairs_(256 * 256), singleUtf8_(256), pairsUtf8_(256 * 256) {
    Iconv iconv("UTF-16LE", "CP932");
    for (int b = 0; b < 256; ++b) {
        char byte = static_cast<char>(b);
        if (!IsLead(static_cast<unsigned char>(b))) {
            single_[b] = Lookup(iconv, &byte, 1);
        }
        singleUtf8_[b] = PackUtf8(single_[b]);
        asciiSame_ = asciiSame_ && (b >= 0x80 || single_[b] == static_cast<char32_t>(b));
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLead(static_cast<unsigned char>(lead))) {
            continue;
        }
        char32_t row[256];
        std::fill(row, row + 256, kNone);
        DecodeRow(iconv, lead, row);
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            pairs_[lead * 256 + trail] = row[trail] ^ kNone;
            pairsUtf8_[lead * 256 + trail] = PackUtf8(row[trail]);
        }
    }
}

const DecodeTable& Decoder() {
    static const DecodeTable table;
    return table;
}

EncodeTable::EncodeTable() : codes_(0x10000), iconv_(new Iconv("CP932", "UTF-32LE")) {
    for (uint32_t c = 0; c < 0x80; ++c) {
        asciiSame_ = asciiSame_ && code(c) == c;
    }
}

EncodeTable::~EncodeTable() {
    delete static_cast<Iconv*>(iconv_);
}

uint16_t EncodeTable::fill(char32_t c) const {
    std::lock_guard<std::mutex> lock(mutex_);
    Iconv& iconv = *static_cast<Iconv*>(iconv_);
    const uint32_t first = c & ~0xFFu;
    if (load(first) != kUnasked) {
        return load(c);  // filled meanwhile
    }
    // The block's first entry last: it tells the block is done.
    for (uint32_t k = first + 256; k-- > first;) {
        uint16_t code = kNoCode;
        if (k < 0xD800 || k >= 0xE000) {  // surrogates are no characters
            const char in[4] = {static_cast<char>(k & 0xFF), static_cast<char>(k >> 8), 0, 0};
            char out[4];
            int n = iconv.convert(in, sizeof in, out);
            auto b = [&](int i) {
                return static_cast<uint16_t>(static_cast<unsigned char>(out[i]));
            };
            if (n == 1) {
                code = b(0);
            } else if (n == 2) {
                code = static_cast<uint16_t>(b(0) << 8 | b(1));
            }
        }
        store(k, code);
    }
    return load(c);
}

const EncodeTable& Encoder() {
    static const EncodeTable table;
    return table;
}

RoundTripTable::RoundTripTable() : single_(256, 0), pairs_(256 * 256, 0) {
    // Each decoded character is asked of iconv itself rather than of the encode table: these
    // are characters CP932 has, which iconv answers quickly, spread over many of its blocks.
    const DecodeTable& decoder = Decoder();
    Iconv iconv("CP932", "UTF-32LE");
    auto encodesTo = [&](char32_t c, uint16_t code) {
        const char in[4] = {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF), 0, 0};
        char out[4];
        int n = iconv.convert(in, sizeof in, out);
        auto b = [&](int k) { return static_cast<uint16_t>(static_cast<unsigned char>(out[k])); };
        return (n == 1 && b(0) == code) || (n == 2 && (b(0) << 8 | b(1)) == code);
    };
    for (int b = 0; b < 256; ++b) {
        char32_t c = decoder.single(static_cast<unsigned char>(b));
        single_[b] = c != kNone && encodesTo(c, static_cast<uint16_t>(b));
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            char32_t c =
                decoder.pair(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
            pairs_[lead * 256 + trail] =
                c != kNone && encodesTo(c, static_cast<uint16_t>(lead << 8 | trail));
        }
    }
}

bool RoundTripTable::roundTrips(std::string_view cp932) const {
    const auto* p = reinterpret_cast<const unsigned char*>(cp932.data());
    const auto* end = p + cp932.size();
    while (p < end) {
        if (*p < 0x80) {
            ++p;  // ASCII, the common case, always comes back (references are ASCII too)
        } else if (IsLead(*p)) {
            if (p + 1 == end || !pairs_[*p * 256 + p[1]]) {
                return false;
            }
            p += 2;
        } else if (!single_[*p++]) {
            return false;
        }
    }
    return true;
}

const RoundTripTable& RoundTrip() {
    static const RoundTripTable table;
    return table;
}

}  // namespace brenvale::cp932_tables

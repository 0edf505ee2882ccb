#include "common/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "common/error.h"

namespace brenvale {

namespace {

// One conversion descriptor per direction, opened once per thread.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(::iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw Error(std::string("文字コード変換を開始できません: ") + from + " -> " + to);
        }
    }
    ~Converter() { ::iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    iconv_t descriptor() const { return cd_; }

    // Converts in; on an invalid or unconvertible sequence calls onBad(offset of the sequence)
    // which returns how many input bytes to skip and what to emit instead, or stops when it
    // returns false.
    template <typename OnBad>
    bool Run(std::string_view in, std::string& out, OnBad onBad) {
        ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.clear();
        out.resize(in.size() * 2 + 16);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char* dst = out.data();
        size_t dstLeft = out.size();
        while (srcLeft > 0) {
            size_t rc = ::iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            if (rc != static_cast<size_t>(-1)) {
                break;
            }
            if (errno == E2BIG) {
                size_t used = out.size() - dstLeft;
                out.resize(out.size() * 2);
                dst = out.data() + used;
                dstLeft = out.size() - used;
                continue;
            }
            size_t used = out.size() - dstLeft;
            std::string replacement;
            size_t skip = 0;
            if (!onBad(static_cast<size_t>(src - in.data()), skip, replacement)) {
                return false;
            }
            out.resize(used);
            out += replacement;
            size_t grown = out.size();
            out.resize(grown + srcLeft * 2 + 16);
            dst = out.data() + grown;
            dstLeft = out.size() - grown;
            skip = std::min(skip, srcLeft);
            src += skip;
            srcLeft -= skip;
        }
        out.resize(out.size() - dstLeft);
        return true;
    }

private:
    iconv_t cd_;
};

Converter& Get(const char* to, const char* from) {
    // Each thread keeps its own descriptors because iconv keeps conversion state.
    thread_local std::map<std::pair<std::string, std::string>, std::unique_ptr<Converter>> cache;
    auto& slot = cache[{to, from}];
    if (!slot) {
        slot = std::make_unique<Converter>(to, from);
    }
    return *slot;
}

// Decoding goes through a table of every CP932 code, built once with iconv: a long list is
// decoded row by row, and one call per text would cost more than the text itself.
class DecodeTable {
public:
    DecodeTable()
        : single_(256, kNone), pairs_(256 * 256, kNone), singleUtf8_(256), pairsUtf8_(256 * 256) {
        Converter& iconv = Get("UTF-16LE", "CP932");
        std::string out;
        for (int b = 0; b < 256; ++b) {
            if (!IsLead(static_cast<unsigned char>(b))) {
                single_[b] = Lookup(iconv, std::string(1, static_cast<char>(b)), out);
            }
            singleUtf8_[b] = PackUtf8(single_[b]);
            asciiSame_ = asciiSame_ && (b >= 0x80 || single_[b] == static_cast<char32_t>(b));
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!IsLead(static_cast<unsigned char>(lead))) {
                continue;
            }
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
                pairs_[lead * 256 + trail] = Lookup(iconv, pair, out);
                pairsUtf8_[lead * 256 + trail] = PackUtf8(pairs_[lead * 256 + trail]);
            }
        }
    }

    // Appends the UTF-8 of cp932 to out: runs of ASCII are copied whole, every other character
    // comes from its UTF-8 form kept in the table (U+FFFD for an undefined byte).
    void AppendUtf8Of(std::string& out, std::string_view cp932) const {
        bool unasked = false;  // no round trip is asked for
        AppendUtf8Until(
            out, cp932, [](unsigned char) { return false; },
            [](const unsigned char*, size_t) { return true; }, &unasked);
    }

    // AppendUtf8Of up to the first single-byte character that stops(byte); roundTrips(p, n)
    // tells whether the n-byte sequence at p comes back as it is, while *allRoundTrip holds.
    template <typename Stops, typename RoundTrips>
    size_t AppendUtf8Until(std::string& out, std::string_view cp932, Stops stops,
                           RoundTrips roundTrips, bool* allRoundTrip) const {
        const auto* begin = reinterpret_cast<const unsigned char*>(cp932.data());
        const auto* p = begin;
        const auto* end = p + cp932.size();
        char buffer[256];
        size_t used = 0;
        while (p < end) {
            if (*p < 0x80 && stops(*p)) {
                break;
            }
            if (*p < 0x80 && asciiSame_) {
                const auto* run = p;
                while (p < end && *p < 0x80 && !stops(*p)) {
                    ++p;
                }
                out.append(buffer, used);
                used = 0;
                out.append(reinterpret_cast<const char*>(run), static_cast<size_t>(p - run));
                continue;
            }
            uint32_t packed = singleUtf8_[*p];
            size_t step = 1;
            if (IsLead(*p) && p + 1 < end && pairs_[*p * 256 + p[1]] != kNone) {
                packed = pairsUtf8_[*p * 256 + p[1]];
                step = 2;
            }
            if (*allRoundTrip && !roundTrips(p, step)) {
                *allRoundTrip = false;
            }
            if (used + 4 > sizeof buffer) {
                out.append(buffer, used);
                used = 0;
            }
            size_t length = packed >> 24;
            for (size_t i = 0; i < length; ++i) {
                buffer[used++] = static_cast<char>((packed >> (8 * i)) & 0xFF);
            }
            p += step;
        }
        out.append(buffer, used);
        return static_cast<size_t>(p - begin);
    }

    // Appends the UTF-16 of cp932 to out; an undefined sequence gives U+FFFD for its first byte.
    size_t FindUndefined(std::string_view cp932) const {
        const auto* begin = reinterpret_cast<const unsigned char*>(cp932.data());
        const auto* p = begin;
        const auto* end = p + cp932.size();
        while (p < end) {
            unsigned char b = *p;
            if (b < 0x80) {
                ++p;
            } else if (IsLead(b) && p + 1 < end && pairs_[b * 256 + p[1]] != kNone) {
                p += 2;
            } else if (!IsLead(b) && single_[b] != kNone) {
                ++p;
            } else {
                return static_cast<size_t>(p - begin);
            }
        }
        return std::string_view::npos;
    }

    template <typename Emit>
    void Decode(std::string_view cp932, Emit emit) const {
        const auto* p = reinterpret_cast<const unsigned char*>(cp932.data());
        const auto* end = p + cp932.size();
        while (p < end) {
            unsigned char b = *p;
            if (IsLead(b) && p + 1 < end) {
                char32_t c = pairs_[b * 256 + p[1]];
                if (c != kNone) {
                    emit(c);
                    p += 2;
                    continue;
                }
            }
            char32_t c = IsLead(b) ? kNone : single_[b];
            emit(c == kNone ? U'\uFFFD' : c);
            ++p;
        }
    }

private:
    static constexpr char32_t kNone = 0xFFFFFFFF;

    static bool IsLead(unsigned char b) {
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    }

    // The UTF-8 bytes of c (U+FFFD for none) in the low bytes, their count in the high one.
    static uint32_t PackUtf8(char32_t c) {
        std::string bytes;
        AppendUtf8(bytes, c == kNone ? U'\uFFFD' : c);
        uint32_t packed = static_cast<uint32_t>(bytes.size()) << 24;
        for (size_t i = 0; i < bytes.size(); ++i) {
            packed |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
        }
        return packed;
    }

    static char32_t Lookup(Converter& iconv, const std::string& bytes, std::string& out) {
        bool ok = iconv.Run(bytes, out, [](size_t, size_t&, std::string&) { return false; });
        if (!ok || out.size() != 2) {
            return kNone;
        }
        return static_cast<char32_t>(static_cast<unsigned char>(out[0]) |
                                     (static_cast<unsigned char>(out[1]) << 8));
    }

    std::vector<char32_t> single_;
    std::vector<char32_t> pairs_;
    std::vector<uint32_t> singleUtf8_;
    std::vector<uint32_t> pairsUtf8_;
    bool asciiSame_ = true;  // every ASCII byte decodes to itself
};

const DecodeTable& Table() {
    static const DecodeTable table;
    return table;
}

// Which byte sequences come back as they are from a decode and an encode: built once, with
// iconv, when first asked.
class RoundTripTable {
public:
    RoundTripTable() : single_(256, 0), pairs_(256 * 256, 0) {
        Converter& encode = Get("CP932", "UTF-16LE");
        std::string out;
        auto back = [&](const std::string& bytes) {
            std::u16string utf16 = Cp932ToUtf16(bytes);
            if (utf16.size() != 1 || utf16[0] == u'\uFFFD') {
                return false;
            }
            std::string in(reinterpret_cast<const char*>(utf16.data()), 2);
            return encode.Run(in, out, [](size_t, size_t&, std::string&) { return false; }) &&
                   out == bytes;
        };
        for (int b = 0; b < 256; ++b) {
            single_[b] = back(std::string(1, static_cast<char>(b)));
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                pairs_[lead * 256 + trail] =
                    back(std::string{static_cast<char>(lead), static_cast<char>(trail)});
            }
        }
    }

    // Whether the sequence of n bytes at p, decoded as one character, comes back.
    bool Sequence(const unsigned char* p, size_t n) const {
        return n == 2 ? pairs_[p[0] * 256 + p[1]] != 0 : !IsLeadByte(p[0]) && single_[p[0]] != 0;
    }

    bool RoundTrips(std::string_view cp932) const {
        const auto* p = reinterpret_cast<const unsigned char*>(cp932.data());
        const auto* end = p + cp932.size();
        while (p < end) {
            if (*p < 0x80) {
                ++p;  // ASCII, the common case, always comes back
            } else if (IsLeadByte(*p)) {
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

private:
    static bool IsLeadByte(unsigned char b) {
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    }

    // Bytes rather than bits: this is asked of every text of a long export.
    std::vector<uint8_t> single_;
    std::vector<uint8_t> pairs_;
};

// The CP932 code of every character of the Basic Multilingual Plane (CP932 has none beyond
// it), asked of iconv once per character when a whole text is first converted, so that the
// look-alikes and the choice between duplicate codes stay iconv's. A code below 0x100 is one
// byte; kNoCode marks a character CP932 cannot carry.
class EncodeTable {
public:
    static constexpr uint16_t kNoCode = 0xFFFF;

    EncodeTable() : codes_(0x10000, kNoCode) {
        iconv_t cd = Get("CP932", "UTF-32LE").descriptor();
        for (uint32_t c = 0; c < 0x10000; ++c) {
            if (c >= 0xD800 && c < 0xE000) {
                continue;  // surrogates are no characters
            }
            char in[4] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8), 0, 0};
            char out[4];
            char* src = in;
            char* dst = out;
            size_t srcLeft = sizeof in;
            size_t dstLeft = sizeof out;
            ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (::iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) {
                continue;
            }
            auto b = [&](int i) {
                return static_cast<uint16_t>(static_cast<unsigned char>(out[i]));
            };
            size_t n = static_cast<size_t>(dst - out);
            if (n == 1) {
                codes_[c] = b(0);
            } else if (n == 2) {
                codes_[c] = static_cast<uint16_t>(b(0) << 8 | b(1));
            }
        }
        for (uint32_t c = 0; c < 0x80; ++c) {
            asciiSame_ = asciiSame_ && codes_[c] == c;
        }
    }

    uint16_t code(char32_t c) const { return c < 0x10000 ? codes_[c] : kNoCode; }
    // Whether every ASCII character is its own byte, so runs of them are copied whole.
    bool asciiSame() const { return asciiSame_; }

private:
    std::vector<uint16_t> codes_;
    bool asciiSame_ = true;
};

const EncodeTable& Encoder() {
    static const EncodeTable table;
    return table;
}

// The code point of a valid UTF-8 sequence of length n.
char32_t DecodeUtf8(const unsigned char* p, size_t n) {
    if (n == 2) {
        return static_cast<char32_t>((p[0] & 0x1F) << 6 | (p[1] & 0x3F));
    }
    if (n == 3) {
        return static_cast<char32_t>((p[0] & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
    }
    return static_cast<char32_t>((p[0] & 0x07) << 18 | (p[1] & 0x3F) << 12 | (p[2] & 0x3F) << 6 |
                                 (p[3] & 0x3F));
}

// The bytes of a sequence that is not UTF-8, starting at a byte that is not: a lead byte
// with the continuation bytes after it, or the one byte.
size_t NotUtf8Length(std::string_view text) {
    size_t n = 1;
    auto lead = static_cast<unsigned char>(text[0]);
    if (lead >= 0xC0) {
        while (n < text.size() && n < 4 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) {
            ++n;
        }
    }
    return n;
}

std::optional<std::string> Encode(std::string_view in, const char* from, size_t* badIndex) {
    std::string out;
    bool ok = Get("CP932", from).Run(in, out, [&](size_t offset, size_t&, std::string&) {
        if (badIndex) {
            *badIndex = offset;
        }
        return false;
    });
    if (!ok) {
        return std::nullopt;
    }
    return out;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
        return;
    }
    // One append per character: the bytes are put together first.
    char bytes[4];
    size_t n = 0;
    if (c < 0x800) {
        bytes[n++] = static_cast<char>(0xC0 | (c >> 6));
    } else if (c < 0x10000) {
        bytes[n++] = static_cast<char>(0xE0 | (c >> 12));
        bytes[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    } else {
        bytes[n++] = static_cast<char>(0xF0 | (c >> 18));
        bytes[n++] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        bytes[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    }
    bytes[n++] = static_cast<char>(0x80 | (c & 0x3F));
    out.append(bytes, n);
}

void AppendCp932AsUtf8(std::string& out, std::string_view cp932) {
    Table().AppendUtf8Of(out, cp932);
}

std::string Cp932ToUtf8(std::string_view cp932) {
    std::string out;
    out.reserve(cp932.size() * 3 / 2);
    Table().AppendUtf8Of(out, cp932);
    return out;
}

std::u16string Cp932ToUtf16(std::string_view cp932) {
    std::u16string out;
    out.reserve(cp932.size());
    Table().Decode(cp932, [&](char32_t c) { out += static_cast<char16_t>(c); });
    return out;
}

size_t FindUndecodable(std::string_view cp932) {
    return Table().FindUndefined(cp932);
}

static const RoundTripTable& RoundTrip() {
    static const RoundTripTable table;
    return table;
}

bool Cp932RoundTrips(std::string_view cp932) {
    return RoundTrip().RoundTrips(cp932);
}

size_t AppendCp932AsUtf8Until(std::string& out, std::string_view cp932,
                              const std::array<bool, 256>& stop, bool* roundTrips) {
    const RoundTripTable& table = RoundTrip();
    return Table().AppendUtf8Until(
        out, cp932, [&stop](unsigned char c) { return stop[c]; },
        [&table](const unsigned char* p, size_t n) { return table.Sequence(p, n); }, roundTrips);
}

size_t Utf8SequenceLength(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    auto b = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = b(0);
    if (lead < 0x80) {
        return 1;
    }
    size_t n = 0;
    unsigned char low = 0x80;   // bounds of the second byte, which rule out overlong forms,
    unsigned char high = 0xBF;  // surrogates and values beyond U+10FFFF
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < n || b(1) < low || b(1) > high) {
        return 0;
    }
    for (size_t i = 2; i < n; ++i) {
        if ((b(i) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return n;
}

size_t ConvertUtf8ToCp932(std::string_view utf8, char* out, std::vector<Unconvertible>* bad,
                          size_t limit, size_t* badCount) {
    const EncodeTable& table = Encoder();
    const auto* begin = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* p = begin;
    const auto* end = p + utf8.size();
    char* dst = out;
    size_t count = 0;
    while (p < end) {
        if (*p < 0x80 && table.asciiSame()) {
            const auto* run = p;
            while (p < end && *p < 0x80) {
                ++p;
            }
            std::memcpy(dst, run, static_cast<size_t>(p - run));
            dst += p - run;
            continue;
        }
        std::string_view rest(reinterpret_cast<const char*>(p), static_cast<size_t>(end - p));
        size_t length = Utf8SequenceLength(rest);
        uint16_t code = length == 0   ? EncodeTable::kNoCode
                        : length == 1 ? table.code(*p)
                                      : table.code(DecodeUtf8(p, length));
        if (code == EncodeTable::kNoCode) {
            Unconvertible u;
            u.offset = static_cast<size_t>(p - begin);
            u.length = length;
            if (length == 0) {
                u.notUtf8 = true;
                u.length = NotUtf8Length(rest);
            }
            if (bad && bad->size() < limit) {
                bad->push_back(u);
            }
            ++count;
            p += u.length;
            continue;
        }
        if (code > 0xFF) {
            *dst++ = static_cast<char>(code >> 8);
        }
        *dst++ = static_cast<char>(code & 0xFF);
        p += length;
    }
    if (badCount) {
        *badCount = count;
    }
    return static_cast<size_t>(dst - out);
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8, size_t* badIndex) {
    return Encode(utf8, "UTF-8", badIndex);
}

std::optional<std::string> Utf16ToCp932(std::u16string_view utf16, size_t* badIndex) {
    std::string bytes(utf16.size() * 2, '\0');
    for (size_t i = 0; i < utf16.size(); ++i) {
        bytes[2 * i] = static_cast<char>(utf16[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(utf16[i] >> 8);
    }
    size_t badByte = 0;
    auto out = Encode(bytes, "UTF-16LE", &badByte);
    if (!out && badIndex) {
        *badIndex = badByte / 2;
    }
    return out;
}

}  // namespace brenvale

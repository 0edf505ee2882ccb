#include "common/cp932.h"

#include <cstdint>
#include <cstring>

#include "common/cp932_refs.h"
#include "common/cp932_tables.h"

namespace brenvale {

namespace {

using cp932_tables::Decoder;
using cp932_tables::DecodeTable;
using cp932_tables::Encoder;
using cp932_tables::EncodeTable;
using cp932_tables::IsLead;
using cp932_tables::kNone;

// Calls emit(c) for each character of cp932 in turn, `undefined` for each byte sequence
// CP932 does not define, and the character of each reference.
template <typename Emit>
void Decode(std::string_view cp932, char32_t undefined, Emit emit) {
    const DecodeTable& table = Decoder();
    const auto* p = reinterpret_cast<const unsigned char*>(cp932.data());
    const auto* end = p + cp932.size();
    while (p < end) {
        unsigned char b = *p;
        if (IsLead(b) && p + 1 < end) {
            char32_t c = table.pair(b, p[1]);
            if (c != kNone) {
                emit(c);
                p += 2;
                continue;
            }
        }
        if (b == '&') {
            char32_t c = 0;
            if (size_t n = cp932_refs::Parse(p, end, &c)) {
                emit(c);
                p += n;
                continue;
            }
        }
        char32_t c = table.single(b);
        emit(c == kNone ? undefined : c);
        ++p;
    }
}

// The packed UTF-8 of U+FFFD: three bytes.
constexpr uint32_t kPackedReplacement = 0x03BDBFEF;

// The one decoding loop to UTF-8: appends the UTF-8 of cp932 to out up to the first
// character that stops(byte) (only single bytes below 0x80 are asked, never the second byte
// of a double-byte code) and returns the bytes taken. Runs of ASCII are copied whole, every
// other character comes from its UTF-8 form kept in the table (U+FFFD for an undefined
// byte), and a reference gives its character before a stop at its '&' is asked about. With
// roundTrips, clears it when a sequence taken would not come back as it is.

template <typename Stops>
size_t AppendUtf8Until(std::string& out, std::string_view cp932, Stops stops, bool* roundTrips) {
    const DecodeTable& table = Decoder();
    const cp932_tables::RoundTripTable* back =
        roundTrips && *roundTrips ? &cp932_tables::RoundTrip() : nullptr;
    const auto* begin = reinterpret_cast<const unsigned char*>(cp932.data());
    const auto* p = begin;
    const auto* end = p + cp932.size();
    const bool asciiSame = table.asciiSame();
    char buffer[256];
    size_t used = 0;
    while (p < end) {
        if (*p < 0x80 && asciiSame) {
            const auto* run = p;
            while (p < end && *p < 0x80 && *p != '&' && !stops(*p)) {
                ++p;
            }
            out.append(buffer, used);
            used = 0;
            out.append(reinterpret_cast<const char*>(run), static_cast<size_t>(p - run));
            if (p == end || *p >= 0x80) {
                continue;
            }
            char32_t c = 0;
            if (size_t n = *p == '&' ? cp932_refs::Parse(p, end, &c) : 0) {
                AppendUtf8(out, c);
                p += n;
            } else if (stops(*p)) {
                break;
            } else {
                out += static_cast<char>(*p++);  // a '&' that starts no reference
            }
            continue;
        }
        if (!asciiSame && *p < 0x80) {
            // Where ASCII is not itself: a reference and a stop still count.
            char32_t c = 0;
            if (size_t n = *p == '&' ? cp932_refs::Parse(p, end, &c) : 0) {
                out.append(buffer, used);
                used = 0;
                AppendUtf8(out, c);
                p += n;
                continue;
            }
            if (stops(*p)) {
                break;
            }
        }
        // Every byte from 0x80 on starts a character of its own or with the byte after it:
        // such runs (most of a Japanese text) are decoded here without leaving the loop.
        do {
            uint32_t packed = table.singleUtf8(*p);
            size_t step = 1;
            if (IsLead(*p) && p + 1 < end) {
                // An undefined pair packs U+FFFD, or nothing where the second byte is out of
                // range; only then is the character itself asked.
                uint32_t pair = table.pairUtf8(*p, p[1]);
                if (pair != 0 && (pair != kPackedReplacement || table.pair(*p, p[1]) != kNone)) {
                    packed = pair;
                    step = 2;
                }
            }
            if (back && !back->sequence(p, step)) {
                *roundTrips = false;
                back = nullptr;
            }
            if (used + 4 > sizeof buffer) {
                out.append(buffer, used);
                used = 0;
            }
            // All four bytes go in; the count says how many of them stay.
            buffer[used] = static_cast<char>(packed & 0xFF);
            buffer[used + 1] = static_cast<char>((packed >> 8) & 0xFF);
            buffer[used + 2] = static_cast<char>((packed >> 16) & 0xFF);
            buffer[used + 3] = static_cast<char>(packed >> 24);
            used += packed >> 24;
            p += step;
        } while (p < end && *p >= 0x80);
    }
    out.append(buffer, used);
    return static_cast<size_t>(p - begin);
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

// Writes the CP932 code (not kNoCode) at dst; returns the bytes written.
inline size_t WriteCode(uint16_t code, char* dst) {
    if (code > 0xFF) {
        dst[0] = static_cast<char>(code >> 8);
        dst[1] = static_cast<char>(code & 0xFF);
        return 2;
    }
    dst[0] = static_cast<char>(code);
    return 1;
}

// Writes the CP932 of c at dst (its code, or its reference); returns the bytes written, at
// most cp932_refs::kMaxLength.
size_t EncodeOne(const EncodeTable& table, char32_t c, char* dst) {
    uint16_t code = table.code(c);
    return code == EncodeTable::kNoCode ? cp932_refs::Write(dst, c) : WriteCode(code, dst);
}

// The whole-text conversion from UTF-8: converts from *p on into [dst, dstEnd) until the
// text ends or the next character would not fit. Bytes that are not UTF-8 are reported to
// report(offset, length, true) and left out; a character CP932 cannot hold is written as its
// reference.
struct Utf8Conversion {
    const unsigned char* begin;
    const unsigned char* p;
    const unsigned char* end;

    template <typename Report>
    char* run(char* dst, const char* dstEnd, Report report) {
        const EncodeTable& table = Encoder();
        const bool asciiSame = table.asciiSame();
        while (p < end) {
            if (*p < 0x80 && asciiSame) {
                // ASCII takes a byte each: the run is copied whole where the rest of the text
                // fits, else as far as there is room.
                const unsigned char* run = p;
                const unsigned char* last =
                    static_cast<size_t>(end - p) <= static_cast<size_t>(dstEnd - dst)
                        ? end
                        : p + (dstEnd - dst);
                while (p < last && *p < 0x80) {
                    ++p;
                }
                std::memcpy(dst, run, static_cast<size_t>(p - run));
                dst += p - run;
                if (p == last && p < end && *p < 0x80) {
                    return dst;  // out of room
                }
                continue;
            }
            // Three bytes with a lead that bounds the second byte no further (most of a
            // Japanese text) are checked here; other sequences by the general rule.
            size_t length = 0;
            char32_t c = 0;
            if (end - p >= 3 && *p >= 0xE1 && *p <= 0xEF && *p != 0xED && (p[1] & 0xC0) == 0x80 &&
                (p[2] & 0xC0) == 0x80) {
                length = 3;
                c = static_cast<char32_t>((p[0] & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
            } else {
                length = Utf8SequenceLength(std::string_view(reinterpret_cast<const char*>(p),
                                                             static_cast<size_t>(end - p)));
                c = length == 1 ? *p : length > 1 ? DecodeUtf8(p, length) : 0;
            }
            if (length == 0) {
                size_t bad = NotUtf8Length(std::string_view(reinterpret_cast<const char*>(p),
                                                            static_cast<size_t>(end - p)));
                report(static_cast<size_t>(p - begin), bad, true);
                p += bad;
                continue;
            }
            uint16_t code = table.code(c);
            if (code != EncodeTable::kNoCode) {
                if (dstEnd - dst < (code > 0xFF ? 2 : 1)) {
                    return dst;  // out of room
                }
                dst += WriteCode(code, dst);
            } else {
                char bytes[cp932_refs::kMaxLength];
                size_t n = cp932_refs::Write(bytes, c);
                if (static_cast<size_t>(dstEnd - dst) < n) {
                    return dst;  // out of room
                }
                std::memcpy(dst, bytes, n);
                dst += n;
            }
            p += length;
        }
        return dst;
    }
};

// The CP932 bytes a UTF-8 text converts to, counted without writing them.
size_t Cp932SizeOf(const unsigned char* p, const unsigned char* end) {
    Utf8Conversion conversion{p, p, end};
    size_t size = 0;
    char buffer[4096];
    while (conversion.p < end) {
        char* written = conversion.run(buffer, buffer + sizeof buffer, [](size_t, size_t, bool) {});
        size += static_cast<size_t>(written - buffer);
    }
    return size;
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
    AppendUtf8Until(
        out, cp932, [](unsigned char) { return false; }, nullptr);
}

size_t AppendCp932AsUtf8Until(std::string& out, std::string_view cp932,
                              const std::array<bool, 256>& stop, bool* roundTrips) {
    return AppendUtf8Until(
        out, cp932, [&stop](unsigned char c) { return stop[c]; }, roundTrips);
}

std::string Cp932ToUtf8(std::string_view cp932) {
    std::string out;
    out.reserve(cp932.size() * 3 / 2);
    AppendCp932AsUtf8(out, cp932);
    return out;
}

std::u16string Cp932ToUtf16(std::string_view cp932, char16_t undefined) {
    std::u16string out;
    out.reserve(cp932.size());
    Decode(cp932, undefined, [&](char32_t c) {
        if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    });
    return out;
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8, size_t* badIndex) {
    const auto* begin = reinterpret_cast<const unsigned char*>(utf8.data());
    Utf8Conversion conversion{begin, begin, begin + utf8.size()};
    bool bad = false;
    auto report = [&](size_t offset, size_t, bool) {
        if (!bad && badIndex) {
            *badIndex = offset;
        }
        bad = true;
    };
    std::string out(utf8.size(), '\0');
    char* stop = conversion.run(out.data(), out.data() + out.size(), report);
    auto written = static_cast<size_t>(stop - out.data());
    if (conversion.p < conversion.end) {
        // References took more room than the UTF-8 they stand for.
        out.resize(written + Cp932SizeOf(conversion.p, conversion.end));
        stop = conversion.run(out.data() + written, out.data() + out.size(), report);
        written = static_cast<size_t>(stop - out.data());
    }
    if (bad) {
        return std::nullopt;
    }
    out.resize(written);
    return out;
}

std::string Utf16ToCp932(std::u16string_view utf16) {
    const EncodeTable& table = Encoder();
    std::string out;
    out.reserve(utf16.size() * 2);
    char bytes[cp932_refs::kMaxLength];
    for (size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (c < 0x80 && table.asciiSame()) {
            out += static_cast<char>(c);
            continue;
        }
        if (c >= 0xD800 && c < 0xE000) {
            bool paired = c < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
                          utf16[i + 1] < 0xE000;
            c = paired ? 0x10000 + ((c - 0xD800) << 10) + (utf16[++i] - 0xDC00) : U'\uFFFD';
        }
        out.append(bytes, EncodeOne(table, c, bytes));
    }
    return out;
}

size_t FindUndecodable(std::string_view cp932) {
    const DecodeTable& table = Decoder();
    const auto* begin = reinterpret_cast<const unsigned char*>(cp932.data());
    const auto* p = begin;
    const auto* end = p + cp932.size();
    while (p < end) {
        unsigned char b = *p;
        if (b < 0x80) {
            ++p;
        } else if (IsLead(b) && p + 1 < end && table.pair(b, p[1]) != kNone) {
            p += 2;
        } else if (!IsLead(b) && table.single(b) != kNone) {
            ++p;
        } else {
            return static_cast<size_t>(p - begin);
        }
    }
    return std::string_view::npos;
}

bool Cp932RoundTrips(std::string_view cp932) {
    return cp932_tables::RoundTrip().roundTrips(cp932);
}

FileBlock Utf8ToCp932Block(std::string_view utf8, size_t spare, std::vector<Unconvertible>* bad,
                           size_t limit, size_t* badCount) {
    const auto* begin = reinterpret_cast<const unsigned char*>(utf8.data());
    Utf8Conversion conversion{begin, begin, begin + utf8.size()};
    size_t count = 0;
    auto report = [&](size_t offset, size_t length, bool) {
        if (bad && bad->size() < limit) {
            bad->push_back({offset, length, true});
        }
        ++count;
    };
    // Only a reference takes more bytes than its UTF-8: a text without one fits as it is,
    // and one with them is counted once they show up.
    FileBlock out;
    out.block = ByteBlock(utf8.size() + spare);
    char* stop = conversion.run(out.block.data(), out.block.data() + utf8.size(), report);
    out.size = static_cast<size_t>(stop - out.block.data());
    if (conversion.p < conversion.end) {
        size_t rest = Cp932SizeOf(conversion.p, conversion.end);
        ByteBlock bigger(out.size + rest + spare);
        std::memcpy(bigger.data(), out.block.data(), out.size);
        out.block = std::move(bigger);
        stop =
            conversion.run(out.block.data() + out.size, out.block.data() + out.size + rest, report);
        out.size = static_cast<size_t>(stop - out.block.data());
    }
    if (badCount) {
        *badCount = count;
    }
    return out;
}

size_t ConvertUtf8ToCp932(std::string_view utf8, char* out, size_t room,
                          std::vector<Unconvertible>* bad, size_t limit, size_t* badCount,
                          size_t* taken) {
    const auto* begin = reinterpret_cast<const unsigned char*>(utf8.data());
    Utf8Conversion conversion{begin, begin, begin + utf8.size()};
    size_t count = 0;
    char* stop = conversion.run(out, out + room, [&](size_t offset, size_t length, bool) {
        if (bad && bad->size() < limit) {
            bad->push_back({offset, length, true});
        }
        ++count;
    });
    if (badCount) {
        *badCount = count;
    }
    if (taken) {
        *taken = static_cast<size_t>(conversion.p - begin);
    }
    return static_cast<size_t>(stop - out);
}

}  // namespace brenvale

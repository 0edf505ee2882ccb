// Characters beyond CP932 kept as character references: every text of code points comes back
// from its CP932 bytes as it was, and every CP932 byte string from its characters as its bytes.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/cp932.h"

namespace brenvale {
namespace {

std::string Utf8Of(std::u16string_view utf16) {
    std::string out;
    for (size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < utf16.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[++i] - 0xDC00);
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::u16string Utf16Of(std::string_view utf8) {
    std::u16string out;
    for (size_t i = 0; i < utf8.size();) {
        size_t n = Utf8SequenceLength(utf8.substr(i));
        auto b = [&](size_t k) {
            return static_cast<char32_t>(static_cast<unsigned char>(utf8[k]));
        };
        char32_t c = n == 1   ? b(i)
                     : n == 2 ? (b(i) & 0x1F) << 6 | (b(i + 1) & 0x3F)
                     : n == 3 ? (b(i) & 0x0F) << 12 | (b(i + 1) & 0x3F) << 6 | (b(i + 2) & 0x3F)
                              : (b(i) & 0x07) << 18 | (b(i + 1) & 0x3F) << 12 |
                                    (b(i + 2) & 0x3F) << 6 | (b(i + 3) & 0x3F);
        if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
        i += n;
    }
    return out;
}

std::string ReferenceOf(char32_t c) {
    char text[16];
    std::snprintf(text, sizeof text, "&#x%X;", static_cast<unsigned>(c));
    return text;
}

// The bytes of every CP932 character: single bytes and double-byte codes that decode to one
// (the codes CP932 has twice included).
std::vector<std::string> EveryCp932Code() {
    std::vector<std::string> all;
    for (int b = 0; b < 0x100; ++b) {
        std::string one(1, static_cast<char>(b));
        if (FindUndecodable(one) == std::string::npos) {
            all.push_back(one);
        }
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            std::string two{static_cast<char>(lead), static_cast<char>(trail)};
            if (FindUndecodable(two) == std::string::npos && Cp932ToUtf16(two).size() == 1) {
                all.push_back(two);
            }
        }
    }
    return all;
}

// Sequences people type that CP932 cannot hold, many of several code points.
const char* const kBeyondCp932[] = {
    "😀",
    "👨‍👩‍👧‍👦",  // a family joined by ZWJ
    "🇯🇵",                         // a flag: two regional indicators
    "1\xEF\xB8\x8F\xE2\x83\xA3",  // a keycap: 1, VS16, the combining keycap
    "❤\xEF\xB8\x8F",              // a heart with its emoji variation selector
    "👍🏽",                   // a skin tone modifier
    "🏴\xF3\xA0\x81\xA7\xF3\xA0\x81\xA2\xF3\xA0\x81\xA5\xF3\xA0\x81\xAE\xF3\xA0\x81\xA7\xF3\xA0"
    "\x81\xBF",                  // a subdivision flag of tag characters
    "e\xCC\x81",                 // e and a combining acute accent
    "\xE3\x81\x8B\xE3\x82\x99",  // か and the combining voiced mark
    "é",
    "•",
    "–",
    "✓",
    "»",
    "©",
    "\xC2\xA0",
    "\xE2\x80\x8B",
    "中文简体",
    "\xEF\xBF\xBD",
    "\xEF\xBF\xBE",
    "\xF4\x8F\xBF\xBF",
};

// Texts that look like references but are none: of a character CP932 holds, or not in the one
// form a reference takes. They stay the text they are.
const char* const kLiterals[] = {
    "&#x41;",     "&#x3042;",
    "&#xFF5E;",   "&#x301C;",
    "&#x5C;",     "&#x1f600;",
    "&#X1F600;",  "&#x01F600;",
    "&#x1F600",   "&#128512;",
    "&#xD83D;",   "&#x110000;",
    "&#x;",       "&#x0;",
    "&",          "&&#x",
    "&amp;",      "&nbsp;",
    "&#x1F6000;", "&#xE9 ;",
    "& #xE9;",    "&#x1F60\xEF\xBC\x90;",
};

class Texts {
public:
    explicit Texts(unsigned seed) : rng_(seed) {
        for (const std::string& code : EveryCp932Code()) {
            cp932_.push_back(Cp932ToUtf8(code));
        }
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    template <typename T, size_t N>
    const char* any(const T (&list)[N]) {
        return list[pick(0, N - 1)];
    }

    // A code point CP932 cannot hold, anywhere in Unicode.
    char32_t beyond() {
        for (;;) {
            char32_t c = static_cast<char32_t>(pick(0, 3) == 0 ? pick(0x80, 0xFFFF)
                                                               : pick(0x10000, 0x10FFFF));
            if ((c < 0xD800 || c >= 0xE000) && !Cp932Holds(c)) {
                return c;
            }
        }
    }

    // A UTF-8 text of the pieces above and of single characters.
    std::string utf8() {
        static const char* kAscii[] = {"a", "Z", "0", "9", "F", " ", "&", "#", "x", ";", "?", "\t"};
        std::string out;
        for (int parts = pick(0, 12); parts > 0; --parts) {
            switch (pick(0, 4)) {
                case 0:
                    out +=
                        cp932_[static_cast<size_t>(pick(0, static_cast<int>(cp932_.size()) - 1))];
                    break;
                case 1:
                    AppendUtf8(out, beyond());
                    break;
                case 2:
                    out += any(kBeyondCp932);
                    break;
                case 3:
                    out += any(kLiterals);
                    break;
                default:
                    out += any(kAscii);
            }
        }
        return out;
    }

    // A CP932 byte string: characters, references, literals and bytes CP932 does not define.
    std::string cp932() {
        static const char* kUndefined[] = {"\x80", "\xA0", "\xFD", "\xFF", "\x81\x20", "\x85\x40"};
        static const char* kReferences[] = {"&#x1F600;",  "&#xE9;",   "&#xFFFD;",
                                            "&#x10FFFF;", "&#x200D;", "&#xA0;"};
        std::string out;
        for (int parts = pick(0, 12); parts > 0; --parts) {
            switch (pick(0, 4)) {
                case 0: {
                    std::string code = *Utf8ToCp932(
                        cp932_[static_cast<size_t>(pick(0, static_cast<int>(cp932_.size()) - 1))]);
                    // The codes CP932 has twice too: 0xED40 and 0x8790 come back as others.
                    out += pick(0, 20) == 0 ? (pick(0, 1) ? "\xED\x40" : "\x87\x90") : code;
                    break;
                }
                case 1:
                    out += any(kUndefined);
                    break;
                case 2:
                    out += any(kReferences);
                    break;
                case 3:
                    out += *Utf8ToCp932(any(kLiterals));
                    break;
                default:
                    out += static_cast<char>(pick(0x20, 0x7E));
            }
        }
        if (pick(0, 10) == 0) {
            out += '\x81';  // a lead byte at the end
        }
        return out;
    }

private:
    std::mt19937 rng_;
    std::vector<std::string> cp932_;  // every CP932 character, in UTF-8
};

TEST(Cp932References, CharactersBeyondCp932BecomeReferencesAndComeBack) {
    EXPECT_EQ(*Utf8ToCp932("買う😀"), "\x94\x83\x82\xA4&#x1F600;");
    EXPECT_EQ(Cp932ToUtf8("\x94\x83\x82\xA4&#x1F600;"), "買う😀");
    EXPECT_EQ(*Utf8ToCp932("e\xCC\x81"), "e&#x301;");
    EXPECT_EQ(*Utf8ToCp932("🇯🇵"), "&#x1F1EF;&#x1F1F5;");
    EXPECT_EQ(*Utf8ToCp932("❤\xEF\xB8\x8F"), "&#x2764;&#xFE0F;");
    EXPECT_EQ(*Utf8ToCp932("a\xC2\xA0z"), "a&#xA0;z");
    EXPECT_EQ(Utf16ToCp932(u"\U0010FFFF"), "&#x10FFFF;");
    EXPECT_EQ(Cp932ToUtf16("&#x1F600;"), u"😀");
    // A surrogate without its other half is no character.
    EXPECT_EQ(Utf16ToCp932(std::u16string(1, u'\xD83D') + u"a"), "&#xFFFD;a");
    // A reference of U+FFFD is a character, unlike a byte CP932 does not define.
    EXPECT_EQ(Cp932ToUtf16("&#xFFFD;\x80", u'?'), u"\uFFFD?");
    // Nothing ever becomes "?".
    EXPECT_EQ(Utf8ToCp932("•••–")->find('?'), std::string::npos);
}

// The characters CP932 holds only as a look-alike take its code, as they always did: what an
// input method types for "〜" or "−" stays the code page's own character. They are the only
// characters that do not come back as they were.
TEST(Cp932References, LookAlikesTakeTheirCp932Codes) {
    std::u32string lookAlikes;
    for (char32_t c = 0; c < 0x10000; ++c) {
        std::string utf8;
        AppendUtf8(utf8, c);
        if ((c < 0xD800 || c >= 0xE000) && Cp932Holds(c) &&
            Cp932ToUtf8(*Utf8ToCp932(utf8)) != utf8) {
            lookAlikes += c;
            EXPECT_EQ(Utf8ToCp932(utf8)->find('&'), std::string::npos);
        }
    }
    EXPECT_EQ(lookAlikes, U"\u00A2\u00A3\u00A5\u00AC\u2014\u2016\u203E\u2212\u301C");
}

TEST(Cp932References, OnlyTheOneFormOfACharacterCp932CannotHoldIsAReference) {
    for (const char* literal : kLiterals) {
        std::string cp932 = *Utf8ToCp932(literal);
        EXPECT_EQ(Cp932ToUtf8(cp932), literal);
        EXPECT_FALSE(HoldsReference(cp932)) << literal;
    }
    // The literal of every character CP932 holds, look-alikes included, stays literal.
    for (char32_t c = 0; c < 0x10000; ++c) {
        if (Cp932Holds(c)) {
            std::string literal = ReferenceOf(c);
            ASSERT_EQ(Cp932ToUtf8(literal), literal) << literal;
            ASSERT_EQ(*Utf8ToCp932(literal), literal) << literal;
        }
    }
    // A byte that ends a double-byte character is never a '&': a reference after a lead byte
    // without its trail byte still counts.
    EXPECT_EQ(Cp932ToUtf8("\x81&#xE9;"),
              "\xEF\xBF\xBD"
              "é");
}

TEST(Cp932References, EveryCodePointCp932CannotHoldTakesItsReference) {
    for (char32_t c = 0x80; c <= 0x10FFFF; c += c < 0x30000 ? 1 : 97) {
        if ((c >= 0xD800 && c < 0xE000) || Cp932Holds(c)) {
            continue;
        }
        std::string utf8;
        AppendUtf8(utf8, c);
        ASSERT_EQ(*Utf8ToCp932(utf8), ReferenceOf(c)) << std::hex << static_cast<uint32_t>(c);
        ASSERT_EQ(Cp932ToUtf8(ReferenceOf(c)), utf8) << std::hex << static_cast<uint32_t>(c);
    }
}

TEST(Cp932References, AnyTextOfCodePointsComesBackFromCp932) {
    Texts texts(20260512);
    int ambiguous = 0;
    const int kTexts = 4000;
    for (int i = 0; i < kTexts; ++i) {
        std::string utf8 = texts.utf8();
        if (HoldsReference(utf8)) {
            ++ambiguous;  // pieces that met to look like a reference: accepted as one
            continue;
        }
        std::optional<std::string> cp932 = Utf8ToCp932(utf8);
        ASSERT_TRUE(cp932) << utf8;
        ASSERT_EQ(Cp932ToUtf8(*cp932), utf8);
        ASSERT_EQ(std::count(cp932->begin(), cp932->end(), '?'),
                  std::count(utf8.begin(), utf8.end(), '?'))
            << utf8;
        std::u16string utf16 = Utf16Of(utf8);
        ASSERT_EQ(Utf16ToCp932(utf16), *cp932) << utf8;
        ASSERT_EQ(Cp932ToUtf16(*cp932), utf16) << utf8;
        ASSERT_TRUE(Cp932RoundTrips(*cp932)) << utf8;
        size_t bad = 1;
        FileBlock block = Utf8ToCp932Block(utf8, 1, nullptr, 0, &bad);
        ASSERT_EQ(bad, 0u);
        ASSERT_EQ(std::string(block.block.data(), block.size), *cp932) << utf8;
        // Cp932RoomFor is room enough for any text.
        std::string out(Cp932RoomFor(utf8.size()), '\0');
        size_t taken = 0;
        size_t n = ConvertUtf8ToCp932(utf8, out.data(), out.size(), nullptr, 0, &bad, &taken);
        ASSERT_EQ(taken, utf8.size()) << utf8;
        ASSERT_EQ(out.substr(0, n), *cp932) << utf8;
    }
    EXPECT_LT(ambiguous, kTexts / 20);
}

// What iconv makes of CP932 bytes, or nothing when it refuses them.
std::optional<std::string> IconvUtf8(std::string_view cp932) {
    std::unique_ptr<void, int (*)(iconv_t)> cd(::iconv_open("UTF-8", "CP932"), ::iconv_close);
    std::string out(cp932.size() * 4 + 4, '\0');
    char* src = const_cast<char*>(cp932.data());
    char* dst = out.data();
    size_t srcLeft = cp932.size();
    size_t dstLeft = out.size();
    if (::iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) {
        return std::nullopt;
    }
    out.resize(out.size() - dstLeft);
    return out;
}

TEST(Cp932References, AnyCp932BytesComeBackFromTheirCharactersWhereTheyDid) {
    Texts texts(7);
    for (int i = 0; i < 4000; ++i) {
        std::string cp932 = texts.cp932();
        std::string utf8 = Cp932ToUtf8(cp932);
        std::u16string utf16 = Cp932ToUtf16(cp932);
        ASSERT_EQ(Utf8Of(utf16), utf8);
        // Bytes without references decode as they always did.
        if (!HoldsReference(cp932)) {
            if (std::optional<std::string> expected = IconvUtf8(cp932)) {
                ASSERT_EQ(utf8, *expected);
            }
        }
        // Back to the same bytes exactly when every sequence is defined and the one its
        // character encodes to, references or not.
        bool back = *Utf8ToCp932(utf8) == cp932;
        ASSERT_EQ(Cp932RoundTrips(cp932), back);
        ASSERT_EQ(Utf16ToCp932(utf16) == cp932, back);

        // The decoding that stops for a writer's special characters decodes alike, the
        // references included, and tells the same about coming back.
        static constexpr std::array<bool, 256> kNone{};
        std::string whole;
        bool roundTrips = true;
        ASSERT_EQ(AppendCp932AsUtf8Until(whole, cp932, kNone, &roundTrips), cp932.size());
        ASSERT_EQ(whole, utf8);
        ASSERT_EQ(roundTrips, back);
        std::array<bool, 256> stops{};
        stops['&'] = stops[';'] = stops['\\'] = stops['@'] = true;
        std::string pieces;
        for (size_t at = 0; at < cp932.size();) {
            size_t taken = AppendCp932AsUtf8Until(pieces, cp932.substr(at), stops, &roundTrips);
            at += taken;
            if (at < cp932.size()) {
                ASSERT_TRUE(stops[static_cast<unsigned char>(cp932[at])]) << cp932;
                ASSERT_EQ(ReferenceAt(cp932, at), 0u) << cp932;
                pieces += cp932[at++];
            }
        }
        ASSERT_EQ(pieces, utf8) << cp932;
    }
}

TEST(Cp932References, TellsWhereReferencesLie) {
    const std::string text = "a&#x1F600;&#x41;&#xE9;";
    EXPECT_EQ(ReferenceAt(text, 1), 9u);
    char32_t c = 0;
    EXPECT_EQ(ReferenceAt(text, 16, &c), 6u);
    EXPECT_EQ(c, U'é');
    EXPECT_EQ(ReferenceAt(text, 10), 0u);  // "&#x41;" is "A"'s, which CP932 holds
    EXPECT_EQ(ReferenceAt(text, 0), 0u);
    std::vector<size_t> inside;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (InsideReference(text, i)) {
            inside.push_back(i);
        }
    }
    EXPECT_EQ(inside, (std::vector<size_t>{2, 3, 4, 5, 6, 7, 8, 9, 17, 18, 19, 20, 21}));
    EXPECT_TRUE(HoldsReference(text));
    EXPECT_FALSE(HoldsReference("&#x41; &amp; &#x1f600;"));
}

TEST(Cp932References, AWholeTextGrowsPastItsUtf8AndListsBytesThatAreNotUtf8) {
    std::string utf8;
    for (int i = 0; i < 5000; ++i) {
        utf8 += "é😀a";
    }
    utf8 += "\xFF仕\xE4\xBB";
    std::vector<Unconvertible> bad;
    size_t count = 0;
    FileBlock block = Utf8ToCp932Block(utf8, 1, &bad, 5, &count);
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        expected += "&#xE9;&#x1F600;a";
    }
    expected += "\x8E\x64";
    EXPECT_EQ(std::string(block.block.data(), block.size), expected);
    EXPECT_GE(block.block.size(), block.size + 1);
    EXPECT_EQ(count, 2u);
    ASSERT_EQ(bad.size(), 2u);
    EXPECT_EQ(bad[0].offset, 5000u * 7);
    EXPECT_TRUE(bad[0].notUtf8);
    EXPECT_EQ(bad[1].offset, 5000u * 7 + 4);
    EXPECT_EQ(bad[1].length, 2u);
}

}  // namespace
}  // namespace brenvale

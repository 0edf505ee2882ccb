#include "common/cp932.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <array>
#include <cstdio>
#include <memory>

namespace brenvale {
namespace {

TEST(Cp932, RoundTripsJapaneseAndTheMicrosoftRows) {
    // "仕事" and the NEC row "①" and the IBM extension "髙" exist only in the Microsoft table.
    std::string utf8 = "仕事①髙~\\";
    std::optional<std::string> bytes = Utf8ToCp932(utf8);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, "\x8E\x64\x8E\x96\x87\x40\xFB\xFC~\\");
    EXPECT_EQ(Cp932ToUtf8(*bytes), utf8);
    EXPECT_EQ(Cp932ToUtf16(*bytes), u"仕事①髙~\\");
    EXPECT_EQ(Utf16ToCp932(u"仕事①髙~\\"), *bytes);
}

TEST(Cp932, LookAlikesEncodeAndOnlyBytesThatAreNotUtf8Fail) {
    EXPECT_EQ(*Utf8ToCp932("〜"), "\x81\x60");
    EXPECT_EQ(*Utf8ToCp932("−"), "\x81\x7C");
    EXPECT_EQ(Utf16ToCp932(u"ab\u00E9c"), "ab&#xE9;c");  // é has no CP932 code
    EXPECT_EQ(*Utf8ToCp932("ab😀"), "ab&#x1F600;");
    size_t bad = 0;
    EXPECT_FALSE(Utf8ToCp932("ab😀\xFF", &bad));
    EXPECT_EQ(bad, 6u);
}

TEST(Cp932, UndefinedBytesDecodeToReplacementCharacters) {
    EXPECT_EQ(Cp932ToUtf8("a\x81"), "a\xEF\xBF\xBD");
    EXPECT_EQ(Cp932ToUtf16(std::string("\xFF"
                                       "b",
                                       2)),
              u"\uFFFDb");
    EXPECT_EQ(Cp932ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Cp932, TellsWhichBytesComeBackFromADecodeAndAnEncode) {
    EXPECT_TRUE(Cp932RoundTrips("abc\x8E\x64\x87\x40\xFA\x40\xB1"));  // ASCII, 仕, ①, ⅰ, ｱ
    EXPECT_FALSE(Cp932RoundTrips("\xED\x40"));  // the NEC-selected IBM code of 纊 encodes as FA5C
    EXPECT_FALSE(Cp932RoundTrips("\x87\x90"));  // ≒ of the NEC row encodes as 81E0
    EXPECT_FALSE(Cp932RoundTrips("a\x80"));
    EXPECT_FALSE(Cp932RoundTrips("\x81"));  // a lead byte at the end
    EXPECT_EQ(FindUndecodable("ab\x8E\x64\x81\x20"), 4u);
    EXPECT_EQ(FindUndecodable("\xED\x40"), std::string_view::npos);
}

TEST(Cp932, ConvertsATextKeepingEveryCharacterAndListingBytesThatAreNotUtf8) {
    std::string utf8 =
        "a😀仕\xFF\xE4\xBB"
        "b\xC3\xA9";  // an emoji, 0xFF, a cut sequence, é
    const std::string whole =
        "a&#x1F600;\x8E\x64"
        "b&#xE9;";
    std::string out(Cp932RoomFor(utf8.size()), '\0');
    std::vector<Unconvertible> bad;
    size_t count = 0;
    size_t taken = 0;
    size_t n = ConvertUtf8ToCp932(utf8, out.data(), out.size(), &bad, 1, &count, &taken);
    EXPECT_EQ(out.substr(0, n), whole);
    EXPECT_EQ(taken, utf8.size());
    EXPECT_EQ(count, 2u);
    ASSERT_EQ(bad.size(), 1u);
    EXPECT_EQ(bad[0].offset, 8u);
    EXPECT_EQ(bad[0].length, 1u);
    EXPECT_TRUE(bad[0].notUtf8);

    // With less room it stops before the first character that does not fit, and the rest
    // converts on from there.
    for (size_t room = 0; room <= whole.size(); ++room) {
        std::string part(room, '\0');
        n = ConvertUtf8ToCp932(utf8, part.data(), room, nullptr, 0, &count, &taken);
        ASSERT_LE(n, room);
        std::string rest(Cp932RoomFor(utf8.size() - taken), '\0');
        size_t m = ConvertUtf8ToCp932(std::string_view(utf8).substr(taken), rest.data(),
                                      rest.size(), nullptr, 0, &count, &taken);
        ASSERT_EQ(part.substr(0, n) + rest.substr(0, m), whole) << room;
    }
    EXPECT_EQ(Utf8SequenceLength("\xED\xA0\x80"), 0u);  // a surrogate
    EXPECT_EQ(Utf8SequenceLength("\xC0\x80"), 0u);      // an overlong NUL
}

// What iconv itself makes of bytes, or nothing when it refuses them.
std::optional<std::string> Iconv(const char* to, const char* from, std::string_view in) {
    std::unique_ptr<void, int (*)(iconv_t)> cd(::iconv_open(to, from), ::iconv_close);
    std::string out(in.size() * 4 + 4, '\0');
    char* src = const_cast<char*>(in.data());
    char* dst = out.data();
    size_t srcLeft = in.size();
    size_t dstLeft = out.size();
    if (::iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) {
        return std::nullopt;
    }
    out.resize(out.size() - dstLeft);
    return out;
}

// The whole-text conversions go through tables of their own; they must agree with iconv on
// every character, in both directions, and write a reference where iconv has no code.
TEST(Cp932, WholeTextsConvertAsIconvDoesForEveryCharacter) {
    for (char32_t c = 0; c < 0x10000; ++c) {
        if (c >= 0xD800 && c < 0xE000) {
            continue;
        }
        std::string utf8;
        AppendUtf8(utf8, c);
        std::optional<std::string> expected = Iconv("CP932", "UTF-8", utf8);
        std::string out(Cp932RoomFor(utf8.size()), '\0');
        size_t count = 0;
        size_t taken = 0;
        size_t n = ConvertUtf8ToCp932(utf8, out.data(), out.size(), nullptr, 0, &count, &taken);
        char reference[16];
        std::snprintf(reference, sizeof reference, "&#x%X;", static_cast<unsigned>(c));
        ASSERT_EQ(*Utf8ToCp932(utf8), expected.value_or(reference))
            << std::hex << static_cast<uint32_t>(c);
        ASSERT_EQ(count, 0u) << std::hex << static_cast<uint32_t>(c);
        ASSERT_EQ(out.substr(0, n), expected.value_or(reference))
            << std::hex << static_cast<uint32_t>(c);
    }
    for (int lead = 0; lead < 256; ++lead) {
        for (int trail = 0; trail < 256; ++trail) {
            std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            std::string utf8 = Cp932ToUtf8(bytes);
            std::string viaUtf16;
            for (char16_t u : Cp932ToUtf16(bytes)) {
                AppendUtf8(viaUtf16, u);
            }
            ASSERT_EQ(utf8, viaUtf16) << lead << " " << trail;
            if (std::optional<std::string> expected = Iconv("UTF-8", "CP932", bytes)) {
                ASSERT_EQ(utf8, *expected) << lead << " " << trail;
            }
        }
    }
}

// Long runs of double-byte characters are decoded in one loop that writes through a small
// buffer: every pair, defined or not, a lead byte at the very end, and a stop between runs
// must come out as the character-by-character decode gives them.
TEST(Cp932, LongRunsDecodeAsTheirCharactersOneByOne) {
    std::string text;
    for (int lead : {0x81, 0x82, 0x88, 0x9F, 0xA0, 0xE0, 0xED, 0xFA, 0xFC}) {
        for (int trail = 0x30; trail < 0x100; trail += 3) {
            text += static_cast<char>(lead);
            text += static_cast<char>(trail);
        }
        text += "a*b";
    }
    text += '\x82';  // a lead byte with nothing after it
    std::string expected;
    for (char16_t u : Cp932ToUtf16(text)) {
        AppendUtf8(expected, u);
    }
    EXPECT_EQ(Cp932ToUtf8(text), expected);
    std::array<bool, 256> stops{};
    stops['*'] = true;
    std::string out;
    bool roundTrips = true;
    size_t taken = AppendCp932AsUtf8Until(out, text, stops, &roundTrips);
    ASSERT_EQ(text[taken], '*');
    EXPECT_EQ(out, Cp932ToUtf8(text.substr(0, taken)));
    EXPECT_EQ(roundTrips, Cp932RoundTrips(text.substr(0, taken)));
    // A run of defined Japanese characters alone comes back as it is.
    roundTrips = true;
    out.clear();
    std::string japanese = *Utf8ToCp932("会議の準備資料作成見積もり請求書");
    EXPECT_EQ(AppendCp932AsUtf8Until(out, japanese, stops, &roundTrips), japanese.size());
    EXPECT_TRUE(roundTrips);
    EXPECT_EQ(out, "会議の準備資料作成見積もり請求書");
}

// Three-byte UTF-8 is taken on a short path; the leads that bound the second byte further
// (E0, ED), a sequence cut short and a broken one still go by the full rule.
TEST(Cp932, ThreeByteSequencesKeepTheFullRules) {
    std::string utf8 = "準備\xE0\x80\x80備\xED\xA0\x80備\xE3\x81備\xE3\x41\x81備\xE3\x81";
    std::vector<Unconvertible> bad;
    size_t count = 0;
    std::string out(Cp932RoomFor(utf8.size()), '\0');
    size_t n = ConvertUtf8ToCp932(utf8, out.data(), out.size(), &bad, 10, &count, nullptr);
    EXPECT_EQ(out.substr(0, n), *Utf8ToCp932("準備備備備A備"));
    ASSERT_EQ(count, 6u);
    EXPECT_EQ(bad[0].offset, 6u);                   // E0 80: overlong
    EXPECT_EQ(bad[1].offset, 12u);                  // ED A0: a surrogate
    EXPECT_EQ(bad[2].length, 2u);                   // E3 81 and then a lead byte
    EXPECT_EQ(bad[3].offset, 23u);                  // E3 and then ASCII
    EXPECT_EQ(bad.back().offset, utf8.size() - 2);  // cut short at the end
}

}  // namespace
}  // namespace brenvale

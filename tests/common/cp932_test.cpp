#include "common/cp932.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(*Utf16ToCp932(u"仕事①髙~\\"), *bytes);
}

TEST(Cp932, LookAlikesEncodeAndOtherCharactersAreRefusedWithTheirPosition) {
    EXPECT_EQ(*Utf8ToCp932("〜"), "\x81\x60");
    EXPECT_EQ(*Utf8ToCp932("−"), "\x81\x7C");
    size_t bad = 0;
    EXPECT_FALSE(Utf16ToCp932(u"ab\u00E9c", &bad));  // é has no CP932 code
    EXPECT_EQ(bad, 2u);
    EXPECT_FALSE(Utf8ToCp932("ab😀", &bad));
    EXPECT_EQ(bad, 2u);
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

TEST(Cp932, ConvertsAWholeTextListingWhatItCannot) {
    std::string utf8 =
        "a😀仕\xFF\xE4\xBB"
        "b\xC3\xA9";  // an emoji, 0xFF, a cut sequence, é
    std::string out(utf8.size(), '\0');
    std::vector<Unconvertible> bad;
    size_t count = 0;
    size_t n = ConvertUtf8ToCp932(utf8, out.data(), &bad, 3, &count);
    EXPECT_EQ(out.substr(0, n), "a\x8E\x64\x62");
    EXPECT_EQ(count, 4u);
    ASSERT_EQ(bad.size(), 3u);
    EXPECT_EQ(bad[0].offset, 1u);
    EXPECT_EQ(bad[0].length, 4u);
    EXPECT_FALSE(bad[0].notUtf8);
    EXPECT_EQ(bad[1].offset, 8u);
    EXPECT_TRUE(bad[1].notUtf8);
    EXPECT_EQ(bad[2].offset, 9u);
    EXPECT_EQ(bad[2].length, 2u);
    EXPECT_TRUE(bad[2].notUtf8);
    EXPECT_EQ(Utf8SequenceLength("\xED\xA0\x80"), 0u);  // a surrogate
    EXPECT_EQ(Utf8SequenceLength("\xC0\x80"), 0u);      // an overlong NUL
}

}  // namespace
}  // namespace brenvale

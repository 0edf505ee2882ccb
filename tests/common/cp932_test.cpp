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

}  // namespace
}  // namespace brenvale

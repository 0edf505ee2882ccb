#include "common/icon_suffix.h"

#include <gtest/gtest.h>

#include "common/check_mark.h"
#include "common/text.h"

namespace brenvale {
namespace {

TEST(IconSuffix, FormatsTwoDigitsAtLeast) {
    EXPECT_EQ(FormatIconSuffix(0), "@00@");
    EXPECT_EQ(FormatIconSuffix(7), "@07@");
    EXPECT_EQ(FormatIconSuffix(12), "@12@");
    EXPECT_EQ(FormatIconSuffix(123), "@123@");
}

TEST(IconSuffix, StripsOnlyAFourByteTailBetweenAtSigns) {
    EXPECT_EQ(StripIconSuffix("x@05@"), "x");
    EXPECT_EQ(StripIconSuffix("@@@@"), "");
    EXPECT_EQ(StripIconSuffix("@@"), "@@");
    EXPECT_EQ(StripIconSuffix("abc@1@"), "abc@1@");
    EXPECT_EQ(StripIconSuffix("a@123@"), "a@123@");
}

TEST(IconSuffix, ParsesBlanksAsZeroAndAnythingElseAsNoIcon) {
    EXPECT_EQ(ParseIconSuffix("x@ 7@"), 7);
    EXPECT_EQ(ParseIconSuffix("x@5 @"), 50);
    EXPECT_EQ(ParseIconSuffix("x@xy@"), 0);
    EXPECT_EQ(ParseIconSuffix("x@-1@"), 0);
    EXPECT_EQ(ParseIconSuffix("@03@"), 3);
    EXPECT_EQ(ParseIconSuffix("abc@1@"), 0);
    EXPECT_EQ(ParseIconSuffix("@"), 0);
}

TEST(CheckMarks, OnlyTheFilledSquareIsChecked) {
    EXPECT_EQ(CheckMarkText(true), "\x81\xA1");
    EXPECT_EQ(CheckMarkText(false), "\x81\xA0");
    EXPECT_TRUE(IsCheckedMark("\x81\xA1"));
    EXPECT_FALSE(IsCheckedMark("\x81\xA0"));
    EXPECT_FALSE(IsCheckedMark(""));
    EXPECT_FALSE(IsCheckedMark("xy"));
}

TEST(TrimBlanks, RemovesOnlyOuterSpaceBytes) {
    EXPECT_EQ(TrimBlanks("  a b  "), "a b");
    EXPECT_EQ(TrimBlanks("    "), "");
    EXPECT_EQ(TrimBlanks("\x81\x40"
                         "a\x81\x40"),
              "\x81\x40"
              "a\x81\x40");  // double-width space
    EXPECT_EQ(TrimBlanks("\ta "), "\ta");
}

}  // namespace
}  // namespace brenvale

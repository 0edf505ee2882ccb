#include "common/text.h"

#include <gtest/gtest.h>

namespace brenvale {
namespace {

TEST(Text, ComparesAsciiLettersWithoutCase) {
    EXPECT_TRUE(EqualsIgnoreCase("/Home/A.bnv", "/home/a.BNV"));
    EXPECT_FALSE(EqualsIgnoreCase("a", "ab"));
    EXPECT_FALSE(EqualsIgnoreCase("\xC3\xA9", "\xC3\x89"));  // only ASCII folds
    EXPECT_EQ(ToLowerAscii("Ctrl+Ins"), "ctrl+ins");
}

TEST(Text, TrimWhiteRemovesAllAsciiWhiteSpace) {
    EXPECT_EQ(TrimWhite(" \t value \r\n"), "value");
    EXPECT_EQ(TrimWhite("   "), "");
}

}  // namespace
}  // namespace brenvale

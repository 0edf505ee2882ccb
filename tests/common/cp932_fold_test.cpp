#include "common/cp932_fold.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/folded_text.h"

namespace brenvale {
namespace {

using Codes = std::vector<uint16_t>;

TEST(TextFolding, LatinLettersAndDigitsFoldAcrossCaseAndWidth) {
    // A, a, Ａ, ａ all fold to A; ０ to 0; the ideographic space to a space.
    EXPECT_EQ(test::FoldedCodes("Aa\x82\x60\x82\x81"), (Codes{0x41, 0x41, 0x41, 0x41}));
    EXPECT_EQ(test::FoldedCodes("\x82\x4F"
                                "0"),
              (Codes{0x30, 0x30}));
    EXPECT_EQ(test::FoldedCodes("\x81\x40 "), (Codes{0x20, 0x20}));
    // Full-width punctuation: ！ － ＼ ～ as ! - \ ~.
    EXPECT_EQ(test::FoldedCodes("\x81\x49\x81\x7C\x81\x5F\x81\x60"), (Codes{'!', '-', '\\', '~'}));
    // Other letters keep their case: Greek Α (83 9F) and α (83 BF).
    EXPECT_NE(test::FoldedCodes("\x83\x9F"), test::FoldedCodes("\x83\xBF"));
}

TEST(TextFolding, HalfWidthKanaTakeTheirVoicedMarksIntoOneFullWidthKana) {
    // ｶﾞ = ガ (83 4B), ﾊﾟ = パ (83 70), ｳﾞ = ヴ (83 94), each one character of two bytes.
    EXPECT_EQ(test::FoldedCodes("\xB6\xDE"), (Codes{0x834B}));
    EXPECT_EQ(test::FoldedCodes("\xCA\xDF"), (Codes{0x8370}));
    EXPECT_EQ(test::FoldedCodes("\xB3\xDE"), (Codes{0x8394}));
    // ｱ = ア; a mark no kana takes stays a mark of its own (゛, 81 4A); ｰ = ー (81 5B).
    EXPECT_EQ(test::FoldedCodes("\xB1\xDE"), (Codes{0x8341, 0x814A}));
    EXPECT_EQ(test::FoldedCodes("\xB0"), (Codes{0x815B}));
    EXPECT_EQ(test::FoldedCodes("\xB6\xDE"), test::FoldedCodes("\x83\x4B"));
}

TEST(TextFolding, HiraganaEqualsKatakanaOnlyInTheKanaBlindFolding) {
    // が (82 AA) and ガ (83 4B).
    EXPECT_NE(test::FoldedCodes("\x82\xAA"), test::FoldedCodes("\x83\x4B"));
    EXPECT_EQ(test::FoldedCodes("\x82\xAA", true), (Codes{0x834B}));
    EXPECT_EQ(test::FoldedCodes("\xB6\xDE", true), (Codes{0x834B}));
    // Latin folding holds in both.
    EXPECT_EQ(test::FoldedCodes("a", true), (Codes{0x41}));
}

TEST(TextFolding, CharactersCarriedTwiceFoldAlikeAndOddBytesStandAlone) {
    // ≒ in the JIS row (81 E0) and the NEC row (87 90); 纊 in two IBM rows.
    EXPECT_EQ(test::FoldedCodes("\x81\xE0"), test::FoldedCodes("\x87\x90"));
    EXPECT_EQ(test::FoldedCodes("\xED\x40"), test::FoldedCodes("\xFA\x5C"));
    // A lead byte at the end, or before a byte that cannot follow it, is a character alone.
    EXPECT_EQ(test::FoldedCodes("a\x82"), (Codes{0x41, 0x82}));
    EXPECT_EQ(test::FoldedCodes("\x82\x0D"), (Codes{0x82, 0x0D}));
    // Kanji fold to themselves.
    EXPECT_EQ(test::FoldedCodes("\x8E\x64"), (Codes{0x8E64}));
}

TEST(TextFolding, SourcesAreEveryFormOfACharacter) {
    std::vector<std::string> a = TextFolding::Get(false).sources(0x41);
    std::sort(a.begin(), a.end());
    EXPECT_EQ(a, (std::vector<std::string>{"A", "a", "\x82\x60", "\x82\x81"}));
    std::vector<std::string> ga = TextFolding::Get(true).sources(0x834B);
    std::sort(ga.begin(), ga.end());
    EXPECT_EQ(ga, (std::vector<std::string>{"\x82\xAA", "\x83\x4B", "\xB6\xDE"}));
}

}  // namespace
}  // namespace brenvale

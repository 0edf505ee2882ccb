#include "common/cp932_fold.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace brenvale {
namespace {

// The folded codes of a CP932 text, character by character.
std::vector<uint16_t> Fold(std::string_view bytes, bool kanaBlind = false) {
    const TextFolding& folding = TextFolding::Get(kanaBlind);
    std::vector<uint16_t> codes;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        FoldedChar c = folding.next(p, end);
        codes.push_back(c.code);
        p += c.length;
    }
    return codes;
}

using Codes = std::vector<uint16_t>;

TEST(TextFolding, LatinLettersAndDigitsFoldAcrossCaseAndWidth) {
    // A, a, Ａ, ａ all fold to A; ０ to 0; the ideographic space to a space.
    EXPECT_EQ(Fold("Aa\x82\x60\x82\x81"), (Codes{0x41, 0x41, 0x41, 0x41}));
    EXPECT_EQ(Fold("\x82\x4F"
                   "0"),
              (Codes{0x30, 0x30}));
    EXPECT_EQ(Fold("\x81\x40 "), (Codes{0x20, 0x20}));
    // Full-width punctuation: ！ － ＼ ～ as ! - \ ~.
    EXPECT_EQ(Fold("\x81\x49\x81\x7C\x81\x5F\x81\x60"), (Codes{'!', '-', '\\', '~'}));
    // Other letters keep their case: Greek Α (83 9F) and α (83 BF).
    EXPECT_NE(Fold("\x83\x9F"), Fold("\x83\xBF"));
}

TEST(TextFolding, HalfWidthKanaTakeTheirVoicedMarksIntoOneFullWidthKana) {
    // ｶﾞ = ガ (83 4B), ﾊﾟ = パ (83 70), ｳﾞ = ヴ (83 94), each one character of two bytes.
    EXPECT_EQ(Fold("\xB6\xDE"), (Codes{0x834B}));
    EXPECT_EQ(Fold("\xCA\xDF"), (Codes{0x8370}));
    EXPECT_EQ(Fold("\xB3\xDE"), (Codes{0x8394}));
    // ｱ = ア; a mark no kana takes stays a mark of its own (゛, 81 4A); ｰ = ー (81 5B).
    EXPECT_EQ(Fold("\xB1\xDE"), (Codes{0x8341, 0x814A}));
    EXPECT_EQ(Fold("\xB0"), (Codes{0x815B}));
    EXPECT_EQ(Fold("\xB6\xDE"), Fold("\x83\x4B"));
}

TEST(TextFolding, HiraganaEqualsKatakanaOnlyInTheKanaBlindFolding) {
    // が (82 AA) and ガ (83 4B).
    EXPECT_NE(Fold("\x82\xAA"), Fold("\x83\x4B"));
    EXPECT_EQ(Fold("\x82\xAA", true), (Codes{0x834B}));
    EXPECT_EQ(Fold("\xB6\xDE", true), (Codes{0x834B}));
    // Latin folding holds in both.
    EXPECT_EQ(Fold("a", true), (Codes{0x41}));
}

TEST(TextFolding, CharactersCarriedTwiceFoldAlikeAndOddBytesStandAlone) {
    // ≒ in the JIS row (81 E0) and the NEC row (87 90); 纊 in two IBM rows.
    EXPECT_EQ(Fold("\x81\xE0"), Fold("\x87\x90"));
    EXPECT_EQ(Fold("\xED\x40"), Fold("\xFA\x5C"));
    // A lead byte at the end, or before a byte that cannot follow it, is a character alone.
    EXPECT_EQ(Fold("a\x82"), (Codes{0x41, 0x82}));
    EXPECT_EQ(Fold("\x82\x0D"), (Codes{0x82, 0x0D}));
    // Kanji fold to themselves.
    EXPECT_EQ(Fold("\x8E\x64"), (Codes{0x8E64}));
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

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace brenvale {

// One CP932 character folded for matching, and the bytes it took.
struct FoldedChar {
    uint16_t code;
    uint8_t length;
};

// How searching compares CP932 text, as Japanese users expect: Latin letters without regard
// to case, full-width and half-width forms alike (Ａ = A, ０ = 0, ｶﾞ = ガ, the ideographic
// space = the space), characters CP932 carries twice (the NEC and IBM rows) as one, and, in
// the kana-blind folding, hiragana as katakana. Every character folds to a code: a
// single-byte character to its byte, a double-byte one to lead * 256 + trail of the form
// all its look-alikes share. The tables are built once, from the code page itself, and
// folding reads the bytes where they lie.
class TextFolding {
public:
    // The folding that keeps hiragana and katakana apart, or the one that equates them.
    static const TextFolding& Get(bool kanaBlind);

    // The character at p (p < end), folded. A lead byte without a valid trail byte is a
    // character of its own, as the decoder reads it; a half-width kana followed by a
    // half-width voiced mark that makes one full-width kana (ｶﾞ, ﾊﾟ, ｳﾞ) is that kana.
    FoldedChar next(const unsigned char* p, const unsigned char* end) const {
        unsigned b = p[0];
        if (p + 1 < end) {
            unsigned t = p[1];
            if (IsLeadByte(b)) {
                uint16_t code = pairs_[((b - 0x80) << 8) | t];
                if (code != kUndefined) {
                    return {code, 2};
                }
            } else if (b >= 0xA6 && b <= 0xDD && (t == 0xDE || t == 0xDF)) {
                uint16_t code = voiced_[b - 0xA6][t - 0xDE];
                if (code != kUndefined) {
                    return {code, 2};
                }
            }
        }
        return {singles_[b], 1};
    }

    // Every byte sequence of one character that folds to code: what a match of that
    // character can look like in the text.
    std::vector<std::string> sources(uint16_t code) const;

    static bool IsLeadByte(unsigned b) {
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    }

private:
    static constexpr uint16_t kUndefined = 0xFFFF;

    explicit TextFolding(bool kanaBlind);

    uint16_t singles_[256];
    // Indexed by (lead - 0x80) * 256 + trail; kUndefined where CP932 defines no character.
    std::vector<uint16_t> pairs_;
    // A half-width kana from 0xA6 on with the voiced (0xDE) or semi-voiced (0xDF) mark.
    uint16_t voiced_[0xDD - 0xA6 + 1][2];
    // (folded code, the bytes of one source) sorted by code, for sources().
    std::vector<std::pair<uint16_t, uint16_t>> inverse_;
};

}  // namespace brenvale

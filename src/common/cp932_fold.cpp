#include "common/cp932_fold.h"

#include <algorithm>

#include "common/cp932.h"

namespace brenvale {

namespace {

constexpr char16_t kNoChar = 0xFFFF;

// The full-width forms of the half-width katakana U+FF61 to U+FF9F, in order.
constexpr char16_t kHalfWidthKana[] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9,
    0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB,
    0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1,
    0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5,
    0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9,
    0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C,
};
static_assert(std::size(kHalfWidthKana) == 0xFF9F - 0xFF61 + 1);

char16_t FoldUnicode(char16_t c, bool kanaBlind) {
    if (c >= 0xFF01 && c <= 0xFF5E) {
        c = static_cast<char16_t>(c - 0xFEE0);
    } else if (c == 0x3000) {
        c = u' ';
    } else if (c >= 0xFF61 && c <= 0xFF9F) {
        c = kHalfWidthKana[c - 0xFF61];
    }
    if (c >= u'a' && c <= u'z') {
        c = static_cast<char16_t>(c - u'a' + u'A');
    }
    if (kanaBlind) {
        if (c >= 0x3041 && c <= 0x3096) {
            c = static_cast<char16_t>(c + 0x60);
        } else if (c == 0x309D || c == 0x309E) {
            c = static_cast<char16_t>(c + 0x60);
        }
    }
    return c;
}

// The full-width katakana a kana becomes with the voiced (semi = false) or the semi-voiced
// mark; kNoChar when it takes none.
char16_t Voiced(char16_t kana, bool semi) {
    constexpr char16_t kDakutenBases[] = {0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,
                                          0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD,
                                          0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8};
    constexpr char16_t kHaRow[] = {0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB};
    if (std::find(std::begin(kHaRow), std::end(kHaRow), kana) != std::end(kHaRow)) {
        return static_cast<char16_t>(kana + (semi ? 2 : 1));
    }
    if (semi) {
        return kNoChar;
    }
    if (kana == 0x30A6) {
        return 0x30F4;  // ヴ
    }
    if (std::find(std::begin(kDakutenBases), std::end(kDakutenBases), kana) !=
        std::end(kDakutenBases)) {
        return static_cast<char16_t>(kana + 1);
    }
    return kNoChar;
}

// The one UTF-16 unit a CP932 character decodes to; kNoChar for a sequence CP932 does not
// define.
char16_t Decode(std::string_view bytes) {
    std::u16string u = Cp932ToUtf16(bytes);
    return u.size() == 1 && u[0] != 0xFFFD ? u[0] : kNoChar;
}

}  // namespace

const TextFolding& TextFolding::Get(bool kanaBlind) {
    static const TextFolding keep(false);
    static const TextFolding blind(true);
    return kanaBlind ? blind : keep;
}

TextFolding::TextFolding(bool kanaBlind) : pairs_((0xFC - 0x80 + 1) * 256, kUndefined) {
    // Every character of the code page with its Unicode value, and for every value the first
    // code that carries it: the form that characters carried twice fold to.
    std::vector<uint16_t> fromUnicode(0x10000, kUndefined);
    std::vector<std::pair<uint16_t, char16_t>> chars;
    auto add = [&](uint16_t code, std::string_view bytes) {
        char16_t u = Decode(bytes);
        if (u != kNoChar) {
            chars.emplace_back(code, u);
            if (fromUnicode[u] == kUndefined) {
                fromUnicode[u] = code;
            }
        }
    };
    for (unsigned b = 0; b < 256; ++b) {
        singles_[b] = static_cast<uint16_t>(b);
        if (!IsLeadByte(b)) {
            add(static_cast<uint16_t>(b), std::string(1, static_cast<char>(b)));
        }
    }
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLeadByte(lead)) {
            continue;
        }
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            char bytes[] = {static_cast<char>(lead), static_cast<char>(trail)};
            add(static_cast<uint16_t>(lead << 8 | trail), std::string_view(bytes, 2));
        }
    }
    auto canonical = [&](char16_t u, uint16_t code) {
        uint16_t folded = fromUnicode[FoldUnicode(u, kanaBlind)];
        if (folded != kUndefined) {
            return folded;
        }
        return fromUnicode[u] != kUndefined ? fromUnicode[u] : code;
    };
    for (const auto& [code, u] : chars) {
        uint16_t folded = canonical(u, code);
        if (code < 0x100) {
            singles_[code] = folded;
        } else {
            pairs_[((code >> 8) - 0x80) << 8 | (code & 0xFF)] = folded;
        }
    }
    for (unsigned b = 0xA6; b <= 0xDD; ++b) {
        char16_t kana = FoldUnicode(static_cast<char16_t>(0xFF61 + (b - 0xA1)), false);
        for (int semi = 0; semi < 2; ++semi) {
            char16_t voiced = Voiced(kana, semi != 0);
            voiced_[b - 0xA6][semi] = voiced != kNoChar && fromUnicode[voiced] != kUndefined
                                          ? canonical(voiced, fromUnicode[voiced])
                                          : kUndefined;
        }
    }

    for (unsigned b = 0; b < 256; ++b) {
        if (!IsLeadByte(b)) {
            inverse_.emplace_back(singles_[b], static_cast<uint16_t>(b));
        }
    }
    for (size_t i = 0; i < pairs_.size(); ++i) {
        if (pairs_[i] != kUndefined) {
            inverse_.emplace_back(pairs_[i], static_cast<uint16_t>(i + 0x8000));
        }
    }
    for (unsigned b = 0xA6; b <= 0xDD; ++b) {
        for (unsigned mark = 0; mark < 2; ++mark) {
            if (voiced_[b - 0xA6][mark] != kUndefined) {
                inverse_.emplace_back(voiced_[b - 0xA6][mark],
                                      static_cast<uint16_t>(b << 8 | (0xDE + mark)));
            }
        }
    }
    std::sort(inverse_.begin(), inverse_.end());
}

std::vector<std::string> TextFolding::sources(uint16_t code) const {
    std::vector<std::string> out;
    auto it =
        std::lower_bound(inverse_.begin(), inverse_.end(), std::pair<uint16_t, uint16_t>{code, 0});
    for (; it != inverse_.end() && it->first == code; ++it) {
        uint16_t raw = it->second;
        if (raw < 0x100) {
            out.emplace_back(1, static_cast<char>(raw));
        } else {
            out.push_back({static_cast<char>(raw >> 8), static_cast<char>(raw & 0xFF)});
        }
    }
    return out;
}

}  // namespace brenvale

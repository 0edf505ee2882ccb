#include "settings/text_order.h"

#include <cstdint>
#include <vector>

namespace brenvale {

namespace {

// Decodes UTF-8; a stray byte stands for itself so that any input orders the same way twice.
std::vector<char32_t> CodePoints(std::string_view text) {
    std::vector<char32_t> out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        auto byte = static_cast<unsigned char>(text[i]);
        int length = byte < 0x80 ? 1 : (byte >> 5) == 0x6 ? 2 : (byte >> 4) == 0xE ? 3 : 4;
        if (byte >= 0x80 && byte < 0xC0) {
            length = 1;
        }
        if (i + static_cast<size_t>(length) > text.size()) {
            length = 1;
        }
        char32_t c = length == 1   ? byte
                     : length == 2 ? byte & 0x1F
                     : length == 3 ? byte & 0x0F
                                   : byte & 0x07;
        for (int k = 1; k < length; ++k) {
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        out.push_back(c);
        i += static_cast<size_t>(length);
    }
    return out;
}

struct Weight {
    char32_t base;  // what the first comparison sees
    int variant;    // 0 lower case, half width, hiragana; 1 otherwise
};

Weight WeightOf(char32_t c) {
    int variant = 0;
    if (c >= 0xFF01 && c <= 0xFF5E) {  // full-width ASCII
        c -= 0xFEE0;
        variant = 1;
    }
    if (c >= 'A' && c <= 'Z') {
        return {c - 'A' + 'a', 1};
    }
    if (c >= 0x30A1 && c <= 0x30F6) {  // katakana
        return {c - 0x60, 1};
    }
    return {c, variant};
}

template <typename Key>
int CompareBy(const std::vector<char32_t>& a, const std::vector<char32_t>& b, Key key) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        auto ka = key(a[i]);
        auto kb = key(b[i]);
        if (ka != kb) {
            return ka < kb ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

}  // namespace

int CompareLocaleText(std::string_view a, std::string_view b) {
    std::vector<char32_t> ca = CodePoints(a);
    std::vector<char32_t> cb = CodePoints(b);
    if (int base = CompareBy(ca, cb, [](char32_t c) { return WeightOf(c).base; })) {
        return base;
    }
    if (int variant = CompareBy(ca, cb, [](char32_t c) { return WeightOf(c).variant; })) {
        return variant;
    }
    return CompareBy(ca, cb, [](char32_t c) { return c; });
}

}  // namespace brenvale

#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "common/cp932.h"
#include "common/cp932_fold.h"

namespace brenvale::test {

// The folded codes of a CP932 text, character by character.
inline std::vector<uint16_t> FoldedCodes(std::string_view bytes, bool kanaBlind = false) {
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

// The matches of needle in text, each after the one before, found by folding both whole and
// comparing character by character: what the matcher must agree with. A match may not begin
// or end inside a character reference, which the user sees as one character.
inline size_t ReferenceCount(std::string_view text, std::string_view needle, bool kanaBlind) {
    const TextFolding& folding = TextFolding::Get(kanaBlind);
    std::vector<uint16_t> t;
    std::vector<size_t> offsets;  // where each folded character begins, and the text's end
    // A reference's bytes are compared exactly, and never with the text they are spelt with.
    auto codes = [&](std::string_view bytes, std::vector<size_t>* at) {
        std::vector<uint16_t> out;
        const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
        for (const unsigned char* p = begin; p < begin + bytes.size();) {
            auto offset = static_cast<size_t>(p - begin);
            size_t length = ReferenceAt(bytes, offset);
            for (size_t k = 0; k < length; ++k) {
                out.push_back(static_cast<uint16_t>(0xFE00 + p[k]));
                if (at) {
                    at->push_back(offset + k);
                }
            }
            if (length == 0) {
                FoldedChar c = folding.next(p, begin + bytes.size());
                out.push_back(c.code);
                if (at) {
                    at->push_back(offset);
                }
                length = c.length;
            }
            p += length;
        }
        return out;
    };
    t = codes(text, &offsets);
    offsets.push_back(text.size());
    std::vector<bool> inside(text.size() + 1, false);
    for (size_t at = 0; at < text.size(); ++at) {
        for (size_t k = 1; k < ReferenceAt(text, at); ++k) {
            inside[at + k] = true;
        }
    }
    std::vector<uint16_t> n = codes(needle, nullptr);
    size_t count = 0;
    for (size_t i = 0; !n.empty() && i + n.size() <= t.size();) {
        if (std::equal(n.begin(), n.end(), t.begin() + static_cast<long>(i)) &&
            !inside[offsets[i]] && !inside[offsets[i + n.size()]]) {
            ++count;
            i += n.size();
        } else {
            ++i;
        }
    }
    return count;
}

}  // namespace brenvale::test

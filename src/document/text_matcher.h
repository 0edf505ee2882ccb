#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/cp932.h"
#include "common/cp932_fold.h"

namespace brenvale {

// Where a match lies in a text: its bytes [begin, end).
struct TextRange {
    size_t begin = 0;
    size_t end = 0;

    bool operator==(const TextRange&) const = default;
};

// Finds a CP932 needle in CP932 texts through TextFolding, on the bytes where they lie. The
// matches of a text are taken from its start, each after the one before (they never
// overlap): first, last and count all see that one sequence.
//
// Most texts of a big document hold no match, so each is first looked over for the byte
// sequences the needle's rarest character can take (16 bytes at a time); only a text that
// holds one is folded and compared. Not for use by several threads at once (it folds into a
// buffer of its own).
class TextMatcher {
public:
    TextMatcher(std::string_view needle, bool kanaBlind);

    // A needle without characters matches nothing.
    bool empty() const { return units_.empty(); }

    // Whether text may hold a match: false only when it cannot. Bytes up to limit
    // (limit >= text's end) may be read.
    bool mayMatch(std::string_view text, const char* limit) const;
    // For an Item's stored form at p (two mark bytes, its text, then the CR that ends it),
    // readable up to limit: where the CR lies, and in `may` whether the text may hold a match.
    const char* scanStored(const char* p, const char* limit, bool& may) const;
    // Whether the quick look can rule texts out (else every text is compared).
    bool looksQuickly() const { return !patterns_.empty(); }
    // With the quick look: the first byte in [from, end) where a form of the rarest character
    // begins, or end. Bytes up to limit (>= end) may be read. Many short texts that lie one
    // after the other are looked over at once this way.
    const char* nextCandidate(const char* from, const char* end, const char* limit) const;

    // The first match that begins at or after byte `from`.
    std::optional<TextRange> first(std::string_view text, size_t from = 0) const;
    // The last match that begins before byte `before`.
    std::optional<TextRange> last(std::string_view text, size_t before = SIZE_MAX) const;
    size_t count(std::string_view text) const;
    // Calls fn(range) for each match in order until it returns false.
    template <typename Fn>
    void forEach(std::string_view text, Fn&& fn) const {
        fold(text);
        size_t m = units_.size();
        size_t n = folded_.size() - 1;  // the last entry only marks the end
        for (size_t i = 0; i + m <= n;) {
            // A reference ("&#x1F600;") is one character to the user: no match begins or ends
            // inside one.
            if (matchesAt(i) && !InsideReference(text, folded_[i].offset) &&
                !InsideReference(text, folded_[i + m].offset)) {
                if (!fn(TextRange{folded_[i].offset, folded_[i + m].offset})) {
                    return;
                }
                i += m;
            } else {
                ++i;
            }
        }
    }

private:
    struct Folded {
        uint16_t code;
        uint32_t offset;
    };
    // A byte sequence the chosen character can take in a text: one byte, or two.
    struct Pattern {
        unsigned char first;
        unsigned char second;
        bool pair;
    };

    void choosePatterns();
    void fold(std::string_view text) const;
    bool matchesAt(size_t i) const {
        for (size_t k = 0; k < units_.size(); ++k) {
            if (folded_[i + k].code != units_[k]) {
                return false;
            }
        }
        return true;
    }
    // The bits of the positions in the 16 bytes at p where a pattern begins; p + 17 <= limit.
    unsigned patternBits(const char* p) const;
    bool patternAt(const char* p, const char* end) const;

    const TextFolding& folding_;
    std::vector<uint16_t> units_;
    // The bytes a pattern begins with, for the byte-by-byte look.
    bool firstBytes_[256] = {};
    // Empty when no character of the needle has few enough forms: every text is folded then.
    std::vector<Pattern> patterns_;
    mutable std::vector<Folded> folded_;
};

}  // namespace brenvale

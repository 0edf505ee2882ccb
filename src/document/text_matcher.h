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

// The folded code of each byte of a character reference: no character folds to one, so a
// reference matches only the same reference, exactly, and never the text it is spelt with
// (in any case or width), which the user does not see.
inline constexpr uint16_t kReferenceByteCode = 0xFE00;

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
    // Calls fn(range) for each match in order until it returns false. The folded text is
    // read once from its start, whatever the needle: after a mismatch the needle's own
    // repetitions say how much of it still matches (Knuth-Morris-Pratt), so a needle like
    // "aaa...ac" over "caaa...a" costs no more than the text's length.
    template <typename Fn>
    void forEach(std::string_view text, Fn&& fn) const {
        const size_t m = units_.size();
        if (m == 0) {
            return;
        }
        fold(text);
        const size_t n = folded_.size() - 1;  // the last entry only marks the end
        uint64_t steps = 0;
        size_t matched = 0;
        for (size_t i = 0; i < n; ++i) {
            const uint16_t code = folded_[i].code;
            while (matched > 0 && units_[matched] != code) {
                matched = fallback_[matched - 1];
                ++steps;
            }
            ++steps;
            if (units_[matched] == code && ++matched == m) {
                const size_t begin = folded_[i + 1 - m].offset;
                const size_t end = folded_[i + 1].offset;
                // A reference ("&#x1F600;") is one character to the user: no match begins or
                // ends inside one, and the search goes on as after a mismatch.
                if (InsideReference(text, begin) || InsideReference(text, end)) {
                    matched = fallback_[m - 1];
                    continue;
                }
                matched = 0;  // matches never overlap: the next one starts after this one
                if (!fn(TextRange{begin, end})) {
                    break;
                }
            }
        }
        comparisons_ += steps;
    }

    // How many character comparisons the matching has made so far: at most twice the
    // characters of the texts matched, which the tests and the benchmark hold it to.
    uint64_t comparisons() const { return comparisons_; }

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
    // The bits of the positions in the 16 bytes at p where a pattern begins; p + 17 <= limit.
    unsigned patternBits(const char* p) const;
    bool patternAt(const char* p, const char* end) const;

    const TextFolding& folding_;
    std::vector<uint16_t> units_;
    // For each prefix of the needle, the longest proper prefix that is also its suffix.
    std::vector<uint32_t> fallback_;
    // The bytes a pattern begins with, for the byte-by-byte look.
    bool firstBytes_[256] = {};
    // Empty when no character of the needle has few enough forms: every text is folded then.
    std::vector<Pattern> patterns_;
    mutable std::vector<Folded> folded_;
    mutable uint64_t comparisons_ = 0;
};

}  // namespace brenvale

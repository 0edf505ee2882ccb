#include "document/text_matcher.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace brenvale {

namespace {

// The most forms a character may take for the quick look to pay: beyond that every text is
// folded and compared.
constexpr size_t kMaxPatterns = 8;

}  // namespace

TextMatcher::TextMatcher(std::string_view needle, bool kanaBlind)
    : folding_(TextFolding::Get(kanaBlind)) {
    fold(needle);
    for (size_t i = 0; i + 1 < folded_.size(); ++i) {
        units_.push_back(folded_[i].code);
    }
    fallback_.assign(units_.size(), 0);
    for (size_t i = 1, k = 0; i < units_.size(); ++i) {
        while (k > 0 && units_[i] != units_[k]) {
            k = fallback_[k - 1];
        }
        if (units_[i] == units_[k]) {
            ++k;
        }
        fallback_[i] = static_cast<uint32_t>(k);
    }
    choosePatterns();
}

// The character whose forms are likeliest to be rare in a text: a single byte is common (a
// Latin letter, or the second byte of many a double-byte character), a pair of bytes is not.
void TextMatcher::choosePatterns() {
    size_t bestCost = SIZE_MAX;
    std::vector<std::string> best;
    for (uint16_t unit : units_) {
        std::vector<std::string> sources =
            (unit & 0xFF00) == kReferenceByteCode
                ? std::vector<std::string>{std::string(1, static_cast<char>(unit & 0xFF))}
                : folding_.sources(unit);
        if (sources.empty() || sources.size() > kMaxPatterns) {
            continue;
        }
        size_t cost = 0;
        for (const std::string& s : sources) {
            cost += s.size() == 1 ? 4 : 1;
        }
        if (cost < bestCost) {
            bestCost = cost;
            best = std::move(sources);
        }
    }
    for (const std::string& s : best) {
        patterns_.push_back({static_cast<unsigned char>(s[0]),
                             static_cast<unsigned char>(s.size() > 1 ? s[1] : 0), s.size() > 1});
        firstBytes_[static_cast<unsigned char>(s[0])] = true;
    }
}

void TextMatcher::fold(std::string_view text) const {
    folded_.clear();
    const auto* begin = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = begin + text.size();
    for (const unsigned char* p = begin; p < end;) {
        if (*p == '&') {
            auto at = static_cast<size_t>(p - begin);
            if (size_t n = ReferenceAt(text, at)) {
                for (size_t k = 0; k < n; ++k) {
                    folded_.push_back({static_cast<uint16_t>(kReferenceByteCode | p[k]),
                                       static_cast<uint32_t>(at + k)});
                }
                p += n;
                continue;
            }
        }
        FoldedChar c = folding_.next(p, end);
        folded_.push_back({c.code, static_cast<uint32_t>(p - begin)});
        p += c.length;
    }
    folded_.push_back({0, static_cast<uint32_t>(text.size())});
}

bool TextMatcher::patternAt(const char* p, const char* end) const {
    auto b = static_cast<unsigned char>(p[0]);
    if (!firstBytes_[b]) {
        return false;
    }
    for (const Pattern& pattern : patterns_) {
        if (b == pattern.first && (!pattern.pair || (p + 1 < end && static_cast<unsigned char>(
                                                                        p[1]) == pattern.second))) {
            return true;
        }
    }
    return false;
}

unsigned TextMatcher::patternBits(const char* p) const {
#if defined(__SSE2__)
    __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
    __m128i any = _mm_setzero_si128();
    for (const Pattern& pattern : patterns_) {
        __m128i hit = _mm_cmpeq_epi8(v0, _mm_set1_epi8(static_cast<char>(pattern.first)));
        if (pattern.pair) {
            hit = _mm_and_si128(
                hit, _mm_cmpeq_epi8(v1, _mm_set1_epi8(static_cast<char>(pattern.second))));
        }
        any = _mm_or_si128(any, hit);
    }
    return static_cast<unsigned>(_mm_movemask_epi8(any));
#else
    unsigned bits = 0;
    for (int i = 0; i < 16; ++i) {
        bits |= patternAt(p + i, p + 17) ? 1u << i : 0;
    }
    return bits;
#endif
}

const char* TextMatcher::nextCandidate(const char* p, const char* end, const char* limit) const {
    for (; p < end && limit - p >= 17; p += 16) {
        unsigned bits = patternBits(p);
        if (end - p < 16) {
            bits &= (1u << (end - p)) - 1;
        }
        if (bits) {
            return p + __builtin_ctz(bits);
        }
    }
    for (; p < end; ++p) {
        if (patternAt(p, limit)) {
            return p;
        }
    }
    return end;
}

bool TextMatcher::mayMatch(std::string_view text, const char* limit) const {
    if (units_.empty()) {
        return false;
    }
    if (patterns_.empty()) {
        return true;
    }
    const char* end = text.data() + text.size();
    return nextCandidate(text.data(), end, limit) != end;
}

const char* TextMatcher::scanStored(const char* p, const char* limit, bool& may) const {
    may = false;
    const char* q = p;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    for (; limit - q >= 17; q += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
        auto crBits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)));
        // The two mark bytes are no part of the text.
        unsigned text = q == p ? ~3u : ~0u;
        if (crBits) {
            unsigned before = (1u << __builtin_ctz(crBits)) - 1;
            if (!may && (text & before)) {
                may = patterns_.empty() || (patternBits(q) & text & before) != 0;
            }
            may = may && !units_.empty();
            return q + __builtin_ctz(crBits);
        }
        if (!may) {
            may = patterns_.empty() || (patternBits(q) & text) != 0;
        }
    }
#endif
    for (; q < limit && *q != '\r'; ++q) {
        if (!may && q - p >= 2) {
            may = patterns_.empty() || patternAt(q, limit);
        }
    }
    may = may && !units_.empty();
    return q;
}

std::optional<TextRange> TextMatcher::first(std::string_view text, size_t from) const {
    std::optional<TextRange> found;
    if (units_.empty()) {
        return found;
    }
    forEach(text, [&](TextRange r) {
        if (r.begin >= from) {
            found = r;
            return false;
        }
        return true;
    });
    return found;
}

std::optional<TextRange> TextMatcher::last(std::string_view text, size_t before) const {
    std::optional<TextRange> found;
    if (units_.empty()) {
        return found;
    }
    forEach(text, [&](TextRange r) {
        if (r.begin >= before) {
            return false;
        }
        found = r;
        return true;
    });
    return found;
}

size_t TextMatcher::count(std::string_view text) const {
    size_t n = 0;
    if (units_.empty()) {
        return n;
    }
    forEach(text, [&](TextRange) {
        ++n;
        return true;
    });
    return n;
}

}  // namespace brenvale

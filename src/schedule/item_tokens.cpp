#include "schedule/item_tokens.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/cp932_fold.h"
#include "schedule/item_scan.h"

namespace brenvale {

namespace {

constexpr unsigned char kWideLead = 0x81;
constexpr unsigned char kWideMarkTrail = 0x94;   // ＃
constexpr unsigned char kWideSpaceTrail = 0x40;  // the ideographic space

unsigned char At(std::string_view text, size_t i) {
    return static_cast<unsigned char>(text[i]);
}

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

// Reads exactly `count` ASCII digits at text[at].
bool ReadDigits(std::string_view text, size_t at, size_t count, int& value) {
    if (at + count > text.size()) {
        return false;
    }
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (!IsDigit(At(text, i))) {
            return false;
        }
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

// Whether a token's form that ends before `at` may end there.
bool EndsToken(std::string_view text, size_t at) {
    return at == text.size() || !token_detail::JoinsWords(At(text, at));
}

// A due's form at text[at]: "YYYY-MM-DD", optionally followed by "THH:MM". Returns the bytes
// it takes, 0 when none is there.
size_t ReadDueForm(std::string_view text, size_t at, DueDate& due) {
    if (at + 10 > text.size()) {
        return 0;
    }
    std::optional<Date> day = ParseIsoDate(text.substr(at, 10));
    if (!day) {
        return 0;
    }
    due = DueDate{*day, -1};
    size_t end = at + 10;
    int hours = 0;
    int minutes = 0;
    if (end < text.size() && text[end] == 'T' && ReadDigits(text, end + 1, 2, hours) &&
        end + 3 < text.size() && text[end + 3] == ':' && ReadDigits(text, end + 4, 2, minutes) &&
        hours < 24 && minutes < 60) {
        due.minutes = hours * 60 + minutes;
        end += 6;
    }
    return end - at;
}

size_t ReadRepeatForm(std::string_view text, size_t at, RepeatRule& rule) {
    size_t i = at;
    rule = RepeatRule{};
    if (i < text.size() && text[i] == '+') {
        rule.fromDue = true;
        ++i;
    }
    size_t digits = 0;
    int count = 0;
    while (i < text.size() && IsDigit(At(text, i)) && digits < 4) {
        count = count * 10 + (text[i] - '0');
        ++i;
        ++digits;
    }
    if (digits == 0 || digits > 3 || count == 0 || i >= text.size()) {
        return 0;
    }
    switch (text[i] | 0x20) {
        case 'd':
            rule.unit = RepeatUnit::Day;
            break;
        case 'w':
            rule.unit = RepeatUnit::Week;
            break;
        case 'm':
            rule.unit = RepeatUnit::Month;
            break;
        case 'y':
            rule.unit = RepeatUnit::Year;
            break;
        default:
            return 0;
    }
    rule.count = count;
    return i + 1 - at;
}

bool IsBlankAt(std::string_view text, size_t at) {
    unsigned char c = At(text, at);
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' ||
           (c == kWideLead && at + 1 < text.size() && At(text, at + 1) == kWideSpaceTrail);
}

bool IsMarkAt(std::string_view text, size_t at) {
    return text[at] == '#' || (At(text, at) == kWideLead && at + 1 < text.size() &&
                               At(text, at + 1) == kWideMarkTrail);
}

bool IsDigitCharAt(std::string_view text, size_t at, size_t length) {
    if (length == 1) {
        return IsDigit(At(text, at));
    }
    // Full-width digits ０ to ９.
    return At(text, at) == 0x82 && At(text, at + 1) >= 0x4F && At(text, at + 1) <= 0x58;
}

// The end of the tag whose name starts at `at`, or 0 when no tag starts there.
size_t ReadTagName(std::string_view text, size_t at) {
    if (at >= text.size() || IsBlankAt(text, at) || IsMarkAt(text, at)) {
        return 0;
    }
    bool digitsOnly = true;
    size_t i = at;
    while (i < text.size() && !IsBlankAt(text, i)) {
        size_t length = token_detail::CharLength(text, i);
        digitsOnly = digitsOnly && IsDigitCharAt(text, i, length);
        i += length;
    }
    return digitsOnly ? 0 : i;
}

// Whether text[at] starts with key (lower case ASCII), read without regard to case.
bool StartsWithKey(std::string_view text, size_t at, std::string_view key) {
    if (at + key.size() > text.size()) {
        return false;
    }
    for (size_t i = 0; i < key.size(); ++i) {
        char c = text[at + i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != key[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

namespace token_detail {

bool ReadTokenAt(std::string_view text, size_t at, ItemToken* token) {
    if (IsMarkAt(text, at)) {
        size_t nameBegin = at + (text[at] == '#' ? 1 : 2);
        size_t end = ReadTagName(text, nameBegin);
        if (end == 0) {
            return false;
        }
        *token = ItemToken{};
        token->kind = TokenKind::Tag;
        token->span = {static_cast<uint32_t>(at), static_cast<uint32_t>(end)};
        token->valueBegin = static_cast<uint32_t>(nameBegin);
        return true;
    }
    unsigned char first = At(text, at) | 0x20;
    if (first != 'd' && first != 'r') {
        return false;
    }
    ItemToken read;
    size_t valueBegin = 0;
    size_t length = 0;
    if (StartsWithKey(text, at, "due:")) {
        read.kind = TokenKind::Due;
        valueBegin = at + 4;
        length = ReadDueForm(text, valueBegin, read.due);
    } else if (StartsWithKey(text, at, "rec:")) {
        read.kind = TokenKind::Repeat;
        valueBegin = at + 4;
        length = ReadRepeatForm(text, valueBegin, read.rule);
    } else if (StartsWithKey(text, at, "done:")) {
        read.kind = TokenKind::Done;
        valueBegin = at + 5;
        length = ReadDueForm(text, valueBegin, read.due);
        // A done day has no time.
        if (length != 10) {
            length = 0;
        }
    }
    if (length == 0 || !EndsToken(text, valueBegin + length)) {
        return false;
    }
    read.span = {static_cast<uint32_t>(at), static_cast<uint32_t>(valueBegin + length)};
    read.valueBegin = static_cast<uint32_t>(valueBegin);
    *token = read;
    return true;
}

}  // namespace token_detail

bool MayHoldTokens(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    // The trail byte of ＃ counts only after its lead byte.
    auto wideMarkAt = [&](size_t i) { return i > 0 && p[i - 1] == kWideLead; };
    size_t i = 0;
#if defined(__SSE2__)
    // Every Item is looked at when an agenda or a tag index is made: 16 bytes at a time.
    const __m128i colon = _mm_set1_epi8(':');
    const __m128i mark = _mm_set1_epi8('#');
    const __m128i trail = _mm_set1_epi8(static_cast<char>(kWideMarkTrail));
    for (; i + 16 <= n; i += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        if (_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, colon), _mm_cmpeq_epi8(v, mark)))) {
            return true;
        }
        for (unsigned bits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, trail)));
             bits; bits &= bits - 1) {
            if (wideMarkAt(i + static_cast<size_t>(__builtin_ctz(bits)))) {
                return true;
            }
        }
    }
#endif
    for (; i < n; ++i) {
        if (p[i] == ':' || p[i] == '#' || (p[i] == kWideMarkTrail && wideMarkAt(i))) {
            return true;
        }
    }
    return false;
}

const char* ScanStoredForTokens(const char* p, const char* limit, bool* may) {
    *may = false;
    const auto* q = reinterpret_cast<const unsigned char*>(p);
    const auto* start = q;
    const auto* end = reinterpret_cast<const unsigned char*>(limit);
    // A byte of the text (after the two mark bytes) that may begin a token.
    auto candidate = [&](const unsigned char* at) {
        return *at == ':' || *at == '#' ||
               (*at == kWideMarkTrail && at - start >= 3 && at[-1] == kWideLead);
    };
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i colon = _mm_set1_epi8(':');
    const __m128i mark = _mm_set1_epi8('#');
    const __m128i trail = _mm_set1_epi8(static_cast<char>(kWideMarkTrail));
    for (; end - q >= 16; q += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
        auto crBits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)));
        unsigned text =
            (q == start ? ~3u : ~0u) & (crBits ? (1u << __builtin_ctz(crBits)) - 1 : ~0u);
        if (!*may) {
            auto hits = static_cast<unsigned>(
                _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, colon), _mm_cmpeq_epi8(v, mark))));
            *may = (hits & text) != 0;
            for (auto trails =
                     static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, trail))) & text;
                 trails && !*may; trails &= trails - 1) {
                *may = candidate(q + __builtin_ctz(trails));
            }
        }
        if (crBits) {
            return p + (q - start) + __builtin_ctz(crBits);
        }
    }
#endif
    for (; q < end && *q != '\r'; ++q) {
        if (!*may && q - start >= 2) {
            *may = candidate(q);
        }
    }
    return p + (q - start);
}

bool ItemTokens::hasTags() const {
    for (const ItemToken& token : tokens) {
        if (token.kind == TokenKind::Tag) {
            return true;
        }
    }
    return false;
}

ItemTokens ReadItemTokens(std::string_view text) {
    ItemTokens read;
    ForEachToken(text, [&](const ItemToken& token) {
        read.tokens.push_back(token);
        switch (token.kind) {
            case TokenKind::Due:
                if (!read.due) {
                    read.due = token.due;
                }
                break;
            case TokenKind::Repeat:
                if (!read.repeat) {
                    read.repeat = token.rule;
                }
                break;
            case TokenKind::Done:
                if (!read.done) {
                    read.done = token.due.day;
                }
                break;
            case TokenKind::Tag:
                break;
        }
    });
    return read;
}

std::optional<DueDate> ParseDueValue(std::string_view value) {
    DueDate due;
    if (value.empty() || ReadDueForm(value, 0, due) != value.size()) {
        return std::nullopt;
    }
    return due;
}

std::optional<RepeatRule> ParseRepeatValue(std::string_view value) {
    RepeatRule rule;
    if (value.empty() || ReadRepeatForm(value, 0, rule) != value.size()) {
        return std::nullopt;
    }
    return rule;
}

std::string FormatDue(const DueDate& due) {
    std::string out;
    AppendIsoDate(out, due.day);
    if (due.hasTime()) {
        int h = due.minutes / 60;
        int m = due.minutes % 60;
        out += 'T';
        out += static_cast<char>('0' + h / 10);
        out += static_cast<char>('0' + h % 10);
        out += ':';
        out += static_cast<char>('0' + m / 10);
        out += static_cast<char>('0' + m % 10);
    }
    return out;
}

std::string FormatRepeat(const RepeatRule& rule) {
    static constexpr char kUnits[] = {'d', 'w', 'm', 'y'};
    std::string out = rule.fromDue ? "+" : "";
    out += std::to_string(rule.count);
    out += kUnits[static_cast<int>(rule.unit)];
    return out;
}

std::string TagKey(std::string_view name) {
    const TextFolding& folding = TextFolding::Get(false);
    std::string key;
    key.reserve(name.size() * 2);
    const auto* p = reinterpret_cast<const unsigned char*>(name.data());
    const unsigned char* end = p + name.size();
    while (p < end) {
        FoldedChar c = folding.next(p, end);
        key += static_cast<char>(c.code >> 8);
        key += static_cast<char>(c.code & 0xFF);
        p += c.length;
    }
    return key;
}

bool FoldsTo(std::string_view name, std::string_view key) {
    const TextFolding& folding = TextFolding::Get(false);
    const auto* p = reinterpret_cast<const unsigned char*>(name.data());
    const unsigned char* end = p + name.size();
    size_t k = 0;
    while (p < end) {
        FoldedChar c = folding.next(p, end);
        if (k + 2 > key.size() || static_cast<unsigned char>(key[k]) != (c.code >> 8) ||
            static_cast<unsigned char>(key[k + 1]) != (c.code & 0xFF)) {
            return false;
        }
        k += 2;
        p += c.length;
    }
    return k == key.size();
}

}  // namespace brenvale

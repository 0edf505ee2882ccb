#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "schedule/calendar_date.h"

namespace brenvale {

// Bytes [begin, end) of a text.
struct TextSpan {
    uint32_t begin = 0;
    uint32_t end = 0;

    uint32_t size() const { return end - begin; }
    std::string_view of(std::string_view text) const { return text.substr(begin, end - begin); }
    bool operator==(const TextSpan&) const = default;
};

// A due day, with a local time of day or for the whole day.
struct DueDate {
    Date day;
    int minutes = -1;  // minutes after midnight; -1: the whole day

    bool hasTime() const { return minutes >= 0; }
    // Whole-day dues come before the timed ones of the same day.
    auto operator<=>(const DueDate&) const = default;
    bool operator==(const DueDate&) const = default;
};

enum class RepeatUnit : uint8_t { Day, Week, Month, Year };

// "rec:2w" repeats two weeks after the day the Item is ticked; "rec:+2w" two weeks after its
// previous due day.
struct RepeatRule {
    int count = 1;  // 1 to 999
    RepeatUnit unit = RepeatUnit::Day;
    bool fromDue = false;

    bool operator==(const RepeatRule&) const = default;
};

enum class TokenKind : uint8_t { Due, Tag, Repeat, Done };

// One token of a text: "due:2026-12-24", "due:2026-12-24T09:00", "#tag", "rec:1w",
// "rec:+1m", "done:2026-12-24". Only tokens that read are tokens: a malformed one is plain
// text.
struct ItemToken {
    TokenKind kind = TokenKind::Tag;
    TextSpan span;            // the whole token, key or mark included
    uint32_t valueBegin = 0;  // after the key's ':' or the tag's mark
    DueDate due;              // Due; the day of Done
    RepeatRule rule;          // Repeat

    std::string_view value(std::string_view text) const {
        return text.substr(valueBegin, span.end - valueBegin);
    }
};

// Everything the views need of one text, read once per change of the text.
struct ItemTokens {
    std::vector<ItemToken> tokens;  // in the order of the text
    std::optional<DueDate> due;     // of the first due token
    std::optional<RepeatRule> repeat;
    std::optional<Date> done;

    bool empty() const { return tokens.empty(); }
    bool hasTags() const;
};

// False only when text cannot hold a token (it has no ':', '#' or '＃'): most texts are
// ruled out by this look alone.
bool MayHoldTokens(std::string_view text);

// Calls fn(const ItemToken&) for every token of a CP932 text, in order, without allocating.
// A token starts at the start of the text or after a character that does not join words:
// anything but an ASCII letter, digit or one of - / : + _ # & @ = % ~ . \ (so "C#", "&#32;"
// and "http://x/#a" hold no tag). A key's value ends where its form ends, and that must be
// followed by the end, a blank, a Japanese character or ASCII punctuation other than those
// joiners. A tag runs to the next space (ASCII or ideographic), TAB or line break; it must not
// start with another mark or be digits alone ("#1" is no tag).
template <typename Fn>
void ForEachToken(std::string_view text, Fn&& fn);

ItemTokens ReadItemTokens(std::string_view text);

// The value of a due token ("2026-12-24" or "2026-12-24T09:00"), of a repeat token ("1d",
// "+2w") read whole.
std::optional<DueDate> ParseDueValue(std::string_view value);
std::optional<RepeatRule> ParseRepeatValue(std::string_view value);

// The stored forms of a due and of a repeat.
std::string FormatDue(const DueDate& due);
std::string FormatRepeat(const RepeatRule& rule);

// A tag's name folded as the find bar folds text (width and case; hiragana and katakana stay
// apart): two tags are the same tag when their keys are equal. The key orders tags too.
std::string TagKey(std::string_view name);
// Whether TagKey(name) == key, without making the key.
bool FoldsTo(std::string_view name, std::string_view key);

// ---- implementation details of ForEachToken ----
namespace token_detail {

// Reads the token that may start at `at` (a word start); false when none does. *token is
// filled on success.
bool ReadTokenAt(std::string_view text, size_t at, ItemToken* token);
// Whether the character at p joins words (ASCII letters, digits and the joiners).
inline bool JoinsWords(unsigned char c) {
    static constexpr auto kJoins = [] {
        std::array<bool, 256> joins{};
        for (int c = '0'; c <= '9'; ++c) {
            joins[c] = true;
        }
        for (int c = 'a'; c <= 'z'; ++c) {
            joins[c] = joins[c - 'a' + 'A'] = true;
        }
        for (char c : std::string_view("-/:+_#&@=%~.\\")) {
            joins[static_cast<unsigned char>(c)] = true;
        }
        return joins;
    }();
    return kJoins[c];
}
// Whether a token may start with byte c: '#', the lead byte of '＃', or the first letter of a
// key. Most word starts (Japanese characters) are ruled out by this alone.
inline bool MayStartToken(unsigned char c) {
    return c == '#' || c == 0x81 || (c | 0x20) == 'd' || (c | 0x20) == 'r';
}
// The bytes of the character at `at`: a lead byte without a valid trail byte after it is a
// character of its own, as the decoder reads it (so a space after it stays a space).
inline size_t CharLength(std::string_view text, size_t at) {
    auto b = static_cast<unsigned char>(text[at]);
    if (!((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) || at + 1 >= text.size()) {
        return 1;
    }
    auto t = static_cast<unsigned char>(text[at + 1]);
    return (t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC) ? 2 : 1;
}

}  // namespace token_detail

template <typename Fn>
void ForEachToken(std::string_view text, Fn&& fn) {
    if (!MayHoldTokens(text)) {
        return;
    }
    bool wordStart = true;
    for (size_t at = 0; at < text.size();) {
        ItemToken token;
        if (wordStart && token_detail::MayStartToken(static_cast<unsigned char>(text[at])) &&
            token_detail::ReadTokenAt(text, at, &token)) {
            fn(static_cast<const ItemToken&>(token));
            at = token.span.end;
            // A token ends in a letter or digit, or before a blank: nothing starts right after it.
            wordStart = false;
            continue;
        }
        size_t length = token_detail::CharLength(text, at);
        wordStart = length == 2 || !token_detail::JoinsWords(static_cast<unsigned char>(text[at]));
        at += length;
    }
}

}  // namespace brenvale

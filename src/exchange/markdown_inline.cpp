#include "exchange/markdown_inline.h"

#include <array>
#include <cstring>
#include <optional>
#include <utility>

#include "common/cp932.h"
#include "common/text.h"
#include "exchange/markdown_entities.h"

namespace brenvale {

namespace {

// The characters an escape may be needed for anywhere in a text: Markdown's inline marks, a
// line break, and "&" (escaped only where it starts a character reference); in a heading "#"
// too. All are ASCII, and CP932 text is looked at for them as it is decoded.
constexpr std::array<bool, 256> SpecialCharacters(std::string_view characters) {
    std::array<bool, 256> table{};
    for (char c : characters) {
        table[static_cast<unsigned char>(c)] = true;
    }
    return table;
}
constexpr std::array<bool, 256> kSpecial = SpecialCharacters("\\`*_[]<~|\n&");
constexpr std::array<bool, 256> kHeadingSpecial = SpecialCharacters("\\`*_[]<~|\n&#");

bool IsAsciiPunctuation(char c) {
    return c != '\0' && std::strchr("!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~", c) != nullptr;
}

bool IsAlnum(char c) {
    return IsAsciiDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Whether text, which starts with "&", reads as a character reference ("&amp;", "&#32;").
bool LooksLikeReference(std::string_view text) {
    size_t i = 1;
    if (i < text.size() && text[i] == '#') {
        ++i;
        if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
            ++i;
        }
    }
    size_t start = i;
    while (i < text.size() && IsAlnum(text[i])) {
        ++i;
    }
    return i > start && i < text.size() && text[i] == ';';
}

void AppendReference(std::string& out, char c) {
    out += c == '\t' ? "&#9;" : "&#32;";
}

// A character reference at the start of a text: the characters it stands for (second is 0
// but for a few named ones) and its length.
struct Reference {
    EntityCharacters characters;
    size_t length = 0;
};

// The reference at the start of text, as Markdown reads it: a number, decimal (up to 7
// digits) or hexadecimal (up to 6), or the name of an HTML entity; nothing when none starts
// there.
std::optional<Reference> ReadReference(std::string_view text) {
    if (text.size() < 3) {
        return std::nullopt;
    }
    size_t semicolon = text.find(';', 1);
    if (semicolon == std::string_view::npos || semicolon > 32) {
        return std::nullopt;
    }
    std::string_view body = text.substr(1, semicolon - 1);
    if (!body.empty() && body[0] == '#') {
        bool hex = body.size() > 1 && (body[1] == 'x' || body[1] == 'X');
        std::string_view digits = body.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > (hex ? 6u : 7u)) {
            return std::nullopt;
        }
        char32_t value = 0;
        for (char c : digits) {
            int d = IsAsciiDigit(c)               ? c - '0'
                    : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                  : -1;
            if (d < 0) {
                return std::nullopt;
            }
            value = value * (hex ? 16 : 10) + static_cast<char32_t>(d);
        }
        // No character, and NUL, which no text holds, read as U+FFFD.
        if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
            value = 0xFFFD;
        }
        return Reference{{value, 0}, semicolon + 1};
    }
    if (std::optional<EntityCharacters> characters = HtmlEntity(body)) {
        return Reference{*characters, semicolon + 1};
    }
    return std::nullopt;
}

// The length of a line break tag ("<br>", "<br/>", "<br />", any case) at the start of text.
size_t LineBreakTag(std::string_view text) {
    if (text.size() < 4 || (text[1] != 'b' && text[1] != 'B') ||
        (text[2] != 'r' && text[2] != 'R')) {
        return 0;
    }
    size_t i = 3;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    if (i < text.size() && text[i] == '/') {
        ++i;
    }
    return i < text.size() && text[i] == '>' ? i + 1 : 0;
}

}  // namespace

bool AppendMarkdownText(std::string& out, std::string_view cp932, MarkdownSpot spot) {
    // Spaces, TABs, digits and the marks that begin a block are all below 0x40, so none of
    // them is ever the second byte of a double-byte code: they are found on the bytes.
    size_t begin = 0;
    while (begin < cp932.size() && IsBlank(cp932[begin])) {
        AppendReference(out, cp932[begin++]);
    }
    size_t end = cp932.size();
    while (end > begin && IsBlank(cp932[end - 1])) {
        --end;
    }
    // At the start of a list item's content a few characters would begin a block: a heading,
    // a quote, a nested list, an ordered list ("1." or "1)").
    size_t orderedMark = std::string_view::npos;
    if (spot == MarkdownSpot::ListItem && begin == 0 && end > 0) {
        size_t digits = 0;
        while (digits < end && IsAsciiDigit(cp932[digits])) {
            ++digits;
        }
        if (digits > 0 && digits < end && (cp932[digits] == '.' || cp932[digits] == ')')) {
            orderedMark = digits;
        } else if (cp932[0] != '\0' && std::strchr("#>+-", cp932[0]) != nullptr) {
            out += '\\';
        }
    }
    const std::array<bool, 256>& special =
        spot == MarkdownSpot::Heading ? kHeadingSpecial : kSpecial;
    bool roundTrips = true;
    size_t i = begin;
    while (i < end) {
        if (i == orderedMark) {
            out += '\\';
            out += cp932[i++];
            continue;
        }
        // Runs of ordinary characters are decoded whole; the decoding stops at a special one.
        size_t runEnd = orderedMark > i && orderedMark < end ? orderedMark : end;
        i += AppendCp932AsUtf8Until(out, cp932.substr(i, runEnd - i), special, &roundTrips);
        if (i == runEnd) {
            continue;
        }
        char c = cp932[i];
        if (c == '\n') {
            out += "<br>";
        } else {
            if (c != '&' || LooksLikeReference(cp932.substr(i))) {
                out += '\\';
            }
            out += c;
        }
        ++i;
    }
    for (size_t j = end; j < cp932.size(); ++j) {
        AppendReference(out, cp932[j]);
    }
    return roundTrips;
}

void AppendMarkdownUnescaped(std::string& out, std::string_view markdown) {
    static constexpr std::array<bool, 256> kStarts = SpecialCharacters("\\&<");
    size_t i = 0;
    size_t run = 0;  // the start of the characters not copied yet, all taken as written
    while (i < markdown.size()) {
        char c = markdown[i];
        if (!kStarts[static_cast<unsigned char>(c)]) {
            ++i;
            continue;
        }
        out.append(markdown.data() + run, i - run);
        run = i;
        if (c == '\\' && i + 1 < markdown.size() && IsAsciiPunctuation(markdown[i + 1])) {
            out += markdown[i + 1];
            i += 2;
            run = i;
            continue;
        }
        if (c == '&') {
            if (std::optional<Reference> reference = ReadReference(markdown.substr(i))) {
                AppendUtf8(out, reference->characters.first);
                if (reference->characters.second != 0) {
                    AppendUtf8(out, reference->characters.second);
                }
                i += reference->length;
                run = i;
                continue;
            }
        }
        if (c == '<') {
            if (size_t tag = LineBreakTag(markdown.substr(i))) {
                out += '\n';
                i += tag;
                run = i;
                continue;
            }
        }
        ++i;
    }
    out.append(markdown.data() + run, markdown.size() - run);
}

}  // namespace brenvale

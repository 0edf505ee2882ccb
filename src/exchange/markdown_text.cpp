#include "exchange/markdown_text.h"

#include <array>
#include <cstring>

#include "common/cp932.h"
#include "common/hex.h"

namespace brenvale {

namespace {

// The characters an escape may be needed for anywhere in a text: Markdown's inline marks, a
// line break, and "&" (escaped only where it starts a character reference).
constexpr std::array<bool, 256> kMarkdownSpecial = [] {
    std::array<bool, 256> table{};
    for (char c : std::string_view("\\`*_[]<~|\n&")) {
        table[static_cast<unsigned char>(c)] = true;
    }
    return table;
}();

bool IsAsciiPunctuation(char c) {
    return c != '\0' && std::strchr("!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~", c) != nullptr;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsAlnum(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
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

// The character a reference at the start of text stands for, and its length; nothing when
// it is none this reader knows.
std::optional<std::pair<char32_t, size_t>> ReadReference(std::string_view text) {
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
            int d = IsDigit(c)                    ? c - '0'
                    : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                  : -1;
            if (d < 0) {
                return std::nullopt;
            }
            value = value * (hex ? 16 : 10) + static_cast<char32_t>(d);
        }
        if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
            value = 0xFFFD;
        }
        return std::make_pair(value, semicolon + 1);
    }
    static const std::pair<std::string_view, char32_t> kNamed[] = {
        {"amp", U'&'},   {"lt", U'<'},        {"gt", U'>'},        {"quot", U'"'},
        {"apos", U'\''}, {"nbsp", U'\u00A0'}, {"copy", U'\u00A9'}, {"yen", U'\u00A5'},
    };
    for (const auto& [name, c] : kNamed) {
        if (body == name) {
            return std::make_pair(c, semicolon + 1);
        }
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

void AppendMarkdownEscaped(std::string& out, std::string_view utf8, MarkdownSpot spot) {
    size_t begin = 0;
    while (begin < utf8.size() && IsBlank(utf8[begin])) {
        AppendReference(out, utf8[begin++]);
    }
    size_t end = utf8.size();
    while (end > begin && IsBlank(utf8[end - 1])) {
        --end;
    }
    // At the start of a list item's content a few characters would begin a block: a heading,
    // a quote, a nested list, an ordered list ("1." or "1)").
    size_t orderedMark = std::string_view::npos;
    if (spot == MarkdownSpot::ListItem && begin == 0 && end > 0) {
        size_t digits = 0;
        while (digits < end && IsDigit(utf8[digits])) {
            ++digits;
        }
        if (digits > 0 && digits < end && (utf8[digits] == '.' || utf8[digits] == ')')) {
            orderedMark = digits;
        } else if (utf8[0] != '\0' && std::strchr("#>+-", utf8[0]) != nullptr) {
            out += '\\';
        }
    }
    // Runs of ordinary characters are copied whole; only the special ones are looked at.
    size_t run = begin;
    for (size_t i = begin; i < end; ++i) {
        char c = utf8[i];
        if (!kMarkdownSpecial[static_cast<unsigned char>(c)] && i != orderedMark &&
            !(c == '#' && spot == MarkdownSpot::Heading)) {
            continue;
        }
        out.append(utf8.data() + run, i - run);
        run = i + 1;
        if (c == '\n') {
            out += "<br>";
            continue;
        }
        if (c != '&' || LooksLikeReference(utf8.substr(i))) {
            out += '\\';
        }
        out += c;
    }
    out.append(utf8.data() + run, end - run);
    for (size_t i = end; i < utf8.size(); ++i) {
        AppendReference(out, utf8[i]);
    }
}

void AppendMarkdownUnescaped(std::string& out, std::string_view markdown) {
    size_t i = 0;
    size_t run = 0;  // the start of the characters not copied yet, all taken as written
    while (i < markdown.size()) {
        char c = markdown[i];
        if (c != '\\' && c != '&' && c != '<') {
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
            if (auto reference = ReadReference(markdown.substr(i))) {
                AppendUtf8(out, reference->first);
                i += reference->second;
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

std::string FormatMarkdownNote(const MarkdownNote& note) {
    if (note.empty()) {
        return "";
    }
    std::string out = "<!--";
    if (note.topic) {
        out += " topic";
    }
    if (note.icon != 0) {
        out += " icon:" + std::to_string(note.icon);
    }
    if (note.mark) {
        out += " mark:" + HexOf(*note.mark);
    }
    if (note.exact) {
        out += " cp932:" + HexOf(*note.exact);
    }
    return out + " -->";
}

std::optional<MarkdownNote> ParseMarkdownNote(std::string_view comment) {
    if (!comment.starts_with("<!--") || !comment.ends_with("-->") || comment.size() < 7) {
        return std::nullopt;
    }
    std::string_view body = comment.substr(4, comment.size() - 7);
    MarkdownNote note;
    bool any = false;
    size_t i = 0;
    while (i < body.size()) {
        if (body[i] == ' ') {
            ++i;
            continue;
        }
        size_t end = body.find(' ', i);
        std::string_view field = body.substr(i, end == std::string_view::npos ? end : end - i);
        i = end == std::string_view::npos ? body.size() : end;
        any = true;
        if (field == "topic") {
            note.topic = true;
        } else if (field.starts_with("icon:")) {
            std::string_view digits = field.substr(5);
            if (digits.empty() || digits.size() > 2) {
                return std::nullopt;
            }
            int icon = 0;
            for (char c : digits) {
                if (!IsDigit(c)) {
                    return std::nullopt;
                }
                icon = icon * 10 + (c - '0');
            }
            note.icon = icon;
        } else if (field.starts_with("mark:")) {
            note.mark = BytesOfHex(field.substr(5));
            if (!note.mark || note.mark->size() > 2) {
                return std::nullopt;
            }
        } else if (field.starts_with("cp932:")) {
            note.exact = BytesOfHex(field.substr(6));
            if (!note.exact) {
                return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
    }
    if (!any) {
        return std::nullopt;
    }
    return note;
}

std::optional<MarkdownNote> TakeTrailingNote(std::string_view& content) {
    if (!content.ends_with("-->")) {
        return std::nullopt;
    }
    size_t open = content.rfind("<!--");
    if (open == std::string_view::npos || (open > 0 && content[open - 1] != ' ')) {
        return std::nullopt;
    }
    std::optional<MarkdownNote> note = ParseMarkdownNote(content.substr(open));
    if (note) {
        content = content.substr(0, open == 0 ? 0 : open - 1);
    }
    return note;
}

}  // namespace brenvale

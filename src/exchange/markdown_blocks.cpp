#include "exchange/markdown_blocks.h"

#include "common/text.h"

namespace brenvale {

std::string_view TrimMarkdownBlanks(std::string_view s) {
    while (!s.empty() && IsMarkdownBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsMarkdownBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

Indent IndentOf(std::string_view line) {
    Indent ind;
    while (ind.start < line.size() && IsMarkdownBlank(line[ind.start])) {
        ind.columns = line[ind.start] == '\t' ? NextTabStop(ind.columns) : ind.columns + 1;
        ++ind.start;
    }
    return ind;
}

bool IsThematicBreak(std::string_view rest) {
    char c = rest.front();
    if (c != '-' && c != '*' && c != '_') {
        return false;
    }
    size_t count = 0;
    for (char x : rest) {
        if (x == c) {
            ++count;
        } else if (!IsMarkdownBlank(x)) {
            return false;
        }
    }
    return count >= 3;
}

size_t ListMarkerWidth(std::string_view rest, bool* ordered) {
    size_t width = 0;
    *ordered = false;
    if (rest[0] == '-' || rest[0] == '*' || rest[0] == '+') {
        width = 1;
    } else {
        while (width < rest.size() && width < 10 && IsAsciiDigit(rest[width])) {
            ++width;
        }
        if (width == 0 || width > 9 || width == rest.size() ||
            (rest[width] != '.' && rest[width] != ')')) {
            return 0;
        }
        ++width;
        *ordered = true;
    }
    return width == rest.size() || IsMarkdownBlank(rest[width]) ? width : 0;
}

int AtxLevel(std::string_view rest) {
    size_t level = 0;
    while (level < rest.size() && rest[level] == '#') {
        ++level;
    }
    if (level == 0 || level > 6 || (level < rest.size() && !IsMarkdownBlank(rest[level]))) {
        return 0;
    }
    return static_cast<int>(level);
}

std::string_view AtxContent(std::string_view rest, int level) {
    std::string_view s = TrimMarkdownBlanks(rest.substr(static_cast<size_t>(level)));
    size_t end = s.size();
    while (end > 0 && s[end - 1] == '#') {
        --end;
    }
    if (end == 0) {
        return {};
    }
    if (end < s.size() && IsMarkdownBlank(s[end - 1])) {
        s = TrimMarkdownBlanks(s.substr(0, end));
    }
    return s;
}

int SetextLevel(std::string_view rest) {
    char c = rest.front();
    if (c != '=' && c != '-') {
        return 0;
    }
    size_t i = 0;
    while (i < rest.size() && rest[i] == c) {
        ++i;
    }
    while (i < rest.size() && IsMarkdownBlank(rest[i])) {
        ++i;
    }
    return i == rest.size() ? (c == '=' ? 1 : 2) : 0;
}

size_t FenceLength(std::string_view rest) {
    char c = rest.front();
    if (c != '`' && c != '~') {
        return 0;
    }
    size_t n = 0;
    while (n < rest.size() && rest[n] == c) {
        ++n;
    }
    if (n < 3 || (c == '`' && rest.find('`', n) != std::string_view::npos)) {
        return 0;
    }
    return n;
}

bool EndsWithLoneBackslash(std::string_view s) {
    size_t n = 0;
    while (n < s.size() && s[s.size() - 1 - n] == '\\') {
        ++n;
    }
    return n % 2 == 1;
}

std::optional<std::string_view> BoldCaption(std::string_view content) {
    if (content.size() < 5 || !content.starts_with("**") || !content.ends_with("**")) {
        return std::nullopt;
    }
    std::string_view inner = content.substr(2, content.size() - 4);
    for (size_t i = 0; i < inner.size(); ++i) {
        if (inner[i] == '\\') {
            ++i;  // an escaped character, also the first "*" of the closing pair
            if (i == inner.size()) {
                return std::nullopt;
            }
        } else if (inner[i] == '*' && i + 1 < inner.size() && inner[i + 1] == '*') {
            return std::nullopt;
        }
    }
    return inner;
}

std::optional<bool> TaskBox(std::string_view content) {
    if (content.size() >= 3 && content[0] == '[' && content[2] == ']' &&
        (content[1] == ' ' || content[1] == 'x' || content[1] == 'X') &&
        (content.size() == 3 || IsMarkdownBlank(content[3]))) {
        return content[1] != ' ';
    }
    return std::nullopt;
}

}  // namespace brenvale

#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace brenvale {

// The rules by which a Markdown line starts a block: indentation, headings, list markers,
// thematic breaks, code fences. Each looks at one line (without its line end); `rest` is the
// line after its indentation and is never empty.

inline bool IsMarkdownBlank(char c) {
    return c == ' ' || c == '\t';
}

// s without the spaces and TABs at either end.
std::string_view TrimMarkdownBlanks(std::string_view s);

// The column a TAB at `column` leads to.
inline size_t NextTabStop(size_t column) {
    return (column / 4 + 1) * 4;
}

// A line's indentation in columns (a TAB to the next multiple of 4) and where its content
// starts.
struct Indent {
    size_t columns = 0;
    size_t start = 0;
};
Indent IndentOf(std::string_view line);

// "---", "***", "___" (three or more, blanks between them allowed).
bool IsThematicBreak(std::string_view rest);

// The width of a list marker ("-", "*", "+", "1.", "1)") at the start of rest, 0 for none.
size_t ListMarkerWidth(std::string_view rest, bool* ordered);

// The level of an ATX heading ("#" to "######") that rest opens, 0 for none; and its text
// without the opening and closing "#" sequences.
int AtxLevel(std::string_view rest);
std::string_view AtxContent(std::string_view rest, int level);

// The level of a setext underline ("===" 1, "---" 2), 0 for none.
int SetextLevel(std::string_view rest);

// The length of a code fence ("```" or "~~~", or longer) that opens rest, 0 for none.
size_t FenceLength(std::string_view rest);

// Whether s ends in an odd number of backslashes: a hard line break.
bool EndsWithLoneBackslash(std::string_view s);

// The caption inside "**caption**" when that is all of content.
std::optional<std::string_view> BoldCaption(std::string_view content);

// The box of a task ("[ ]", "[x]", "[X]" followed by a blank or nothing) that opens content:
// whether it is checked; nothing for content that is no task.
std::optional<bool> TaskBox(std::string_view content);

}  // namespace brenvale

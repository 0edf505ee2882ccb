#pragma once

#include <string>
#include <string_view>

namespace brenvale {

// Where a text stands in a Markdown line, which decides what must be escaped in it.
enum class MarkdownSpot {
    Heading,   // after "# ": every "#" too, or a trailing one would close the heading
    Bold,      // between "**" and "**"
    ListItem,  // right after "- ": a start such as "# ", "> ", "1. " would begin a block
    Task,      // after "- [ ] "
};

// Appends a CP932 text to out as UTF-8 Markdown that a Markdown reader (and the import) reads
// back as the same characters: Markdown's special characters get a backslash, spaces and
// TABs at either end become character references (a reader trims them), a line break becomes
// "<br>". Decodes and escapes in one pass; returns whether the bytes come back as they are
// from their characters (see Cp932RoundTrips), else they need a note of their own.
bool AppendMarkdownText(std::string& out, std::string_view cp932, MarkdownSpot spot);

// Appends inline Markdown as text: backslash escapes and character references resolved,
// "<br>" turned into a line break. Anything else stays as written.
void AppendMarkdownUnescaped(std::string& out, std::string_view markdown);

}  // namespace brenvale

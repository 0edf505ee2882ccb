#pragma once

#include <optional>
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

// Appends a UTF-8 text to out so that a Markdown reader (and ReadMarkdown) reads back the
// same characters: Markdown's special characters get a backslash, spaces and TABs at either
// end become character references (a reader trims them), a line break becomes "<br>".
void AppendMarkdownEscaped(std::string& out, std::string_view utf8, MarkdownSpot spot);

// Appends inline Markdown as text: backslash escapes and character references resolved,
// "<br>" turned into a line break. Anything else stays as written.
void AppendMarkdownUnescaped(std::string& out, std::string_view markdown);

// The program's note about a Topic or Item, an HTML comment a Markdown reader does not show:
// "<!-- icon:7 -->" after a heading; for the rare texts Markdown cannot give back exactly,
// the exact CP932 bytes ("cp932:8A..."), or an Item's mark when it is neither "■" nor "□"
// ("mark:8181"); "topic" marks a list item without caption as a Topic.
struct MarkdownNote {
    int icon = 0;
    std::optional<std::string> mark;   // bytes
    std::optional<std::string> exact;  // CP932 bytes of the text
    bool topic = false;

    bool empty() const { return icon == 0 && !mark && !exact && !topic; }
};

// "<!-- ... -->", or "" for an empty note.
std::string FormatMarkdownNote(const MarkdownNote& note);
// The note a whole comment holds; nothing when the comment is not one of ours.
std::optional<MarkdownNote> ParseMarkdownNote(std::string_view comment);
// Splits a note written at the end of a line's content (after a space, or as all of it) off
// content, which then holds the rest.
std::optional<MarkdownNote> TakeTrailingNote(std::string_view& content);

}  // namespace brenvale

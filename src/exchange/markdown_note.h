#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brenvale {

// The program's note about a Topic or Item, an HTML comment a Markdown reader does not show:
// "<!-- icon:7 -->" after a heading; for the rare texts Markdown cannot give back exactly,
// the exact CP932 bytes ("cp932:8A..."); an Item's mark when it is not the one its form says
// ("mark:8181": a task's neither "■" nor "□", a no-box Item's or a separator's not "□");
// "topic" marks a list item without caption as a Topic.
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

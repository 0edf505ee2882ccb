#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/markdown_blocks.h"
#include "exchange/markdown_note.h"
#include "exchange/outline_import.h"

namespace brenvale {

// Reads Markdown a line at a time into an outline (see markdown_import.h for what becomes
// what). A block's text is kept only until the block is known to be a Topic or an Item (the
// next line tells), then handed on and converted.
class MarkdownReader {
public:
    explicit MarkdownReader(OutlineImport& out) : out_(out) {}

    // One line without its line end; number counts from 1.
    void line(std::string_view text, uint32_t number);
    void finish();

private:
    static constexpr size_t kNone = OutlineImport::kNoTopic;

    enum class Kind { Plain, Task, Bold, CaptionlessTopic };

    // A list item whose place is known once the next line shows whether anything lies
    // inside it: then it is a Topic, otherwise an Item (or a Topic of its own form).
    struct PendingItem {
        bool active = false;
        Kind kind = Kind::Plain;
        bool checked = false;
        std::string prefix;  // an ordered list item's number, kept in its text
        std::string text;    // UTF-8, escapes resolved
        bool hardBreak = false;
        std::optional<MarkdownNote> note;
        SourcePlace where;
        size_t owner = kNone;
        size_t level = 0;  // as a Topic
    };

    struct Paragraph {
        bool active = false;
        std::string text;
        bool hardBreak = false;
        SourcePlace where;
        size_t owner = kNone;
        bool topLevel = false;  // outside any list, so an underline makes it a heading
    };

    // A heading waits for the note that may follow it.
    struct Heading {
        bool active = false;
        int mark = 0;  // 1 to 6
        std::string text;
        std::optional<MarkdownNote> note;
        SourcePlace where;
    };

    struct Fence {
        bool active = false;
        char c = '`';
        size_t length = 0;
        size_t indent = 0;
        std::string text;
        bool first = true;
        SourcePlace where;
        size_t owner = kNone;
    };

    struct ListLevel {
        size_t contentIndent;
        size_t topic;  // kNone while its item is the pending one
    };

    struct OpenHeading {
        int mark;
        size_t topic;
    };

    size_t place(size_t indent);
    size_t levelBelow(size_t owner) const { return owner == kNone ? 0 : out_.levelOf(owner) + 1; }
    void resolvePending(bool hasContent);
    void closeLists();
    void closeParagraph();
    void emitHeading();
    void emitText(std::initializer_list<std::string_view> parts,
                  const std::optional<MarkdownNote>& note);
    void appendLine(std::string& text, bool& hardBreak, std::string_view raw);
    void listItem(std::string_view line, Indent ind, size_t markerWidth, bool ordered);
    void paragraphLine(std::string_view rest, size_t indent);
    void fenceLine(std::string_view line);
    void separator(size_t indent, size_t start);
    bool separatorNote(std::string_view rest);
    void plainItem(size_t owner, SourcePlace where, std::string_view text);
    SourcePlace at(size_t byte) const { return {number_, static_cast<uint32_t>(byte + 1)}; }

    OutlineImport& out_;
    uint32_t number_ = 0;
    bool blankBefore_ = false;
    bool separatorBefore_ = false;  // the line before was a separator, which a note may follow
    PendingItem pending_;
    Paragraph paragraph_;
    Heading heading_;
    Fence fence_;
    std::vector<ListLevel> lists_;
    std::vector<OpenHeading> headings_;
    std::string scratch_;
};

}  // namespace brenvale

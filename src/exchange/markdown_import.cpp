#include "exchange/markdown_import.h"

#include <optional>
#include <string>
#include <vector>

#include "common/cp932.h"
#include "exchange/markdown_text.h"

namespace brenvale {

namespace {

constexpr size_t kNone = OutlineImport::kNoTopic;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// The column a TAB at column `column` leads to.
size_t NextTabStop(size_t column) {
    return (column / 4 + 1) * 4;
}

// A line's indentation in columns (a TAB to the next multiple of 4) and where its content
// starts.
struct Indent {
    size_t columns = 0;
    size_t start = 0;
};

Indent IndentOf(std::string_view line) {
    Indent ind;
    while (ind.start < line.size() && IsBlank(line[ind.start])) {
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
        } else if (!IsBlank(x)) {
            return false;
        }
    }
    return count >= 3;
}

// The width of a list marker ("-", "*", "+", "1.", "1)") at the start of rest, 0 for none.
size_t ListMarkerWidth(std::string_view rest, bool* ordered) {
    size_t width = 0;
    *ordered = false;
    if (rest[0] == '-' || rest[0] == '*' || rest[0] == '+') {
        width = 1;
    } else {
        while (width < rest.size() && width < 10 && IsDigit(rest[width])) {
            ++width;
        }
        if (width == 0 || width > 9 || width == rest.size() ||
            (rest[width] != '.' && rest[width] != ')')) {
            return 0;
        }
        ++width;
        *ordered = true;
    }
    return width == rest.size() || IsBlank(rest[width]) ? width : 0;
}

int AtxLevel(std::string_view rest) {
    size_t level = 0;
    while (level < rest.size() && rest[level] == '#') {
        ++level;
    }
    if (level == 0 || level > 6 || (level < rest.size() && !IsBlank(rest[level]))) {
        return 0;
    }
    return static_cast<int>(level);
}

// A heading's text without its opening and closing "#" sequences.
std::string_view AtxContent(std::string_view rest, int level) {
    std::string_view s = Trim(rest.substr(static_cast<size_t>(level)));
    size_t end = s.size();
    while (end > 0 && s[end - 1] == '#') {
        --end;
    }
    if (end == 0) {
        return {};
    }
    if (end < s.size() && IsBlank(s[end - 1])) {
        s = Trim(s.substr(0, end));
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
    while (i < rest.size() && IsBlank(rest[i])) {
        ++i;
    }
    return i == rest.size() ? (c == '=' ? 1 : 2) : 0;
}

// The length of a code fence ("```" or "~~~", or longer) that opens rest, 0 for none.
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

// The caption inside "**caption**" when that is all of content.
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

class MarkdownReader {
public:
    explicit MarkdownReader(OutlineImport& out) : out_(out) {}

    void line(std::string_view text, uint32_t number);
    void finish();

private:
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
    void applyExact(const std::optional<MarkdownNote>& note);
    void appendLine(std::string& text, bool& hardBreak, std::string_view raw);
    void listItem(std::string_view line, Indent ind, size_t markerWidth, bool ordered);
    void paragraphLine(std::string_view rest, size_t indent);
    void fenceLine(std::string_view line);
    SourcePlace at(size_t byte) const { return {number_, static_cast<uint32_t>(byte + 1)}; }

    OutlineImport& out_;
    uint32_t number_ = 0;
    bool blankBefore_ = false;
    PendingItem pending_;
    Paragraph paragraph_;
    Heading heading_;
    Fence fence_;
    std::vector<ListLevel> lists_;
    std::vector<OpenHeading> headings_;
    std::string scratch_;
};

// Where content at `indent` goes: a pending item it lies inside becomes a Topic, one it
// does not lie inside is done, and the lists it does not belong to close. Returns the Topic
// it belongs to.
size_t MarkdownReader::place(size_t indent) {
    if (pending_.active) {
        resolvePending(indent >= lists_.back().contentIndent);
    }
    while (!lists_.empty() && indent < lists_.back().contentIndent) {
        lists_.pop_back();
    }
    if (!lists_.empty()) {
        return lists_.back().topic;
    }
    return headings_.empty() ? kNone : headings_.back().topic;
}

void MarkdownReader::applyExact(const std::optional<MarkdownNote>& note) {
    // The exact bytes count only while the text still reads as they do: a text changed by
    // hand since takes its new characters.
    if (note && note->exact) {
        scratch_.clear();
        AppendCp932AsUtf8(scratch_, *note->exact);
        if (scratch_ == out_.currentText()) {
            out_.exactText(*note->exact);
        }
    }
}

void MarkdownReader::resolvePending(bool hasContent) {
    pending_.active = false;
    if (hasContent || pending_.kind == Kind::Bold || pending_.kind == Kind::CaptionlessTopic) {
        lists_.back().topic =
            out_.topic(pending_.level, pending_.note ? pending_.note->icon : 0, pending_.where);
        out_.text(pending_.text);
        applyExact(pending_.note);
        return;
    }
    out_.item(pending_.owner, pending_.checked, pending_.where);
    if (pending_.kind == Kind::Plain) {
        out_.text("-");
        out_.text(pending_.prefix);
    }
    out_.text(pending_.text);
    if (pending_.note && pending_.note->mark) {
        out_.exactMark(*pending_.note->mark);
    }
    applyExact(pending_.note);
}

void MarkdownReader::closeLists() {
    if (pending_.active) {
        resolvePending(false);
    }
    lists_.clear();
}

void MarkdownReader::closeParagraph() {
    if (paragraph_.active) {
        paragraph_.active = false;
        out_.item(paragraph_.owner, false, paragraph_.where);
        out_.text("-");
        out_.text(paragraph_.text);
    }
}

void MarkdownReader::emitHeading() {
    heading_.active = false;
    while (!headings_.empty() && headings_.back().mark >= heading_.mark) {
        headings_.pop_back();
    }
    size_t level = headings_.empty() ? 0 : out_.levelOf(headings_.back().topic) + 1;
    size_t topic = out_.topic(level, heading_.note ? heading_.note->icon : 0, heading_.where);
    out_.text(heading_.text);
    applyExact(heading_.note);
    headings_.push_back({heading_.mark, topic});
}

// Adds a line of a paragraph or list item to text: a line break before it, a hard break
// ("\" at the end of the line before) dropped, the blanks around it trimmed.
void MarkdownReader::appendLine(std::string& text, bool& hardBreak, std::string_view raw) {
    if (hardBreak && !text.empty() && text.back() == '\\') {
        text.pop_back();
    }
    text += '\n';
    std::string_view line = Trim(raw);
    hardBreak = EndsWithLoneBackslash(line);
    AppendMarkdownUnescaped(text, line);
}

void MarkdownReader::listItem(std::string_view line, Indent ind, size_t markerWidth, bool ordered) {
    closeParagraph();
    std::string_view rest = line.substr(ind.start);
    size_t markerEnd = ind.columns + markerWidth;
    size_t column = markerEnd;
    size_t i = markerWidth;
    while (i < rest.size() && IsBlank(rest[i])) {
        column = rest[i] == '\t' ? NextTabStop(column) : column + 1;
        ++i;
    }
    std::string_view content = rest.substr(i);
    size_t contentIndent = content.empty() || column - markerEnd > 4 ? markerEnd + 1 : column;
    size_t owner = place(ind.columns);

    pending_ = PendingItem();
    pending_.active = true;
    pending_.owner = owner;
    pending_.level = levelBelow(owner);
    content = Trim(content);
    pending_.note = TakeTrailingNote(content);
    content = Trim(content);
    std::string_view text = content;
    if (pending_.note && pending_.note->topic && content.empty()) {
        pending_.kind = Kind::CaptionlessTopic;
    } else if (content.size() >= 3 && content[0] == '[' && content[2] == ']' &&
               (content[1] == ' ' || content[1] == 'x' || content[1] == 'X') &&
               (content.size() == 3 || IsBlank(content[3]))) {
        pending_.kind = Kind::Task;
        pending_.checked = content[1] != ' ';
        text = Trim(content.substr(3));
    } else if (auto caption = BoldCaption(content)) {
        pending_.kind = Kind::Bold;
        text = *caption;
    } else if (ordered) {
        pending_.prefix = std::string(rest.substr(0, markerWidth)) + " ";
    }
    pending_.where =
        at(text.empty() ? line.size() : static_cast<size_t>(text.data() - line.data()));
    pending_.hardBreak = EndsWithLoneBackslash(text);
    AppendMarkdownUnescaped(pending_.text, text);
    lists_.push_back({contentIndent, kNone});
}

void MarkdownReader::paragraphLine(std::string_view rest, size_t indent) {
    if (pending_.active && (!blankBefore_ || indent >= lists_.back().contentIndent)) {
        appendLine(pending_.text, pending_.hardBreak, rest);
        return;
    }
    if (paragraph_.active && !blankBefore_) {
        appendLine(paragraph_.text, paragraph_.hardBreak, rest);
        return;
    }
    closeParagraph();
    size_t owner = place(indent);
    paragraph_ = Paragraph();
    paragraph_.active = true;
    paragraph_.owner = owner;
    paragraph_.topLevel = lists_.empty();
    std::string_view line = Trim(rest);
    paragraph_.where = {number_, static_cast<uint32_t>(indent + 1)};
    paragraph_.hardBreak = EndsWithLoneBackslash(line);
    AppendMarkdownUnescaped(paragraph_.text, line);
}

void MarkdownReader::fenceLine(std::string_view line) {
    Indent ind = IndentOf(line);
    std::string_view rest = line.substr(ind.start);
    if (ind.columns <= fence_.indent + 3 && !rest.empty() && rest.front() == fence_.c) {
        size_t n = 0;
        while (n < rest.size() && rest[n] == fence_.c) {
            ++n;
        }
        if (n >= fence_.length && Trim(rest.substr(n)).empty()) {
            fence_.active = false;
            if (!fence_.first) {
                out_.item(fence_.owner, false, fence_.where);
                out_.text("-");
                out_.text(fence_.text);
            }
            return;
        }
    }
    // The code keeps its own indentation beyond the fence's.
    size_t skip = 0;
    size_t column = 0;
    while (skip < line.size() && line[skip] == ' ' && column < fence_.indent) {
        ++skip;
        ++column;
    }
    if (fence_.first) {
        fence_.where = {number_, static_cast<uint32_t>(skip + 1)};
    } else {
        fence_.text += '\n';
    }
    fence_.first = false;
    fence_.text += line.substr(skip);
}

void MarkdownReader::line(std::string_view text, uint32_t number) {
    number_ = number;
    if (fence_.active) {
        fenceLine(text);
        return;
    }
    Indent ind = IndentOf(text);
    std::string_view rest = text.substr(ind.start);
    if (rest.empty()) {
        closeParagraph();
        blankBefore_ = true;
        return;
    }
    if (heading_.active) {
        if (!heading_.note) {
            heading_.note = ParseMarkdownNote(Trim(rest));
            if (heading_.note) {
                emitHeading();
                blankBefore_ = false;
                return;
            }
        }
        emitHeading();
    }
    bool blankBefore = blankBefore_;
    blankBefore_ = false;
    if (ind.columns <= 3) {
        if (int mark = AtxLevel(rest)) {
            closeParagraph();
            closeLists();
            heading_ = Heading();
            heading_.active = true;
            heading_.mark = mark;
            std::string_view content = AtxContent(rest, mark);
            heading_.note = TakeTrailingNote(content);
            heading_.where = at(
                content.empty() ? text.size() : static_cast<size_t>(content.data() - text.data()));
            AppendMarkdownUnescaped(heading_.text, content);
            return;
        }
        if (paragraph_.active && paragraph_.topLevel && !blankBefore) {
            if (int mark = SetextLevel(rest)) {
                paragraph_.active = false;
                closeLists();
                heading_ = Heading();
                heading_.active = true;
                heading_.mark = mark;
                heading_.text = std::move(paragraph_.text);
                heading_.where = paragraph_.where;
                return;
            }
        }
    }
    if (IsThematicBreak(rest)) {
        closeParagraph();
        size_t owner = place(ind.columns);
        out_.item(owner, false, at(ind.start));
        out_.text("-");
        return;
    }
    bool ordered = false;
    if (size_t width = ListMarkerWidth(rest, &ordered)) {
        listItem(text, ind, width, ordered);
        return;
    }
    if (size_t length = FenceLength(rest)) {
        closeParagraph();
        fence_ = Fence();
        fence_.active = true;
        fence_.c = rest.front();
        fence_.length = length;
        fence_.indent = ind.columns;
        fence_.owner = place(ind.columns);
        return;
    }
    blankBefore_ = blankBefore;
    paragraphLine(rest, ind.columns);
    blankBefore_ = false;
}

void MarkdownReader::finish() {
    if (fence_.active && !fence_.first) {
        out_.item(fence_.owner, false, fence_.where);
        out_.text("-");
        out_.text(fence_.text);
    }
    if (heading_.active) {
        emitHeading();
    }
    closeParagraph();
    closeLists();
}

}  // namespace

void ReadMarkdown(std::string_view bytes, OutlineImport& outline) {
    if (bytes.starts_with(kByteOrderMark)) {
        bytes.remove_prefix(kByteOrderMark.size());
    }
    outline.reserve(bytes.size());
    MarkdownReader reader(outline);
    uint32_t number = 0;
    size_t start = 0;
    while (start < bytes.size()) {
        // A plain scan: find_first_of looks each byte up in its set with a call of its own.
        size_t end = start;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') {
            ++end;
        }
        reader.line(bytes.substr(start, end - start), ++number);
        start = end + 1;
        if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n') {
            ++start;
        }
    }
    reader.finish();
}

}  // namespace brenvale

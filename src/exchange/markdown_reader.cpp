#include "exchange/markdown_reader.h"

#include <utility>

#include "common/cp932.h"
#include "exchange/markdown_inline.h"

namespace brenvale {

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

void MarkdownReader::emitText(std::initializer_list<std::string_view> parts,
                              const std::optional<MarkdownNote>& note) {
    // The exact bytes count only while the text still reads as they do: a text changed by
    // hand since takes its new characters.
    if (note && note->exact) {
        scratch_.clear();
        AppendCp932AsUtf8(scratch_, *note->exact);
        std::string_view rest = scratch_;
        bool same = true;
        for (std::string_view part : parts) {
            same = same && rest.starts_with(part);
            rest.remove_prefix(same ? part.size() : 0);
        }
        if (same && rest.empty()) {
            out_.exactText(*note->exact);
            return;
        }
    }
    for (std::string_view part : parts) {
        out_.text(part);
    }
}

void MarkdownReader::plainItem(size_t owner, SourcePlace where, std::string_view text) {
    out_.item(owner, false, where);
    out_.text("-");
    out_.text(text);
}

void MarkdownReader::resolvePending(bool hasContent) {
    pending_.active = false;
    const std::optional<MarkdownNote>& note = pending_.note;
    if (hasContent || pending_.kind == Kind::Bold || pending_.kind == Kind::CaptionlessTopic) {
        size_t topic = out_.topic(pending_.level, note ? note->icon : 0, pending_.where);
        lists_.back().topic = topic;
        emitText({pending_.text}, note);
        // A task with sub-tasks keeps its box in the Topic's first Item, which an export
        // turns back into the task.
        if (pending_.kind == Kind::Task) {
            out_.item(topic, pending_.checked, pending_.where);
            emitText({pending_.text}, note);
            if (note && note->mark) {
                out_.exactMark(*note->mark);
            }
        }
        return;
    }
    out_.item(pending_.owner, pending_.checked, pending_.where);
    if (pending_.kind == Kind::Plain) {
        emitText({"-", pending_.prefix, pending_.text}, note);
    } else {
        emitText({pending_.text}, note);
    }
    if (note && note->mark) {
        out_.exactMark(*note->mark);
    }
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
        plainItem(paragraph_.owner, paragraph_.where, paragraph_.text);
    }
}

void MarkdownReader::emitHeading() {
    heading_.active = false;
    while (!headings_.empty() && headings_.back().mark >= heading_.mark) {
        headings_.pop_back();
    }
    size_t level = headings_.empty() ? 0 : out_.levelOf(headings_.back().topic) + 1;
    size_t topic = out_.topic(level, heading_.note ? heading_.note->icon : 0, heading_.where);
    emitText({heading_.text}, heading_.note);
    headings_.push_back({heading_.mark, topic});
}

// Adds a line of a paragraph or list item to text: a line break before it, a hard break
// ("\" at the end of the line before) dropped, the blanks around it trimmed.
void MarkdownReader::appendLine(std::string& text, bool& hardBreak, std::string_view raw) {
    if (hardBreak && !text.empty() && text.back() == '\\') {
        text.pop_back();
    }
    text += '\n';
    std::string_view line = TrimMarkdownBlanks(raw);
    hardBreak = EndsWithLoneBackslash(line);
    AppendMarkdownUnescaped(text, line);
}

void MarkdownReader::listItem(std::string_view line, Indent ind, size_t markerWidth, bool ordered) {
    closeParagraph();
    std::string_view rest = line.substr(ind.start);
    size_t markerEnd = ind.columns + markerWidth;
    size_t column = markerEnd;
    size_t i = markerWidth;
    while (i < rest.size() && IsMarkdownBlank(rest[i])) {
        column = rest[i] == '\t' ? NextTabStop(column) : column + 1;
        ++i;
    }
    std::string_view content = rest.substr(i);
    size_t contentIndent = content.empty() || column - markerEnd > 4 ? markerEnd + 1 : column;
    size_t owner = place(ind.columns);

    // Reset field by field: the texts keep their room from item to item.
    pending_.active = true;
    pending_.kind = Kind::Plain;
    pending_.checked = false;
    pending_.prefix.clear();
    pending_.text.clear();
    pending_.owner = owner;
    pending_.level = levelBelow(owner);
    content = TrimMarkdownBlanks(content);
    pending_.note = TakeTrailingNote(content);
    content = TrimMarkdownBlanks(content);
    std::string_view text = content;
    if (pending_.note && pending_.note->topic && content.empty()) {
        pending_.kind = Kind::CaptionlessTopic;
    } else if (std::optional<bool> box = TaskBox(content)) {
        pending_.kind = Kind::Task;
        pending_.checked = *box;
        text = TrimMarkdownBlanks(content.substr(3));
    } else if (auto caption = BoldCaption(content)) {
        pending_.kind = Kind::Bold;
        text = *caption;
    } else if (ordered) {
        pending_.prefix.assign(rest.substr(0, markerWidth));
        pending_.prefix += ' ';
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
    paragraph_.active = true;
    paragraph_.text.clear();
    paragraph_.owner = owner;
    paragraph_.topLevel = lists_.empty();
    std::string_view line = TrimMarkdownBlanks(rest);
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
        if (n >= fence_.length && TrimMarkdownBlanks(rest.substr(n)).empty()) {
            fence_.active = false;
            if (!fence_.first) {
                plainItem(fence_.owner, fence_.where, fence_.text);
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
    bool afterSeparator = std::exchange(separatorBefore_, false);
    if (fence_.active) {
        fenceLine(text);
        return;
    }
    Indent ind = IndentOf(text);
    std::string_view rest = text.substr(ind.start);
    if (afterSeparator && !rest.empty() && separatorNote(rest)) {
        return;
    }
    if (rest.empty()) {
        closeParagraph();
        blankBefore_ = true;
        return;
    }
    if (heading_.active) {
        if (!heading_.note) {
            heading_.note = ParseMarkdownNote(TrimMarkdownBlanks(rest));
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
            heading_.active = true;
            heading_.mark = mark;
            heading_.text.clear();
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
                heading_.active = true;
                heading_.mark = mark;
                heading_.text.swap(paragraph_.text);
                heading_.note.reset();
                heading_.where = paragraph_.where;
                return;
            }
        }
    }
    if (IsThematicBreak(rest)) {
        separator(ind.columns, ind.start);
        return;
    }
    bool ordered = false;
    if (size_t width = ListMarkerWidth(rest, &ordered)) {
        listItem(text, ind, width, ordered);
        return;
    }
    if (size_t length = FenceLength(rest)) {
        closeParagraph();
        fence_.active = true;
        fence_.text.clear();
        fence_.first = true;
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
        plainItem(fence_.owner, fence_.where, fence_.text);
    }
    if (heading_.active) {
        emitHeading();
    }
    closeParagraph();
    closeLists();
}

void MarkdownReader::separator(size_t indent, size_t start) {
    closeParagraph();
    size_t owner = place(indent);
    out_.item(owner, false, at(start));
    out_.text("-");
    separatorBefore_ = true;
}

bool MarkdownReader::separatorNote(std::string_view rest) {
    // A thematic break holds nothing else, so a separator's note is the line after it.
    std::optional<MarkdownNote> note = ParseMarkdownNote(TrimMarkdownBlanks(rest));
    if (!note || !note->mark || note->exact || note->topic || note->icon != 0) {
        return false;
    }
    out_.exactMark(*note->mark);
    return true;
}

}  // namespace brenvale

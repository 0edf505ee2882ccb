#include "exchange/markdown_export.h"

#include "common/check_mark.h"
#include "common/cp932.h"
#include "common/file_io.h"
#include "document/item.h"
#include "document/output_buffer.h"
#include "exchange/markdown_inline.h"
#include "exchange/markdown_note.h"

namespace brenvale {

namespace {

// Topics below this level are bold list items: Markdown has six heading levels.
constexpr int kHeadingLevels = 6;

class MarkdownWriter {
public:
    MarkdownWriter(OutputBuffer<ByteSink>& out, const ListKindOptions& options)
        : out_(out), options_(options) {}

    void topic(const Topic& t, int level) {
        // A list holds the subtree of the Topic that began it; the sixth level on is a list.
        if (listBase_ >= 0 && level <= listBase_) {
            listBase_ = -1;
        }
        if (listBase_ < 0 && level >= kHeadingLevels) {
            listBase_ = kHeadingLevels;
        }
        // A task with sub-tasks is written as one where the import nests it right: in a list,
        // or right below its parent's heading (at the top while no heading was written).
        bool task = IsParentTask(t) && (listBase_ >= 0 || lastHeading_ == level - 1);
        if (task && listBase_ < 0) {
            listBase_ = level;
        }
        MarkdownNote note;
        note.icon = t.icon;
        line_.clear();
        size_t firstItem = 0;
        if (listBase_ < 0) {
            if (!first_) {
                line_ += '\n';
            }
            line_.append(static_cast<size_t>(level) + 1, '#');
            if (!t.caption.empty()) {
                line_ += ' ';
                exactUnlessRoundTrip(note, t.caption, MarkdownSpot::Heading);
            }
            line_ += '\n';
            if (!note.empty()) {
                line_ += FormatMarkdownNote(note);
                line_ += '\n';
            }
            indent_.clear();
            lastHeading_ = level;
        } else {
            indent_.assign(2 * static_cast<size_t>(level - listBase_), ' ');
            line_ += indent_;
            line_ += "- ";
            if (task) {
                line_ += IsCheckedMark(t.items[0].mark()) ? "[x] " : "[ ] ";
                AppendMarkdownText(line_, t.caption, MarkdownSpot::Task);
                firstItem = 1;  // it is this line
            } else if (t.caption.empty()) {
                note.topic = true;
            } else {
                line_ += "**";
                exactUnlessRoundTrip(note, t.caption, MarkdownSpot::Bold);
                line_ += "**";
            }
            appendNote(note, !t.caption.empty());
            line_ += '\n';
            indent_ += "  ";
        }
        first_ = false;
        out_.append(line_);
        for (size_t i = firstItem; i < t.items.size(); ++i) {
            item(t.items[i]);
        }
    }

private:
    // Whether t is what the import makes of a task with sub-tasks: its first Item a task with
    // the Topic's caption, and more below that.
    bool IsParentTask(const Topic& t) const {
        if (t.caption.empty() || t.items.empty() || (t.items.size() < 2 && !t.hasChildren())) {
            return false;
        }
        std::string_view stored = t.items[0].stored();
        std::string_view mark = StoredMark(stored);
        std::string_view text = StoredText(stored);
        return (mark == kCheckedMark || mark == kUncheckedMark) &&
               KindOf(text, options_) == ItemKind::Ordinary && text == t.caption.view() &&
               Cp932RoundTrips(text);
    }

    void item(ItemView item) {
        std::string_view stored = item.stored();
        std::string_view mark = StoredMark(stored);
        std::string_view text = StoredText(stored);
        // Every kind keeps its own form; a mark that form does not show goes into the note.
        ItemKind kind = KindOf(text, options_);
        MarkdownNote note;
        bool shown = kind == ItemKind::Ordinary ? mark == kCheckedMark || mark == kUncheckedMark
                                                : mark == kUncheckedMark;
        if (!shown) {
            note.mark = std::string(mark);
        }
        line_ = indent_;
        switch (kind) {
            case ItemKind::Separator:
                // A thematic break holds nothing else: its note is the line below.
                line_ += indent_.empty() ? "---" : "- ---";
                if (!note.empty()) {
                    line_ += '\n';
                    line_ += indent_;
                    line_ += FormatMarkdownNote(note);
                }
                break;
            case ItemKind::NoBox:
                line_ += "- ";
                if (!AppendMarkdownText(line_, text.substr(1), MarkdownSpot::ListItem)) {
                    note.exact = std::string(text);
                }
                appendNote(note, text.size() > 1);
                break;
            case ItemKind::Ordinary:
                line_ += mark == kCheckedMark ? "- [x] " : "- [ ] ";
                exactUnlessRoundTrip(note, text, MarkdownSpot::Task);
                appendNote(note, !text.empty());
                break;
        }
        line_ += '\n';
        out_.append(line_);
    }

    void exactUnlessRoundTrip(MarkdownNote& note, std::string_view cp932, MarkdownSpot spot) {
        if (!AppendMarkdownText(line_, cp932, spot)) {
            note.exact = std::string(cp932);
        }
    }

    void appendNote(const MarkdownNote& note, bool afterText) {
        if (!note.empty()) {
            if (afterText) {
                line_ += ' ';
            }
            line_ += FormatMarkdownNote(note);
        }
    }

    OutputBuffer<ByteSink>& out_;
    const ListKindOptions& options_;
    std::string line_;
    std::string indent_;  // of the current Topic's Items
    bool first_ = true;
    int listBase_ = -1;     // the level of the Topic whose subtree is a list, -1 for none
    int lastHeading_ = -1;  // the level of the last Topic written as a heading
};

}  // namespace

void WriteMarkdown(const ExportJob& job, ByteSink& sink) {
    OutputBuffer<ByteSink> out(sink);
    MarkdownWriter writer(out, job.kinds);
    ForEachTopic(job.doc, [&](const Topic& t, int level) { writer.topic(t, level); });
    out.flush();
}

std::string ExportMarkdown(const Document& doc, const ListKindOptions& options) {
    StringByteSink sink;
    WriteMarkdown(ExportJob{doc, options, TextEncoding::Utf8, {}}, sink);
    return sink.take();
}

void WriteMarkdownExport(const Document& doc, const std::string& path,
                         const ListKindOptions& options) {
    AtomicFileWriter writer(path);
    SinkTo<AtomicFileWriter> sink(writer);
    WriteMarkdown(ExportJob{doc, options, TextEncoding::Utf8, {}}, sink);
    writer.Commit();
}

}  // namespace brenvale

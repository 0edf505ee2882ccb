#include "exchange/markdown_export.h"

#include "common/check_mark.h"
#include "common/cp932.h"
#include "common/file_io.h"
#include "document/item.h"
#include "exchange/markdown_text.h"
#include "document/output_buffer.h"

namespace brenvale {

namespace {

// Topics below this level are bold list items: Markdown has six heading levels.
constexpr int kHeadingLevels = 6;

template <typename Out>
class MarkdownWriter {
public:
    MarkdownWriter(Out& out, const ListKindOptions& options) : out_(out), options_(options) {}

    void topic(const Topic& t, int level) {
        MarkdownNote note;
        note.icon = t.icon;
        if (!Cp932RoundTrips(t.caption)) {
            note.exact = std::string(t.caption);
        }
        line_.clear();
        if (level < kHeadingLevels) {
            if (!first_) {
                line_ += '\n';
            }
            line_.append(static_cast<size_t>(level) + 1, '#');
            if (!t.caption.empty()) {
                line_ += ' ';
                appendText(t.caption, MarkdownSpot::Heading);
            }
            line_ += '\n';
            if (!note.empty()) {
                line_ += FormatMarkdownNote(note);
                line_ += '\n';
            }
            indent_.clear();
        } else {
            indent_.assign(2 * static_cast<size_t>(level - kHeadingLevels), ' ');
            line_ += indent_;
            line_ += "- ";
            if (t.caption.empty()) {
                note.topic = true;
            } else {
                line_ += "**";
                appendText(t.caption, MarkdownSpot::Bold);
                line_ += "**";
            }
            appendNote(note, !t.caption.empty());
            line_ += '\n';
            indent_ += "  ";
        }
        first_ = false;
        out_.append(line_);
        for (size_t i = 0; i < t.items.size(); ++i) {
            item(t.items[i]);
        }
    }

private:
    void item(ItemView item) {
        std::string_view stored = item.stored();
        std::string_view mark = StoredMark(stored);
        std::string_view text = StoredText(stored);
        MarkdownNote note;
        if (mark != kCheckedMark && mark != kUncheckedMark) {
            note.mark = std::string(mark);
        }
        if (!Cp932RoundTrips(text)) {
            note.exact = std::string(text);
        }
        // Separators and no-box Items have forms of their own only with the unchecked mark;
        // any other Item is a task, which keeps mark and text whatever they are.
        ItemKind kind = mark == kUncheckedMark ? KindOf(text, options_) : ItemKind::Ordinary;
        line_ = indent_;
        if (kind == ItemKind::Separator && note.empty()) {
            line_ += indent_.empty() ? "---" : "- ---";
        } else if (kind == ItemKind::NoBox) {
            line_ += "- ";
            appendText(text.substr(1), MarkdownSpot::ListItem);
            appendNote(note, text.size() > 1);
        } else {
            line_ += mark == kCheckedMark ? "- [x] " : "- [ ] ";
            appendText(text, MarkdownSpot::Task);
            appendNote(note, !text.empty());
        }
        line_ += '\n';
        out_.append(line_);
    }

    void appendText(std::string_view cp932, MarkdownSpot spot) {
        utf8_.clear();
        AppendCp932AsUtf8(utf8_, cp932);
        AppendMarkdownEscaped(line_, utf8_, spot);
    }

    void appendNote(const MarkdownNote& note, bool afterText) {
        if (!note.empty()) {
            if (afterText) {
                line_ += ' ';
            }
            line_ += FormatMarkdownNote(note);
        }
    }

    Out& out_;
    const ListKindOptions& options_;
    std::string line_;
    std::string utf8_;
    std::string indent_;  // of the current Topic's Items
    bool first_ = true;
};

template <typename Out>
void WriteMarkdown(Out& out, const Document& doc, const ListKindOptions& options) {
    MarkdownWriter<Out> writer(out, options);
    ForEachTopic(doc, [&](const Topic& t, int level) { writer.topic(t, level); });
    out.flush();
}

}  // namespace

std::string ExportMarkdown(const Document& doc, const ListKindOptions& options) {
    StringSink sink;
    OutputBuffer out(sink);
    WriteMarkdown(out, doc, options);
    return std::move(sink.bytes);
}

void WriteMarkdownExport(const Document& doc, const std::string& path,
                         const ListKindOptions& options) {
    AtomicFileWriter writer(path);
    {
        OutputBuffer out(writer);
        WriteMarkdown(out, doc, options);
    }
    writer.Commit();
}

}  // namespace brenvale

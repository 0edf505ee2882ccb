#include <string>

#include "common/check_mark.h"
#include "common/file_io.h"
#include "common/hex.h"
#include "document/item.h"
#include "document/output_buffer.h"
#include "exchange/opml.h"
#include "exchange/opml_names.h"
#include "exchange/opml_text.h"

namespace brenvale {

namespace {

// Writes the outline elements as they come, each on a line of its own indented by two spaces a
// level. A Topic's start tag stays open until it is known whether anything goes inside it.
class OpmlWriter {
public:
    OpmlWriter(OutputBuffer<ByteSink>& out, const ListKindOptions& options)
        : out_(out), options_(options) {}

    void write(const Document& doc, std::string_view title) {
        line_ =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"2.0\" xmlns:brenvale=\"";
        line_ += kOpmlNamespace;
        line_ += "\">\n  <head>\n    <title>";
        AppendXmlContent(line_, title);
        line_ += "</title>\n  </head>\n  <body";
        out_.append(line_);
        open_ = true;
        int topics = 0;  // Topic elements open, the deepest one last
        ForEachTopic(doc, [&](const Topic& t, int level) {
            for (; topics > level; --topics) {
                close(topics + 1);
            }
            topic(t, level + 2);
            ++topics;
        });
        for (; topics > 0; --topics) {
            close(topics + 1);
        }
        close(1);
        out_.append("</opml>\n");
    }

private:
    // Ends the start tag left open, before something goes inside the element.
    void enter() {
        if (open_) {
            out_.append(">\n");
            open_ = false;
        }
    }

    // Ends the element at depth: an empty one is closed in its own start tag.
    void close(int depth) {
        if (open_) {
            out_.append("/>\n");
            open_ = false;
            return;
        }
        line_.assign(2 * static_cast<size_t>(depth), ' ');
        line_ += depth == 1 ? "</body>\n" : "</outline>\n";
        out_.append(line_);
    }

    void begin(int depth, std::string_view cp932, bool* exact) {
        enter();
        line_.assign(2 * static_cast<size_t>(depth), ' ');
        line_ += "<outline text=\"";
        *exact = AppendXmlText(line_, cp932, true) || *exact;
        line_ += '"';
    }

    void attribute(std::string_view name, std::string_view value) {
        line_ += " brenvale:";
        line_ += name;
        line_ += "=\"";
        line_ += value;
        line_ += '"';
    }

    void topic(const Topic& t, int depth) {
        bool exact = false;
        begin(depth, t.caption, &exact);
        attribute(kOpmlKind, "topic");
        if (t.icon != 0) {
            attribute(kOpmlIcon, std::to_string(t.icon));
        }
        if (exact) {
            attribute(kOpmlCp932, HexOf(t.caption));
        }
        out_.append(line_);
        open_ = true;
        for (size_t i = 0; i < t.items.size(); ++i) {
            item(t.items[i], depth + 1);
        }
    }

    void item(ItemView item, int depth) {
        std::string_view stored = item.stored();
        std::string_view mark = StoredMark(stored);
        std::string_view text = StoredText(stored);
        ItemKind kind = KindOf(text, options_);
        bool exact = false;
        std::string_view shown = kind == ItemKind::Separator ? "----------"
                                 : kind == ItemKind::NoBox   ? text.substr(1)
                                                             : text;
        begin(depth, shown, &exact);
        if (kind == ItemKind::Separator) {
            exact = !Cp932RoundTrips(text);
        }
        // Only an Item with a check box says whether it is checked; the mark of any other
        // kind is kept where its form does not show it.
        bool shownMark = mark == kUncheckedMark;
        if (kind == ItemKind::Ordinary) {
            line_ += mark == kCheckedMark ? " _status=\"checked\"" : " _status=\"unchecked\"";
            shownMark = shownMark || mark == kCheckedMark;
        }
        attribute(kOpmlKind, kind == ItemKind::Separator ? "separator"
                             : kind == ItemKind::NoBox   ? "nobox"
                                                         : "item");
        if (!shownMark) {
            attribute(kOpmlMark, HexOf(mark));
        }
        if (exact) {
            attribute(kOpmlCp932, HexOf(text));
        }
        line_ += "/>\n";
        out_.append(line_);
    }

    OutputBuffer<ByteSink>& out_;
    const ListKindOptions& options_;
    std::string line_;
    bool open_ = false;  // the last start tag written is not ended yet
};

}  // namespace

void WriteOpml(const ExportJob& job, ByteSink& sink) {
    OutputBuffer<ByteSink> out(sink);
    OpmlWriter writer(out, job.kinds);
    writer.write(job.doc, job.title);
    out.flush();
}

std::string ExportOpml(const Document& doc, const ListKindOptions& options,
                       std::string_view title) {
    StringByteSink sink;
    WriteOpml(ExportJob{doc, options, TextEncoding::Utf8, title}, sink);
    return sink.take();
}

void WriteOpmlExport(const Document& doc, const std::string& path, const ListKindOptions& options,
                     std::string_view title) {
    AtomicFileWriter writer(path);
    SinkTo<AtomicFileWriter> sink(writer);
    WriteOpml(ExportJob{doc, options, TextEncoding::Utf8, title}, sink);
    writer.Commit();
}

}  // namespace brenvale

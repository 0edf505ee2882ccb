#include "document/text_export.h"

#include "common/file_io.h"
#include "document/output_buffer.h"

namespace brenvale {

namespace {

template <typename Out>
void WriteExport(Out& out, const Document& doc, const ListKindOptions& options) {
    std::string tabs;
    ForEachTopic(doc, [&](const Topic& t, int level) {
        tabs.assign(static_cast<size_t>(level), '\t');
        out.append(tabs);
        out.append(t.caption);
        out.append("\r\n");
        for (size_t i = 0; i < t.items.size(); ++i) {
            std::string_view stored = t.items[i].stored();
            std::string_view text = StoredText(stored);
            out.append(tabs);
            out.append("  ");
            switch (KindOf(text, options)) {
                case ItemKind::Separator:
                    out.append("----------");
                    break;
                case ItemKind::NoBox:
                    out.append(options.checkMark);
                    out.append(text.substr(1));
                    break;
                case ItemKind::Ordinary:
                    out.append(stored);
                    break;
            }
            out.append("\r\n");
        }
    });
    out.flush();
}

}  // namespace

std::string ExportText(const Document& doc, const ListKindOptions& options) {
    StringSink sink;
    OutputBuffer out(sink);
    WriteExport(out, doc, options);
    return std::move(sink.bytes);
}

void WriteTextExport(const Document& doc, const std::string& path, const ListKindOptions& options) {
    AtomicFileWriter writer(path);
    {
        OutputBuffer out(writer);
        WriteExport(out, doc, options);
    }
    writer.Commit();
}

}  // namespace brenvale

#include "exchange/text_export.h"

#include <cstdint>

#include "common/cp932.h"
#include "common/error.h"
#include "common/file_io.h"
#include "document/output_buffer.h"

namespace brenvale {

namespace {

// How many places a refused UTF-8 export names.
constexpr size_t kNamedPlaces = 5;

// Passes CP932 on as it is.
template <typename Out>
struct Cp932Lines {
    Out& out;
    void append(std::string_view cp932) { out.append(cp932); }
    void endLine() { out.append("\r\n"); }
    void check(const Topic&, size_t) {}
    void finish() {}
};

// Converts to UTF-8, and collects the places whose bytes have no character.
template <typename Out>
struct Utf8Lines {
    explicit Utf8Lines(Out& o) : out(o) {}

    Out& out;
    std::string utf8;
    std::vector<std::string> places;
    size_t count = 0;

    void append(std::string_view cp932) {
        utf8.clear();
        AppendCp932AsUtf8(utf8, cp932);
        out.append(utf8);
    }
    void endLine() { out.append("\n"); }
    // item: the Item's index, or SIZE_MAX for the caption.
    void check(const Topic& t, size_t item) {
        std::string_view text = item == SIZE_MAX ? t.caption.view() : t.items[item].stored();
        if (FindUndecodable(text) == std::string_view::npos) {
            return;
        }
        if (++count <= kNamedPlaces) {
            std::string place = "トピック「" + Cp932ToUtf8(t.caption) + "」";
            if (item != SIZE_MAX) {
                place += "の " + std::to_string(item + 1) + " 番目の項目";
            }
            places.push_back(place);
        }
    }
    void finish() {
        if (count > 0) {
            throw Error(UndecodableExportText(places, count));
        }
    }
};

template <typename Lines>
void WriteExport(Lines& out, const Document& doc, const ListKindOptions& options) {
    std::string tabs;
    ForEachTopic(doc, [&](const Topic& t, int level) {
        tabs.assign(static_cast<size_t>(level), '\t');
        out.check(t, SIZE_MAX);
        out.append(tabs);
        out.append(t.caption);
        out.endLine();
        for (size_t i = 0; i < t.items.size(); ++i) {
            std::string_view stored = t.items[i].stored();
            std::string_view text = StoredText(stored);
            out.check(t, i);
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
            out.endLine();
        }
    });
    out.finish();
}

template <typename Out>
void WriteEncoded(Out& out, const Document& doc, const ListKindOptions& options,
                  TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) {
        Utf8Lines<Out> lines(out);
        WriteExport(lines, doc, options);
    } else {
        Cp932Lines<Out> lines{out};
        WriteExport(lines, doc, options);
    }
    out.flush();
}

}  // namespace

std::string UndecodableExportText(const std::vector<std::string>& places, size_t count) {
    std::string text =
        "CP932 として読めないバイトがあるため、UTF-8 で書き出せません。CP932 のテキストで書き出"
        "してください。\n読めないバイトのある箇所: ";
    for (size_t i = 0; i < places.size(); ++i) {
        text += (i == 0 ? "" : "、") + places[i];
    }
    if (count > places.size()) {
        text += " ほか " + std::to_string(count - places.size()) + " 箇所";
    }
    return text;
}

void WriteText(const ExportJob& job, ByteSink& sink) {
    OutputBuffer<ByteSink> out(sink);
    WriteEncoded(out, job.doc, job.kinds, job.encoding);
}

std::string ExportText(const Document& doc, const ListKindOptions& options, TextEncoding encoding) {
    StringByteSink sink;
    WriteText(ExportJob{doc, options, encoding, {}}, sink);
    return sink.take();
}

void WriteTextExport(const Document& doc, const std::string& path, const ListKindOptions& options,
                     TextEncoding encoding) {
    AtomicFileWriter writer(path);
    SinkTo<AtomicFileWriter> sink(writer);
    WriteText(ExportJob{doc, options, encoding, {}}, sink);
    writer.Commit();
}

}  // namespace brenvale

#include "document/text_export.h"

#include "common/file_io.h"

namespace brenvale {

std::string ExportText(const Document& doc, const ListKindOptions& options) {
    std::string out;
    std::string tabs;
    ForEachTopic(doc, [&](const Topic& t, int level) {
        tabs.assign(static_cast<size_t>(level), '\t');
        out += tabs;
        out += t.caption;
        out += "\r\n";
        for (size_t i = 0; i < t.items.size(); ++i) {
            const Item& item = t.items[i];
            out += tabs;
            out += "  ";
            switch (KindOf(item.text(), options)) {
                case ItemKind::Separator:
                    out += "----------";
                    break;
                case ItemKind::NoBox:
                    out += options.cekMoj;
                    out += item.text().substr(1);
                    break;
                case ItemKind::Ordinary:
                    out += item.stored();
                    break;
            }
            out += "\r\n";
        }
    });
    return out;
}

void WriteTextExport(const Document& doc, const std::string& path, const ListKindOptions& options) {
    WriteFileAtomically(path, ExportText(doc, options));
}

}  // namespace brenvale

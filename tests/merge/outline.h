#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <string_view>

#include "common/check_mark.h"
#include "common/cp932.h"
#include "document/document_reader.h"
#include "document/document_writer.h"
#include "document/model.h"
#include "support/temp_dir.h"

namespace brenvale::test {

// Documents written as readable outlines in UTF-8, one line each: a Topic is its caption
// (with "@N" for an icon other than 0), indented by two spaces a level; an Item is "[ ] text"
// or "[x] text" under its Topic, at any indent.
//
//     仕事
//       [x] 報告書
//       来週 @3
//         [ ] 出張
inline std::string OutlineBytes(std::string_view outline) {
    std::string bytes;
    std::istringstream in{std::string(outline)};
    std::string tabs;
    for (std::string line; std::getline(in, line);) {
        size_t indent = line.find_first_not_of(' ');
        if (indent == std::string::npos) {
            continue;
        }
        std::string rest = line.substr(indent);
        if (rest.starts_with("[ ] ") || rest.starts_with("[x] ")) {
            bytes += tabs + "\x08" + std::string(rest[1] == 'x' ? kCheckedMark : kUncheckedMark) +
                     Sjis(rest.substr(4)) + "\r\n";
            continue;
        }
        tabs.assign(indent / 2, '\t');
        int icon = 0;
        if (size_t at = rest.rfind(" @"); at != std::string::npos) {
            icon = std::stoi(rest.substr(at + 2));
            rest.erase(at);
        }
        char suffix[8];
        std::snprintf(suffix, sizeof suffix, "@%02d@", icon);
        bytes += tabs + Sjis(rest) + suffix + "\r\n";
    }
    return bytes;
}

inline ReadOptions KeepEveryIcon() {
    ReadOptions options;
    options.applyGeometry = false;
    options.imageCount = kEveryIconIndex;
    return options;
}

inline std::unique_ptr<Document> Outline(std::string_view outline) {
    return ParseDocument(OutlineBytes(outline), KeepEveryIcon()).document;
}

// The outline of a Document, in the form Outline reads (marks of neither kind as "[?] ").
inline std::string OutlineOf(const Document& doc) {
    std::string out;
    ForEachTopic(doc, [&](const Topic& t, int level) {
        std::string indent(static_cast<size_t>(level) * 2, ' ');
        out += indent + Cp932ToUtf8(t.caption.view());
        if (t.icon != 0) {
            out += " @" + std::to_string(t.icon);
        }
        out += "\n";
        for (size_t i = 0; i < t.items.size(); ++i) {
            std::string_view mark = t.items[i].mark();
            out += indent + "  " +
                   (mark == kCheckedMark     ? "[x] "
                    : mark == kUncheckedMark ? "[ ] "
                                             : "[?] ") +
                   Cp932ToUtf8(t.items[i].text()) + "\n";
        }
    });
    return out;
}

// The same outline written again in its canonical form (two spaces a level).
inline std::string Canonical(std::string_view outline) {
    return OutlineOf(*Outline(outline));
}

}  // namespace brenvale::test

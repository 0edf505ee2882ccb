#include "exchange/markdown_note.h"

#include "common/hex.h"
#include "common/text.h"

namespace brenvale {

std::string FormatMarkdownNote(const MarkdownNote& note) {
    if (note.empty()) {
        return "";
    }
    std::string out = "<!--";
    if (note.topic) {
        out += " topic";
    }
    if (note.icon != 0) {
        out += " icon:" + std::to_string(note.icon);
    }
    if (note.mark) {
        out += " mark:" + HexOf(*note.mark);
    }
    if (note.exact) {
        out += " cp932:" + HexOf(*note.exact);
    }
    return out + " -->";
}

std::optional<MarkdownNote> ParseMarkdownNote(std::string_view comment) {
    if (!comment.starts_with("<!--") || !comment.ends_with("-->") || comment.size() < 7) {
        return std::nullopt;
    }
    std::string_view body = comment.substr(4, comment.size() - 7);
    MarkdownNote note;
    bool any = false;
    size_t i = 0;
    while (i < body.size()) {
        if (body[i] == ' ') {
            ++i;
            continue;
        }
        size_t end = body.find(' ', i);
        std::string_view field = body.substr(i, end == std::string_view::npos ? end : end - i);
        i = end == std::string_view::npos ? body.size() : end;
        any = true;
        if (field == "topic") {
            note.topic = true;
        } else if (field.starts_with("icon:")) {
            std::string_view digits = field.substr(5);
            if (digits.empty() || digits.size() > 2) {
                return std::nullopt;
            }
            int icon = 0;
            for (char c : digits) {
                if (!IsAsciiDigit(c)) {
                    return std::nullopt;
                }
                icon = icon * 10 + (c - '0');
            }
            note.icon = icon;
        } else if (field.starts_with("mark:")) {
            note.mark = BytesOfHex(field.substr(5));
            if (!note.mark || note.mark->size() > 2) {
                return std::nullopt;
            }
        } else if (field.starts_with("cp932:")) {
            note.exact = BytesOfHex(field.substr(6));
            if (!note.exact) {
                return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
    }
    if (!any) {
        return std::nullopt;
    }
    return note;
}

std::optional<MarkdownNote> TakeTrailingNote(std::string_view& content) {
    if (!content.ends_with("-->")) {
        return std::nullopt;
    }
    size_t open = content.rfind("<!--");
    if (open == std::string_view::npos || (open > 0 && content[open - 1] != ' ')) {
        return std::nullopt;
    }
    std::optional<MarkdownNote> note = ParseMarkdownNote(content.substr(open));
    if (note) {
        content = content.substr(0, open == 0 ? 0 : open - 1);
    }
    return note;
}

}  // namespace brenvale

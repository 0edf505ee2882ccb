#include "schedule/tag_edits.h"

#include "schedule/item_tokens.h"

namespace brenvale {

namespace {

bool HasTag(std::string_view text, const std::string& key) {
    bool found = false;
    ForEachToken(text, [&](const ItemToken& token) {
        found = found || (token.kind == TokenKind::Tag && FoldsTo(token.value(text), key));
    });
    return found;
}

}  // namespace

bool IsTagName(std::string_view name) {
    std::string tag = "#" + std::string(name);
    bool whole = false;
    ForEachToken(tag, [&](const ItemToken& token) {
        whole = whole || (token.kind == TokenKind::Tag && token.span.begin == 0 &&
                          token.span.end == tag.size());
    });
    return whole;
}

std::optional<std::string> WithTag(std::string_view text, std::string_view name) {
    if (!IsTagName(name)) {
        return std::nullopt;
    }
    std::string out(text);
    if (HasTag(text, TagKey(name))) {
        return out;
    }
    if (!out.empty()) {
        out += ' ';
    }
    out += '#';
    out.append(name);
    return out;
}

std::string WithoutTag(std::string_view text, std::string_view name) {
    std::string key = TagKey(name);
    std::string out;
    size_t copied = 0;
    ForEachToken(text, [&](const ItemToken& token) {
        if (token.kind != TokenKind::Tag || !FoldsTo(token.value(text), key)) {
            return;
        }
        size_t begin = token.span.begin;
        size_t end = token.span.end;
        if (begin > copied && text[begin - 1] == ' ') {
            --begin;
        } else if (end < text.size() && text[end] == ' ') {
            ++end;
        }
        out.append(text.substr(copied, begin - copied));
        copied = end;
    });
    out.append(text.substr(copied));
    return out;
}

std::optional<std::string> WithTagRenamed(std::string_view text, std::string_view from,
                                          std::string_view to) {
    if (!IsTagName(to)) {
        return std::nullopt;
    }
    std::string fromKey = TagKey(from);
    std::string toKey = TagKey(to);
    if (!HasTag(text, fromKey)) {
        return std::string(text);
    }
    if (fromKey != toKey && HasTag(text, toKey)) {
        return WithoutTag(text, from);  // the text has the new name already: once is enough
    }
    // Also a new spelling of the same tag ("#TAG" to "#tag") changes every one of them.
    std::string out;
    size_t copied = 0;
    ForEachToken(text, [&](const ItemToken& token) {
        if (token.kind == TokenKind::Tag && FoldsTo(token.value(text), fromKey)) {
            out.append(text.substr(copied, token.valueBegin - copied));
            out.append(to);
            copied = token.span.end;
        }
    });
    out.append(text.substr(copied));
    return out;
}

}  // namespace brenvale

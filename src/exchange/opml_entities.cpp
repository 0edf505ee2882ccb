#include "exchange/opml_entities.h"

namespace brenvale {

namespace {

// Deeper nesting of entities than this is taken as undefined: the parser bounds expansion too.
constexpr int kDeepest = 32;
constexpr size_t kLongestName = 256;

bool Predefined(std::string_view name) {
    return name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "apos";
}

// Calls found(name) for each entity reference in text ("&name;", character references left
// out) until it returns true; returns that name, or empty. NUL bytes are passed over, so that
// the ASCII of a UTF-16 file reads too.
template <typename Found>
std::string_view EachReference(std::string_view text, Found found) {
    for (size_t at = text.find('&'); at != std::string_view::npos; at = text.find('&', at + 1)) {
        size_t start = at + 1;
        while (start < text.size() && text[start] == '\0') {
            ++start;
        }
        if (start >= text.size() || text[start] == '#') {
            continue;
        }
        size_t end = text.find(';', start);
        if (end == std::string_view::npos || end - start > kLongestName) {
            continue;
        }
        std::string name;
        for (char c : text.substr(start, end - start)) {
            if (c != '\0') {
                name += c;
            }
        }
        if (found(name)) {
            return text.substr(start, end - start);
        }
    }
    return {};
}

}  // namespace

void DeclaredEntities::declare(std::string_view name, const char* value, int length) {
    // The first declaration of a name is the one that counts.
    if (value && length >= 0) {
        values_.emplace(name, std::string(value, static_cast<size_t>(length)));
    }
}

bool DeclaredEntities::defined(std::string_view name, int depth) const {
    if (Predefined(name)) {
        return true;
    }
    auto found = values_.find(std::string(name));
    if (found == values_.end() || depth >= kDeepest) {
        return false;
    }
    return EachReference(found->second,
                         [&](const std::string& inner) { return !defined(inner, depth + 1); })
        .empty();
}

std::string_view DeclaredEntities::firstUndeclared(std::string_view text) const {
    return EachReference(text, [&](const std::string& name) { return !defined(name, 0); });
}

}  // namespace brenvale

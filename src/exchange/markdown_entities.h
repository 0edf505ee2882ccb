#pragma once

#include <optional>
#include <string_view>

namespace brenvale {

// The characters a named entity stands for: one, or for a few two (second is 0 otherwise).
struct EntityCharacters {
    char32_t first = 0;
    char32_t second = 0;
};

// The characters of the HTML entity `name` (without its "&" and ";"), as Markdown reads
// "&name;"; nothing when HTML has no entity of that name (names are case-sensitive).
std::optional<EntityCharacters> HtmlEntity(std::string_view name);

}  // namespace brenvale

#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brenvale {

// Whether name (without its mark) reads as a tag: not empty, no blank, not starting with
// another mark, not digits alone.
bool IsTagName(std::string_view name);

// The text with the tag `name` added at its end, or as it was when it has that tag already
// (compared as tags are, through TagKey). Empty when name is no tag name.
std::optional<std::string> WithTag(std::string_view text, std::string_view name);

// The text without any tag that is `name` (and without the space before each).
std::string WithoutTag(std::string_view text, std::string_view name);

// The text with every tag that is `from` named `to` instead (one of them when the text has
// both). Empty when `to` is no tag name.
std::optional<std::string> WithTagRenamed(std::string_view text, std::string_view from,
                                          std::string_view to);

}  // namespace brenvale

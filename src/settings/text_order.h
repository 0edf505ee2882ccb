#pragma once

#include <string_view>

namespace brenvale {

// Orders two UTF-8 texts as a Japanese desktop sorts words, with case: first without regard
// to letter case, to full or half width and to hiragana or katakana; then, at the first place
// where only that differs, lower case before upper case, half width before full width and
// hiragana before katakana; then by code point. Negative, zero or positive like strcmp.
int CompareLocaleText(std::string_view a, std::string_view b);

}  // namespace brenvale

#pragma once

#include <string_view>

#include "common/hex.h"

namespace brenvale {

// The program's own OPML attributes, in kOpmlNamespace.
inline constexpr std::string_view kOpmlKind = "kind";
inline constexpr std::string_view kOpmlIcon = "icon";
inline constexpr std::string_view kOpmlMark = "mark";
inline constexpr std::string_view kOpmlCp932 = "cp932";

// Whether XML 1.0 can carry the character c (CP932 decodes to no surrogates, U+FFFE or
// U+FFFF): the control characters but TAB, LF and CR it cannot, not even as references.
inline bool XmlCarries(char32_t c) {
    return c >= 0x20 || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace brenvale

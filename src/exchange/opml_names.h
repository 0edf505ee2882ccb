#pragma once

#include <string_view>

namespace brenvale {

// The program's own OPML attributes, in kOpmlNamespace.
inline constexpr std::string_view kOpmlKind = "kind";
inline constexpr std::string_view kOpmlIcon = "icon";
inline constexpr std::string_view kOpmlMark = "mark";
inline constexpr std::string_view kOpmlCp932 = "cp932";

}  // namespace brenvale

#pragma once

#include <string_view>

namespace brenvale {

// The two-byte CP932 marks of a checked ("■") and an unchecked ("□") Item.
inline constexpr std::string_view kCheckedMark = "\x81\xA1";
inline constexpr std::string_view kUncheckedMark = "\x81\xA0";

inline std::string_view CheckMarkText(bool checked) {
    return checked ? kCheckedMark : kUncheckedMark;
}

inline bool IsCheckedMark(std::string_view mark) {
    return mark == kCheckedMark;
}

}  // namespace brenvale

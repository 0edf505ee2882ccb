#pragma once

#include <string>
#include <string_view>

namespace brenvale {

// Removes the space byte (0x20) at both ends; other blanks, the double-width space included, stay.
std::string_view TrimBlanks(std::string_view text);

// Removes ASCII white space at both ends (as the settings file reader does).
std::string_view TrimWhite(std::string_view text);

// Compares ASCII letters without regard to case; other bytes must be equal.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

std::string ToLowerAscii(std::string_view text);

inline constexpr bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace brenvale

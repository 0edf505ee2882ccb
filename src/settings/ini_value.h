#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brenvale {

// The integer forms of the settings file: decimal with an optional sign, and hexadecimal after
// "$" or (in a text of more than two characters) "0x"/"0X", up to 32 bits. Anything else,
// including a number out of range, is not an integer.
std::optional<int32_t> ParseIniInteger(std::string_view text);

inline std::string FormatIniBool(bool value) {
    return value ? "1" : "0";
}

// A value read from the file as an integer or a bool (any integer, non-zero being true); the
// fallback when the key is missing or its text is not an integer.
int32_t IniIntegerOr(const std::optional<std::string>& text, int32_t fallback);
bool IniBoolOr(const std::optional<std::string>& text, bool fallback);

}  // namespace brenvale

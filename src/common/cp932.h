#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brenvale {

// CP932 (the Microsoft mapping of Shift_JIS, NEC and IBM rows included) to and from Unicode.
// Decoding never fails: a byte sequence CP932 does not define becomes U+FFFD. Encoding fails
// for a character CP932 cannot carry; *badIndex then receives its position in the input
// (in bytes for UTF-8, in code units for UTF-16). Look-alikes such as "〜" and "−" encode
// to their CP932 forms.
std::string Cp932ToUtf8(std::string_view cp932);
std::u16string Cp932ToUtf16(std::string_view cp932);
std::optional<std::string> Utf8ToCp932(std::string_view utf8, size_t* badIndex = nullptr);
std::optional<std::string> Utf16ToCp932(std::u16string_view utf16, size_t* badIndex = nullptr);

}  // namespace brenvale

#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brenvale {

// Bytes as upper-case hexadecimal digits, two per byte, and back. Where text formats keep
// bytes that have no character of their own.
std::string HexOf(std::string_view bytes);
// Nothing when hex is not an even number of hexadecimal digits (either case).
std::optional<std::string> BytesOfHex(std::string_view hex);

}  // namespace brenvale

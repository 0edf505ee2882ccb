#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brenvale {

// Where a text begins in the file it was read from: line and column counted from 1, the
// column in characters.
struct SourcePlace {
    uint32_t line = 0;
    uint32_t column = 0;
};

// Bytes an import found that are not UTF-8, and where they are.
struct UnconvertiblePlace {
    std::string bytes;
    SourcePlace where;
};

// How many of the first places an import refusal names.
inline constexpr size_t kNamedCharacters = 5;

// The message of an import refused for bytes that are not UTF-8; count is how many places
// there were in all, places the first few.
std::string UnconvertibleText(std::string_view sourceName,
                              const std::vector<UnconvertiblePlace>& places, size_t count);

// The message of an import stopped because its document would be too large to be opened:
// the deepest level reached (counted from 1) and the largest size a document may have.
std::string TooLargeImportText(std::string_view sourceName, size_t depth, uint64_t limit);

// The message of an import refused before it began, for what the file is: kind says it
// ("PNG 画像"; "UTF-16 のテキスト").
std::string NotTextImportText(std::string_view sourceName, std::string_view kind);

}  // namespace brenvale

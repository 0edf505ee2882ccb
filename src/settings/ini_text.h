#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace brenvale {

// The INI layout on raw bytes: "[Section]" lines, "Key=Value" lines, and anything
// else (comments, blank lines, stray text) kept as it stands. Section and key names match
// without regard to ASCII case; a CP932 double-byte character is compared as it is.

// Values longer than this are cut on reading.
inline constexpr size_t kMaxIniValue = 2047;

bool IniNamesEqual(std::string_view a, std::string_view b);

// The value of key in the first section of that name, without the blanks around it and cut
// to kMaxIniValue bytes; nullopt when the section or the key is missing.
std::optional<std::string> FindIniValue(std::string_view bytes, std::string_view section,
                                        std::string_view key);

// The names of the sections, in file order (a name that comes again is listed again).
std::vector<std::string> IniSectionNames(std::string_view bytes);

// The keys of the first section of that name, in file order.
std::vector<std::string> IniSectionKeys(std::string_view bytes, std::string_view section);

// The bytes with key set to value: the key's line is replaced, or a new line follows the
// section's last non-blank line, or the section is appended. Names and value must not hold
// line breaks (IniFile checks).
std::string SetIniValue(std::string_view bytes, std::string_view section, std::string_view key,
                        std::string_view value);

// The bytes without every section of that name: headers, keys and the lines among them.
std::string EraseIniSection(std::string_view bytes, std::string_view section);

// The bytes with every section of that name erased and the entries written after it, in order
// (what erasing and then writing them key by key gives).
std::string ReplaceIniSection(std::string_view bytes, std::string_view section,
                              const std::vector<std::pair<std::string, std::string>>& entries);

}  // namespace brenvale

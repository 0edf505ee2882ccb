#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brenvale {

// The desktop's text files about file types: the default applications of mimeapps.list and
// the file name patterns of a MIME database's globs2. MIME types match without regard to case.

// The desktop ID that opens files of type by default: the first of its entry in
// [Default Applications]; nothing when the file has no entry for the type.
std::optional<std::string> DefaultApplication(std::string_view mimeapps, std::string_view type);

// The entry of type in [Default Applications] as it stands ("type=a.desktop;"), to put back.
std::optional<std::string> DefaultApplicationLine(std::string_view mimeapps, std::string_view type);

// The text with desktopId as the only default of type; every other line stays.
std::string SetDefaultApplication(std::string_view mimeapps, std::string_view type,
                                  std::string_view desktopId);

// The text without desktopId among the defaults of type (an entry left empty goes); *removed
// tells whether it was there.
std::string RemoveDefaultApplication(std::string_view mimeapps, std::string_view type,
                                     std::string_view desktopId, bool* removed);

// The types that globs2 text ("weight:type:pattern[:flags]" lines) gives the pattern; letter
// case is ignored unless the entry is marked case-sensitive.
std::vector<std::string> TypesOfPattern(std::string_view globs2, std::string_view pattern);

}  // namespace brenvale

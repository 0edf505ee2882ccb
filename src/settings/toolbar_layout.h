#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brenvale {

// The toolbar layout in the section "ToolBar" of the settings file: keys "00", "01", ...
// holding a command name or "-" for a separator.

inline constexpr std::string_view kToolbarSeparatorText = "-";
inline constexpr int kToolbarSeparator = -1;

// The values in the order their keys stand in the file; empty when the section is missing
// or empty, in which case the designed toolbar stays.
std::vector<std::string> ReadToolbarValues(const std::string& settingsPath);

// The buttons from left to right: indexes into names, kToolbarSeparator for a separator.
// Values that name no command are skipped; a command named twice goes to its later place.
std::vector<int> ResolveToolbar(std::span<const std::string> values,
                                std::span<const std::string_view> names);

// Replaces the section with the values (none erases it). Throws Error when the file cannot
// be written.
void WriteToolbarValues(const std::string& settingsPath, std::span<const std::string> values);

}  // namespace brenvale

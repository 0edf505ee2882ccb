#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brenvale {

// The size a resizable settings dialog had when it last closed, kept in a section of the
// settings file of its own ("Width" and "Height").
struct DialogSize {
    int width = 0;
    int height = 0;

    bool operator==(const DialogSize&) const = default;
};

inline constexpr std::string_view kShortcutKeyDialogSection = "KeyDialog";
inline constexpr std::string_view kToolbarDialogSection = "ToolBarDialog";

// Nothing when the file holds no usable size (a missing key, or a width or height that is not
// a positive number below 100000).
std::optional<DialogSize> ReadDialogSize(const std::string& path, std::string_view section);
// Throws Error when the file cannot be written.
void WriteDialogSize(const std::string& path, std::string_view section, DialogSize size);

}  // namespace brenvale

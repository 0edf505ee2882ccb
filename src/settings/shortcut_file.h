#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/shortcut.h"

namespace brenvale {

// A shortcut file (".key"): the section "ShortCutKey" of an INI file, one line per command,
// "Name=shortcut text". Command names come from the caller, in the caller's order.

struct ShortcutFileLine {
    std::string name;
    std::string text;  // the shortcut text as shown (UTF-8), kNoShortcutText for none
};

// Replaces the section with one line per entry, in order; other sections stay. Throws Error
// when the file cannot be written.
void WriteShortcutFile(const std::string& path, std::span<const ShortcutFileLine> lines);

// The start-up reading, one result per name: nullopt keeps the command's default key (no file,
// no line, or an empty value); otherwise the shortcut to set, empty for the none text or a
// text that names no key.
std::vector<std::optional<Shortcut>> ReadShortcutFile(const std::string& path,
                                                      std::span<const std::string_view> names);

// The texts for the dialog's import, one per name, as shown (UTF-8); kNoShortcutText where
// the file has no value.
std::vector<std::string> ReadShortcutTexts(const std::string& path,
                                           std::span<const std::string_view> names);

}  // namespace brenvale

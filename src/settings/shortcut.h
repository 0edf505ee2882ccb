#pragma once

#include <span>
#include <string>
#include <string_view>

namespace brenvale {

// A shortcut key: a key name in its canonical spelling ("F5", "A", "Ins", "BkSp", "PgUp") and
// the modifiers. An empty key means no shortcut.
struct Shortcut {
    std::string key;
    bool shift = false;
    bool ctrl = false;
    bool alt = false;

    bool empty() const { return key.empty(); }
    bool operator==(const Shortcut&) const = default;
};

// The text for "no shortcut": UTF-8 for display, CP932 as files store it.
inline constexpr std::string_view kNoShortcutText = "(なし)";
inline constexpr std::string_view kNoShortcutTextCp932 = "(\x82\xC8\x82\xB5)";

// The key list of the shortcut dialog: kNoShortcutText, "F1".."F12", "A".."Z", "0".."9",
// "Home", "End", "Ins", "Del", "BkSp", "Left", "Right", "Up", "Down", "Enter".
std::span<const std::string_view> ShortcutDialogKeys();

// Shortcuts the main window handles itself; the dialog warns before assigning them.
std::span<const std::string_view> ReservedShortcutTexts();

// Prefixes "Shift+", "Ctrl+", "Alt+" in any order and letter case, then a key name of the
// dialog or "Tab", "Esc", "Space", "PgUp", "PgDn" in any letter case. Anything else, the
// none text in either spelling included, gives no shortcut.
Shortcut ParseShortcut(std::string_view text);

// Prefixes in the order Shift+, Ctrl+, Alt+ and the key name; kNoShortcutText for none.
std::string FormatShortcut(const Shortcut& shortcut);

}  // namespace brenvale

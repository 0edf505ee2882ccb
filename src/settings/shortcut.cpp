#include "settings/shortcut.h"

#include <array>

#include "common/text.h"

namespace brenvale {

namespace {

// clang-format off
constexpr std::array<std::string_view, 59> kDialogKeys = {
    kNoShortcutText,
    "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12",
    "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
    "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z",
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9",
    "Home", "End", "Ins", "Del", "BkSp", "Left", "Right", "Up", "Down", "Enter",
};
// clang-format on

// Understood when read, though the dialog does not offer them.
constexpr std::array<std::string_view, 5> kExtraKeys = {"Tab", "Esc", "Space", "PgUp", "PgDn"};

constexpr std::array<std::string_view, 9> kReserved = {
    "F2",         "Ctrl+C",      "Ctrl+V",     "Ctrl+X",    "Ctrl+Z",
    "Shift+Left", "Shift+Right", "Shift+Home", "Shift+End",
};

bool TakePrefix(std::string_view& text, std::string_view prefix) {
    if (text.size() > prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix)) {
        text.remove_prefix(prefix.size());
        return true;
    }
    return false;
}

std::string_view CanonicalKey(std::string_view name) {
    for (size_t i = 1; i < kDialogKeys.size(); ++i) {
        if (EqualsIgnoreCase(kDialogKeys[i], name)) {
            return kDialogKeys[i];
        }
    }
    for (std::string_view extra : kExtraKeys) {
        if (EqualsIgnoreCase(extra, name)) {
            return extra;
        }
    }
    return {};
}

}  // namespace

std::span<const std::string_view> ShortcutDialogKeys() {
    return kDialogKeys;
}

std::span<const std::string_view> ReservedShortcutTexts() {
    return kReserved;
}

Shortcut ParseShortcut(std::string_view text) {
    Shortcut shortcut;
    for (bool more = true; more;) {
        more = false;
        if (TakePrefix(text, "Shift+")) {
            shortcut.shift = more = true;
        } else if (TakePrefix(text, "Ctrl+")) {
            shortcut.ctrl = more = true;
        } else if (TakePrefix(text, "Alt+")) {
            shortcut.alt = more = true;
        }
    }
    std::string_view key = CanonicalKey(text);
    if (key.empty()) {
        return {};
    }
    shortcut.key = std::string(key);
    return shortcut;
}

std::string FormatShortcut(const Shortcut& shortcut) {
    if (shortcut.empty()) {
        return std::string(kNoShortcutText);
    }
    std::string text;
    if (shortcut.shift) {
        text += "Shift+";
    }
    if (shortcut.ctrl) {
        text += "Ctrl+";
    }
    if (shortcut.alt) {
        text += "Alt+";
    }
    return text + shortcut.key;
}

}  // namespace brenvale

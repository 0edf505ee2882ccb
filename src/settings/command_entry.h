#pragma once

#include <string_view>

namespace brenvale {

// What the shortcut key and toolbar dialogs show of a command. Callers give the commands in
// table order; a command is known by its position in that order.
struct CommandEntry {
    std::string_view name;
    int tag;
    std::string_view category;
    std::string_view caption;
    int image;
    // Part of the toolbar dialog's default set (the commands of the first version).
    bool inDefaultSet = true;
    // The command's own key in shortcut text form: a reserved key that is the command's own
    // default draws no warning (undo's Ctrl+Z acts in the tree and the list only).
    std::string_view defaultKey;
};

}  // namespace brenvale

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
};

}  // namespace brenvale

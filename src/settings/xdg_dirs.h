#pragma once

#include <string>
#include <vector>

#include "settings/companion_files.h"

namespace brenvale {

// The user's and the system's folders of the freedesktop base directory rules. A folder that
// cannot be worked out (no HOME) is empty.
struct XdgDirs {
    std::string dataHome;                 // $XDG_DATA_HOME, else ~/.local/share
    std::string configHome;               // $XDG_CONFIG_HOME, else ~/.config
    std::vector<std::string> dataDirs;    // $XDG_DATA_DIRS, else /usr/local/share, /usr/share
    std::vector<std::string> configDirs;  // $XDG_CONFIG_DIRS, else /etc/xdg

    // Relative values are ignored, as the rules say.
    static XdgDirs From(const EnvironmentLookup& environment);
};

// The process's own environment.
EnvironmentLookup ProcessEnvironment();

}  // namespace brenvale

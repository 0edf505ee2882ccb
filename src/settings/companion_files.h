#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace brenvale {

// The full path of the running program (from /proc/self/exe, else argv0) in long form. When
// that form cannot be worked out the absolute path serves instead.
std::string ProgramPath(const char* argv0);

// The long form of a program path, or its absolute form when a component cannot be looked up.
std::string ResolveProgramPath(std::string_view path);

// The files the program keeps beside itself, named after the program file.
struct CompanionFiles {
    std::string folder;
    std::string settings;   // ".ini"
    std::string shortcuts;  // ".key"

    // "Icon01.ico" to "Icon15.ico".
    std::string userIcon(int number) const;
};

using WritableFolderTest = std::function<bool(const std::string& folder)>;
using EnvironmentLookup = std::function<std::optional<std::string>(const std::string& name)>;

// Where the companion files of programPath live: the program's own folder when it is
// writable, else (an installed copy) the user's configuration folder
// $XDG_CONFIG_HOME/brenvale or ~/.config/brenvale. Works on names only.
CompanionFiles LocateCompanionFiles(const std::string& programPath,
                                    const WritableFolderTest& writable,
                                    const EnvironmentLookup& environment);

// The same for the real file system and environment; creates the configuration folder when
// it is chosen and missing.
CompanionFiles LocateCompanionFiles(const std::string& programPath);

}  // namespace brenvale

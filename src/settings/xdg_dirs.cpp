#include "settings/xdg_dirs.h"

#include <cstdlib>

#include "common/path.h"

namespace brenvale {

namespace {

bool Absolute(const std::string& path) {
    return !path.empty() && path.front() == kPathSeparator;
}

std::string HomeFolder(const EnvironmentLookup& environment, const char* name,
                       const char* underHome) {
    std::optional<std::string> value = environment(name);
    if (value && Absolute(*value)) {
        return *value;
    }
    std::optional<std::string> home = environment("HOME");
    return home && Absolute(*home) ? JoinPath(*home, underHome) : std::string();
}

std::vector<std::string> FolderList(const EnvironmentLookup& environment, const char* name,
                                    std::vector<std::string> fallback) {
    std::optional<std::string> value = environment(name);
    std::vector<std::string> folders;
    if (value) {
        size_t begin = 0;
        while (begin <= value->size()) {
            size_t colon = value->find(':', begin);
            if (colon == std::string::npos) {
                colon = value->size();
            }
            std::string folder = value->substr(begin, colon - begin);
            if (Absolute(folder)) {
                folders.push_back(std::move(folder));
            }
            begin = colon + 1;
        }
    }
    return folders.empty() ? fallback : folders;
}

}  // namespace

XdgDirs XdgDirs::From(const EnvironmentLookup& environment) {
    XdgDirs dirs;
    dirs.dataHome = HomeFolder(environment, "XDG_DATA_HOME", ".local/share");
    dirs.configHome = HomeFolder(environment, "XDG_CONFIG_HOME", ".config");
    dirs.dataDirs = FolderList(environment, "XDG_DATA_DIRS", {"/usr/local/share", "/usr/share"});
    dirs.configDirs = FolderList(environment, "XDG_CONFIG_DIRS", {"/etc/xdg"});
    return dirs;
}

EnvironmentLookup ProcessEnvironment() {
    return [](const std::string& name) -> std::optional<std::string> {
        const char* value = std::getenv(name.c_str());
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
}

}  // namespace brenvale

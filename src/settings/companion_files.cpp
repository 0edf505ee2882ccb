#include "settings/companion_files.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "common/error.h"
#include "common/path.h"

namespace brenvale {

namespace {

constexpr std::string_view kConfigFolderName = "brenvale";
constexpr std::string_view kDeletedSuffix = " (deleted)";

std::optional<std::string> ExecutableLink() {
    std::error_code ec;
    std::filesystem::path target = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || target.empty()) {
        return std::nullopt;
    }
    std::string path = target.string();
    // A program replaced while it runs still names its folder; the suffix is not part of it.
    if (path.ends_with(kDeletedSuffix) && !FileExists(path)) {
        path.erase(path.size() - kDeletedSuffix.size());
    }
    return path;
}

std::optional<std::string> ConfigHome(const EnvironmentLookup& environment) {
    // Relative values are to be ignored, as the XDG rules say.
    std::optional<std::string> xdg = environment("XDG_CONFIG_HOME");
    if (xdg && !xdg->empty() && xdg->front() == kPathSeparator) {
        return *xdg;
    }
    std::optional<std::string> home = environment("HOME");
    if (home && !home->empty()) {
        return JoinPath(*home, ".config");
    }
    return std::nullopt;
}

CompanionFiles FilesIn(const std::string& folder, std::string_view programName) {
    CompanionFiles files;
    files.folder = folder;
    files.settings = JoinPath(folder, ReplaceExtension(programName, ".ini"));
    files.shortcuts = JoinPath(folder, ReplaceExtension(programName, ".key"));
    return files;
}

}  // namespace

std::string ResolveProgramPath(std::string_view path) {
    try {
        return ExpandLongPath(path);
    } catch (const Error&) {
        // Without the long form the program still has a usable name for its companion files.
        std::error_code ec;
        std::filesystem::path absolute = std::filesystem::absolute(std::string(path), ec);
        return ec ? std::string(path) : absolute.lexically_normal().string();
    }
}

std::string ProgramPath(const char* argv0) {
    std::optional<std::string> link = ExecutableLink();
    if (link) {
        return ResolveProgramPath(*link);
    }
    return ResolveProgramPath(argv0 ? argv0 : "");
}

std::string CompanionFiles::userIcon(int number) const {
    char name[32];
    std::snprintf(name, sizeof name, "Icon%02d.ico", number);
    return JoinPath(folder, name);
}

CompanionFiles LocateCompanionFiles(const std::string& programPath,
                                    const WritableFolderTest& writable,
                                    const EnvironmentLookup& environment) {
    std::string folder = FolderPart(programPath);
    std::string_view name = FileNamePart(programPath);
    if (writable(folder)) {
        return FilesIn(folder, name);
    }
    std::optional<std::string> configHome = ConfigHome(environment);
    if (!configHome) {
        return FilesIn(folder, name);  // nowhere better: writes will report the failure
    }
    return FilesIn(JoinPath(*configHome, kConfigFolderName), name);
}

CompanionFiles LocateCompanionFiles(const std::string& programPath) {
    CompanionFiles files = LocateCompanionFiles(
        programPath,
        [](const std::string& folder) {
            return ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
        },
        [](const std::string& name) -> std::optional<std::string> {
            const char* value = std::getenv(name.c_str());
            return value ? std::optional<std::string>(value) : std::nullopt;
        });
    if (files.folder != FolderPart(programPath)) {
        // A folder that cannot be made shows up as the write error of the first write.
        std::error_code ec;
        std::filesystem::create_directories(files.folder, ec);
    }
    return files;
}

}  // namespace brenvale

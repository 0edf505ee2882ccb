#include "settings/help_files.h"

#include <algorithm>
#include <filesystem>

#include "common/path.h"

namespace brenvale {

namespace {

constexpr const char* kPackageName = "brenvale";

void AddOnce(std::vector<std::string>& list, std::string value) {
    if (std::find(list.begin(), list.end(), value) == list.end()) {
        list.push_back(std::move(value));
    }
}

}  // namespace

std::vector<std::string> InstalledHelpFolders(const std::string& programPath,
                                              const std::string& configuredDataFolder) {
    std::vector<std::string> folders;
    std::filesystem::path programFolder = std::filesystem::path(FolderPart(programPath));
    std::filesystem::path beside = programFolder.parent_path() / "share" / kPackageName;
    AddOnce(folders, beside.lexically_normal().string());
    if (!configuredDataFolder.empty()) {
        AddOnce(folders, std::filesystem::path(configuredDataFolder).lexically_normal().string());
    }
    return folders;
}

std::vector<std::string> HelpCollectionCandidates(const std::string& programPath,
                                                  const std::vector<std::string>& folders) {
    std::vector<std::string> candidates;
    std::string ownName = ReplaceExtension(FileNamePart(programPath), kHelpCollectionExtension);
    std::string packageName = std::string(kPackageName) + kHelpCollectionExtension;
    AddOnce(candidates, JoinPath(FolderPart(programPath), ownName));
    for (const std::string& folder : folders) {
        AddOnce(candidates, JoinPath(folder, ownName));
        AddOnce(candidates, JoinPath(folder, packageName));
    }
    return candidates;
}

std::string HelpFileOf(const std::string& collection) {
    return ReplaceExtension(collection, kHelpFileExtension);
}

std::optional<std::string> FindHelpCollection(const std::vector<std::string>& candidates,
                                              const FileExistsTest& exists) {
    for (const std::string& candidate : candidates) {
        if (exists(candidate) && exists(HelpFileOf(candidate))) {
            return candidate;
        }
    }
    return std::nullopt;
}

}  // namespace brenvale

#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace brenvale {

// The help collection is a pair of files: the collection ".qhc", which the help window opens,
// and the compressed help ".qch" it refers to, both in one folder.
inline constexpr const char* kHelpCollectionExtension = ".qhc";
inline constexpr const char* kHelpFileExtension = ".qch";

// The folders an installed program keeps its help in: "share/brenvale" beside the program's
// "bin" folder (so a relocated or unpacked installation finds its own), then the data folder
// the build was configured for, when it is another one.
std::vector<std::string> InstalledHelpFolders(const std::string& programPath,
                                              const std::string& configuredDataFolder);

// Where the help collection of programPath is looked for, in order: beside the program and
// named after it, as the other companion files are; then, in each installed folder, named
// after the program and under the package's own name "brenvale".
std::vector<std::string> HelpCollectionCandidates(const std::string& programPath,
                                                  const std::vector<std::string>& folders);

using FileExistsTest = std::function<bool(const std::string& path)>;

// The first candidate whose collection and compressed help file both exist.
std::optional<std::string> FindHelpCollection(const std::vector<std::string>& candidates,
                                              const FileExistsTest& exists);

// The compressed help file that belongs beside a collection.
std::string HelpFileOf(const std::string& collection);

}  // namespace brenvale

#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace brenvale {

inline constexpr char kPathSeparator = '/';

// The file name part of a path: everything after the last separator.
std::string_view FileNamePart(std::string_view path);

// The folder part of a path without its trailing separator ("/" stays for the root); empty
// when the path has no folder.
std::string FolderPart(std::string_view path);

std::string JoinPath(std::string_view folder, std::string_view name);

// Replaces the part of the file name from its last "." on by extension (".BAK", ".tmp",
// ".txt"); a name without "." gets the extension appended.
std::string ReplaceExtension(std::string_view path, std::string_view extension);

using TextWidthFn = std::function<int(std::string_view)>;

// Removes a leading folder of a folder text that ends in a separator, leaving ".../".
std::string TrimFirstFolder(std::string_view folder);

// Shortens a path folder by folder ("/.../data/plan.bnv") until its width fits, down to the
// bare file name.
std::string ShortenPathToWidth(std::string_view path, const TextWidthFn& width, int maxWidth);

// The absolute form of a path with every component checked; throws Error
// ("ファイルが見つかりません。") when one does not exist.
std::string ExpandLongPath(std::string_view path);

// The absolute form of path, against the working folder now: a name that must keep meaning the
// same file after the working folder is forgotten (a document's name, kept in the recent-file
// list and the recovery information). "." parts and doubled separators of a relative path go;
// ".." parts stay, since a folder before them may be a symbolic link. An absolute path, and
// any path when the working folder is unknown, is returned as it is.
std::string AbsolutePath(std::string_view path);
inline bool IsAbsolutePath(std::string_view path) {
    return !path.empty() && path.front() == kPathSeparator;
}

bool FolderExists(std::string_view path);
bool FileExists(std::string_view path);
// Whether anything (a file, a folder, a device) is at path.
bool PathExists(std::string_view path);

}  // namespace brenvale

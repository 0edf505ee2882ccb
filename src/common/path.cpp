#include "common/path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "common/error.h"

namespace brenvale {

std::string_view FileNamePart(std::string_view path) {
    size_t sep = path.rfind(kPathSeparator);
    return sep == std::string_view::npos ? path : path.substr(sep + 1);
}

std::string FolderPart(std::string_view path) {
    size_t sep = path.rfind(kPathSeparator);
    if (sep == std::string_view::npos) {
        return {};
    }
    return std::string(path.substr(0, sep == 0 ? 1 : sep));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (!out.empty() && out.back() != kPathSeparator) {
        out += kPathSeparator;
    }
    out += name;
    return out;
}

std::string ReplaceExtension(std::string_view path, std::string_view extension) {
    size_t nameStart = path.size() - FileNamePart(path).size();
    size_t dot = path.rfind('.');
    std::string out(path);
    if (dot != std::string_view::npos && dot >= nameStart) {
        out.erase(dot);
    }
    out += extension;
    return out;
}

std::string TrimFirstFolder(std::string_view folder) {
    const std::string sep(1, kPathSeparator);
    if (folder == sep) {
        return {};
    }
    std::string f(folder);
    bool hadLeading = !f.empty() && f.front() == kPathSeparator;
    if (hadLeading) {
        f.erase(0, 1);
    }
    if (!f.empty() && f.front() == '.') {
        f.erase(0, std::min<size_t>(4, f.size()));
    }
    size_t sepPos = f.find(kPathSeparator);
    if (sepPos == std::string::npos) {
        f.clear();
    } else {
        f = "..." + sep + f.substr(sepPos + 1);
    }
    if (hadLeading) {
        f.insert(0, sep);
    }
    return f;
}

std::string ShortenPathToWidth(std::string_view path, const TextWidthFn& width, int maxWidth) {
    std::string result(path);
    size_t split = path.find_last_of(std::string{kPathSeparator, ':'});
    std::string folder(split == std::string_view::npos ? std::string_view{}
                                                       : path.substr(0, split + 1));
    std::string name(split == std::string_view::npos ? path : path.substr(split + 1));
    std::string drive;
    if (folder.size() >= 2 && folder[1] == ':') {
        drive = folder.substr(0, 2);
        folder.erase(0, 2);
    }
    const std::string elided = std::string(1, kPathSeparator) + "..." + kPathSeparator;
    while ((!folder.empty() || !drive.empty()) && width(result) > maxWidth) {
        if (folder == elided) {
            drive.clear();
            folder = elided.substr(1);
        } else if (folder.empty()) {
            drive.clear();
        } else {
            folder = TrimFirstFolder(folder);
        }
        result = drive + folder + name;
    }
    return result;
}

std::string ExpandLongPath(std::string_view path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path absolute = fs::absolute(fs::path(std::string(path)), ec);
    if (ec) {
        throw Error("ファイルが見つかりません。");
    }
    absolute = absolute.lexically_normal();
    fs::path probe;
    for (const fs::path& part : absolute) {
        probe /= part;
        struct stat st;
        if (part != probe.root_path() && !part.empty() && ::lstat(probe.c_str(), &st) != 0) {
            throw Error("ファイルが見つかりません。");
        }
    }
    std::string out = absolute.string();
    if (out.size() > 1 && out.back() == kPathSeparator) {
        out.pop_back();
    }
    return out;
}

std::string AbsolutePath(std::string_view path) {
    if (path.empty() || path.front() == kPathSeparator) {
        return std::string(path);
    }
    std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
    if (!cwd) {
        return std::string(path);  // the working folder was removed: nothing to resolve against
    }
    std::string out = cwd.get();
    while (out.size() > 1 && out.back() == kPathSeparator) {
        out.pop_back();
    }
    for (size_t start = 0; start <= path.size();) {
        size_t end = path.find(kPathSeparator, start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        std::string_view part = path.substr(start, end - start);
        if (!part.empty() && part != ".") {
            out = JoinPath(out, part);
        }
        start = end + 1;
    }
    return out;
}

bool FolderExists(std::string_view path) {
    struct stat st;
    return !path.empty() && ::stat(std::string(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileExists(std::string_view path) {
    struct stat st;
    return !path.empty() && ::stat(std::string(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool PathExists(std::string_view path) {
    struct stat st;
    return !path.empty() && ::stat(std::string(path).c_str(), &st) == 0;
}

}  // namespace brenvale

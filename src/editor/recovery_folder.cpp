#include "editor/recovery_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/error.h"

namespace brenvale {

namespace {

bool IsAbsolute(const char* path) {
    return path && path[0] == '/';
}

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

}  // namespace

std::optional<std::string> RecoveryFolder(const char* xdgStateHome, const char* home) {
    if (IsAbsolute(xdgStateHome)) {
        return WithoutTrailingSlashes(xdgStateHome) + "/brenvale/recovery";
    }
    if (IsAbsolute(home)) {
        std::string base = WithoutTrailingSlashes(home);
        return (base == "/" ? "" : base) + "/.local/state/brenvale/recovery";
    }
    return std::nullopt;
}

std::optional<std::string> RecoveryFolderFromEnvironment() {
    const char* home = std::getenv("HOME");
    std::string fromPasswd;
    if (!IsAbsolute(home)) {
        std::vector<char> buffer(16384);
        passwd entry{};
        passwd* found = nullptr;
        if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
            found->pw_dir) {
            fromPasswd = found->pw_dir;
            home = fromPasswd.c_str();
        }
    }
    return RecoveryFolder(std::getenv("XDG_STATE_HOME"), home);
}

void MakePrivateFolder(const std::string& folder, const char* purpose) {
    auto fail = [&](int error) {
        throw Error(purpose + (" " + folder) + " を作成できません。\n" + std::strerror(error));
    };
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            fail(errno);
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat st;
    if (::lstat(folder.c_str(), &st) != 0) {
        fail(errno);
    }
    auto refuse = [&](const char* reason) {
        throw Error(purpose + (" " + folder) + " を使えません。\n" + reason);
    };
    if (S_ISLNK(st.st_mode)) {
        refuse("シンボリックリンクです。");
    }
    if (!S_ISDIR(st.st_mode)) {
        fail(ENOTDIR);
    }
    if (st.st_uid != ::geteuid()) {
        refuse("ほかのユーザーのフォルダーです。");
    }
    if ((st.st_mode & 077) != 0) {
        refuse("ほかのユーザーも使えるフォルダーです。");
    }
}

}  // namespace brenvale

#pragma once

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace brenvale::test {

// The ids that permission tests drop to when they run as root.
inline constexpr uid_t kNobody = 65534;
inline constexpr gid_t kNoGroup = 65534;

inline bool IsRoot() {
    return ::geteuid() == 0;
}

// Runs fn in a child process in which permissions apply: root drops to nobody there, anyone
// else stays who they are. fn returns a failure text, empty for success; so does this.
inline std::string Unprivileged(const std::function<std::string()>& fn) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return "no pipe";
    }
    pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        std::string result;
        if (IsRoot() &&
            (::setgroups(0, nullptr) != 0 || ::setresgid(kNoGroup, kNoGroup, kNoGroup) != 0 ||
             ::setresuid(kNobody, kNobody, kNobody) != 0)) {
            result = "could not drop root's privileges";
        } else if (::geteuid() == 0) {
            result = "still root";
        } else {
            result = fn();
        }
        ssize_t ignored = ::write(pipeFds[1], result.data(), result.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string result;
    char chunk[256];
    for (ssize_t n; (n = ::read(pipeFds[0], chunk, sizeof chunk)) > 0;) {
        result.append(chunk, static_cast<size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status)) {
        return "the unprivileged child died";
    }
    return result;
}

// A folder the unprivileged child owns, inside a test folder it may pass through.
inline std::string FolderForUnprivileged(const std::string& testFolder, const std::string& name) {
    std::string folder = testFolder + "/" + name;
    ::mkdir(folder.c_str(), 0755);
    if (IsRoot()) {
        ::chmod(testFolder.c_str(), 0755);
        ::chown(folder.c_str(), kNobody, kNoGroup);
    }
    return folder;
}

}  // namespace brenvale::test

#include "editor/open_file_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/error.h"
#include "editor/recovery_folder.h"

namespace brenvale {

namespace {

// How often a lock is tried again while the lock file is being removed by its last holder.
constexpr int kTries = 50;

struct flock WholeFile(short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    return lock;
}

// Whether the descriptor is still the file at path (not one removed, or removed and made
// again, by an editor letting go).
bool IsLockFileAt(int fd, const std::string& path) {
    struct stat held, named;
    return ::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// Opens a lock file: never through a link (whatever it names stays untouched), never waiting
// (a pipe with a lock's name), and only a regular file. -1 with errno otherwise.
int OpenLockFile(const std::string& path, int flags) {
    int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) {
        return -1;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

std::string LockFailureText(const std::string& reason) {
    return "ロックファイルを作れないため、同じ文書を別のウィンドウで開いても知らせられません（" +
           reason + "）";
}

}  // namespace

std::vector<std::string> OpenLockFolders(const char* runtimeDir,
                                         const std::optional<std::string>& fallback) {
    std::vector<std::string> folders;
    if (runtimeDir && runtimeDir[0] == '/') {
        std::string folder = runtimeDir;
        while (folder.size() > 1 && folder.back() == '/') {
            folder.pop_back();
        }
        folders.push_back((folder == "/" ? "" : folder) + "/brenvale");
    }
    if (fallback && (folders.empty() || folders.front() != *fallback)) {
        folders.push_back(*fallback);
    }
    return folders;
}

std::vector<std::string> OpenLockFoldersFromEnvironment() {
    return OpenLockFolders(std::getenv("XDG_RUNTIME_DIR"), RecoveryFolderFromEnvironment());
}

OpenFileLock::OpenFileLock(std::vector<std::string> folders) {
    for (std::string& folder : folders) {
        try {
            MakePrivateFolder(folder, "ロック用のフォルダー");
            folders_.push_back(std::move(folder));
        } catch (const Error& error) {
            unusable_ = error.what();
        }
    }
    if (folders.empty()) {
        unusable_ = "ロック用のフォルダーが分かりません";
    }
}

OpenFileLock::~OpenFileLock() {
    release();
}

std::string OpenFileLock::lockPath(const std::string& folder, uint64_t device, uint64_t inode) {
    char name[64];
    std::snprintf(name, sizeof name, "/open-%llx-%llx.lock",
                  static_cast<unsigned long long>(device), static_cast<unsigned long long>(inode));
    return folder + name;
}

bool OpenFileLock::heldElsewhere(uint64_t device, uint64_t inode) const {
    const bool own = holds(device, inode);
    for (const std::string& folder : folders_) {
        // Asked through the description that holds this editor's own lock, the answer leaves
        // that lock out.
        int fd = -1;
        if (own) {
            for (const Held& held : fds_) {
                if (held.folder == folder) {
                    fd = held.fd;
                }
            }
        }
        const bool opened = fd < 0;
        if (opened) {
            fd = OpenLockFile(lockPath(folder, device, inode), O_RDONLY);
        }
        if (fd < 0) {
            continue;  // no lock file here: nobody marked the file in this folder
        }
        struct flock probe = WholeFile(F_WRLCK);
        bool held = ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
        if (opened) {
            ::close(fd);
        }
        if (held) {
            return true;
        }
    }
    return false;
}

int OpenFileLock::holdIn(const std::string& folder) {
    std::string path = lockPath(folder, device_, inode_);
    for (int tries = 0; tries < kTries; ++tries) {
        int fd = OpenLockFile(path, O_RDWR | O_CREAT);
        if (fd < 0) {
            int error = errno;
            failure_ =
                LockFailureText(path + ": " +
                                (error == EINVAL ? std::string("通常のファイルではありません")
                                                 : std::string(std::strerror(error))));
            return -1;
        }
        struct flock lock = WholeFile(F_RDLCK);
        if (::fcntl(fd, F_OFD_SETLK, &lock) == 0 && IsLockFileAt(fd, path)) {
            return fd;
        }
        // The last holder is removing this lock file: the next open makes a new one.
        ::close(fd);
        ::usleep(1000);
    }
    failure_ = LockFailureText(path + ": " + std::strerror(EAGAIN));
    return -1;
}

bool OpenFileLock::hold(uint64_t device, uint64_t inode) {
    if (holds(device, inode)) {
        return true;
    }
    release();
    device_ = device;
    inode_ = inode;
    failure_ = LockFailureText(unusable_);
    for (const std::string& folder : folders_) {
        if (int fd = holdIn(folder); fd >= 0) {
            fds_.push_back({folder, fd});
        }
    }
    if (!fds_.empty()) {
        failure_.clear();
    }
    return !fds_.empty();
}

void OpenFileLock::release() {
    for (const Held& held : fds_) {
        // Only when no other editor holds a lock on it may the file go: the exclusive lock is
        // granted just then, and an editor that opens the file meanwhile sees it removed and
        // makes a new one.
        struct flock last = WholeFile(F_WRLCK);
        if (::fcntl(held.fd, F_OFD_SETLK, &last) == 0) {
            ::unlink(lockPath(held.folder, device_, inode_).c_str());
        }
        ::close(held.fd);
    }
    fds_.clear();
}

}  // namespace brenvale

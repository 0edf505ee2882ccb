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
bool IsFileAt(int fd, const std::string& path) {
    struct stat held, named;
    return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

}  // namespace

std::optional<std::string> OpenLockFolder(const char* runtimeDir,
                                          const std::optional<std::string>& fallback) {
    if (runtimeDir && runtimeDir[0] == '/') {
        std::string folder = runtimeDir;
        while (folder.size() > 1 && folder.back() == '/') {
            folder.pop_back();
        }
        return (folder == "/" ? "" : folder) + "/brenvale";
    }
    return fallback;
}

std::optional<std::string> OpenLockFolderFromEnvironment() {
    return OpenLockFolder(std::getenv("XDG_RUNTIME_DIR"), RecoveryFolderFromEnvironment());
}

OpenFileLock::OpenFileLock(std::string folder) : folder_(std::move(folder)) {
    MakePrivateFolder(folder_, "ロック用のフォルダー");
}

OpenFileLock::~OpenFileLock() {
    release();
}

std::string OpenFileLock::lockPath(uint64_t device, uint64_t inode) const {
    char name[64];
    std::snprintf(name, sizeof name, "/open-%llx-%llx.lock",
                  static_cast<unsigned long long>(device), static_cast<unsigned long long>(inode));
    return folder_ + name;
}

bool OpenFileLock::heldElsewhere(uint64_t device, uint64_t inode) const {
    // Asked through the description that holds this editor's own lock, the answer leaves that
    // lock out.
    int fd =
        holds(device, inode) ? fd_ : ::open(lockPath(device, inode).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;  // no lock file: nobody has the file open
    }
    struct flock probe = WholeFile(F_WRLCK);
    bool held = ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    if (fd != fd_) {
        ::close(fd);
    }
    return held;
}

bool OpenFileLock::hold(uint64_t device, uint64_t inode) {
    if (holds(device, inode)) {
        return true;
    }
    release();
    std::string path = lockPath(device, inode);
    for (int tries = 0; tries < kTries; ++tries) {
        int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) {
            return false;
        }
        struct flock lock = WholeFile(F_RDLCK);
        if (::fcntl(fd, F_OFD_SETLK, &lock) == 0 && IsFileAt(fd, path)) {
            fd_ = fd;
            device_ = device;
            inode_ = inode;
            return true;
        }
        // The last holder is removing this lock file: the next open makes a new one.
        ::close(fd);
        ::usleep(1000);
    }
    return false;
}

void OpenFileLock::release() {
    if (fd_ < 0) {
        return;
    }
    // Only when no other editor holds a lock on it may the file go: the exclusive lock is
    // granted just then, and an editor that opens the file meanwhile sees it removed and
    // makes a new one.
    struct flock last = WholeFile(F_WRLCK);
    if (::fcntl(fd_, F_OFD_SETLK, &last) == 0) {
        ::unlink(lockPath(device_, inode_).c_str());
    }
    ::close(fd_);
    fd_ = -1;
}

}  // namespace brenvale

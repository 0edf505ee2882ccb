#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brenvale {

// The folders of the open-file locks: $XDG_RUNTIME_DIR/brenvale when XDG_RUNTIME_DIR is an
// absolute path, and the fallback (the recovery folder) always. Every editor marks its file in
// each of them that it can use, so that two editors meet in the fallback also when only one of
// them has a runtime folder, or when the runtime folder cannot be written.
std::vector<std::string> OpenLockFolders(const char* runtimeDir,
                                         const std::optional<std::string>& fallback);
std::vector<std::string> OpenLockFoldersFromEnvironment();

// The mark an editor leaves on the document file it has open, so that another editor of the
// same user opening the same file (the same device and inode) can say so first. Each file has
// a lock file "open-<device>-<inode>.lock" in each folder, and every editor that has the file
// open holds a shared lock on it. The locks belong to the open file description (not to the
// process), so two editors in one process see each other too, and the kernel drops them
// however the process ends: an editor that was killed leaves no mark that counts. The last
// editor to let go removes the lock file. Lock files are opened without following a link and
// without waiting, and only a regular file counts as one.
class OpenFileLock {
public:
    // Makes each folder (private to the user) and uses those that are this user's alone;
    // a folder that cannot be used leaves the mark to the others.
    explicit OpenFileLock(std::vector<std::string> folders);
    explicit OpenFileLock(std::string folder)
        : OpenFileLock(std::vector<std::string>{std::move(folder)}) {}
    ~OpenFileLock();
    OpenFileLock(const OpenFileLock&) = delete;
    OpenFileLock& operator=(const OpenFileLock&) = delete;

    // Whether another editor holds the lock of the file (device, inode) in any folder.
    bool heldElsewhere(uint64_t device, uint64_t inode) const;
    // Holds the lock of the file (device, inode) instead of the one held so far, in every
    // folder where it can. False when it could be held in none: the file then goes unmarked,
    // and failure() says why.
    bool hold(uint64_t device, uint64_t inode);
    void release();
    bool holds(uint64_t device, uint64_t inode) const {
        return !fds_.empty() && device_ == device && inode_ == inode;
    }

    // The folders in use.
    const std::vector<std::string>& folders() const { return folders_; }
    static std::string lockPath(const std::string& folder, uint64_t device, uint64_t inode);
    // Why the last hold failed, for the user.
    const std::string& failure() const { return failure_; }

private:
    struct Held {
        std::string folder;
        int fd;
    };
    int holdIn(const std::string& folder);

    std::vector<std::string> folders_;
    std::vector<Held> fds_;
    uint64_t device_ = 0;
    uint64_t inode_ = 0;
    std::string unusable_;  // why a folder was left out
    std::string failure_;
};

}  // namespace brenvale

#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace brenvale {

// The folder of the open-file locks: $XDG_RUNTIME_DIR/brenvale when XDG_RUNTIME_DIR is an
// absolute path, else the fallback (the recovery folder); nothing when neither is known.
std::optional<std::string> OpenLockFolder(const char* runtimeDir,
                                          const std::optional<std::string>& fallback);
std::optional<std::string> OpenLockFolderFromEnvironment();

// The mark an editor leaves on the document file it has open, so that another editor of the
// same user opening the same file (the same device and inode) can say so first. Each file has
// a lock file "open-<device>-<inode>.lock" in the folder, and every editor that has the file
// open holds a shared lock on it. The locks belong to the open file description (not to the
// process), so two editors in one process see each other too, and the kernel drops them
// however the process ends: an editor that was killed leaves no mark that counts. The last
// editor to let go removes the lock file.
class OpenFileLock {
public:
    // Makes the folder (private to the user); throws Error when it cannot.
    explicit OpenFileLock(std::string folder);
    ~OpenFileLock();
    OpenFileLock(const OpenFileLock&) = delete;
    OpenFileLock& operator=(const OpenFileLock&) = delete;

    // Whether another editor holds the lock of the file (device, inode).
    bool heldElsewhere(uint64_t device, uint64_t inode) const;
    // Holds the lock of the file (device, inode) instead of the one held so far. False when the
    // lock file cannot be made or locked: the file then goes unmarked.
    bool hold(uint64_t device, uint64_t inode);
    void release();
    bool holds(uint64_t device, uint64_t inode) const {
        return fd_ >= 0 && device_ == device && inode_ == inode;
    }

    const std::string& folder() const { return folder_; }
    std::string lockPath(uint64_t device, uint64_t inode) const;

private:
    std::string folder_;
    int fd_ = -1;
    uint64_t device_ = 0;
    uint64_t inode_ = 0;
};

}  // namespace brenvale

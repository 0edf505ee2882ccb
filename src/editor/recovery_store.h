#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/recovery_info.h"

namespace brenvale {

// A copy left by an instance that is gone. It is held under that instance's lock for as
// long as this object lives, so no other starting instance offers it at the same time.
class ClaimedCopy {
public:
    ClaimedCopy(ClaimedCopy&& other) noexcept;
    ClaimedCopy& operator=(ClaimedCopy&& other) noexcept;
    ~ClaimedCopy();

    const std::string& id() const { return id_; }
    const RecoveryInfo& info() const { return info_; }
    // When the copy was last written.
    std::time_t writtenAt() const { return writtenAt_; }
    // The copy's bytes, a document file; throws Error when it cannot be read.
    std::string ReadBytes() const;
    // Removes the copy and every other file of its instance.
    void Delete();

private:
    friend class RecoveryStore;
    ClaimedCopy(std::string folder, std::string id, int lockFd, RecoveryInfo info,
                std::time_t writtenAt);
    void release();

    std::string folder_;
    std::string id_;
    int lockFd_ = -1;
    RecoveryInfo info_;
    std::time_t writtenAt_ = 0;
};

// One running instance's files in the recovery folder: "<id>.lock", held with flock for the
// instance's whole life; "<id>.bnv", the copy of the document; "<id>.info", what the copy
// belongs to. The kernel drops the lock however the process ends, so a copy whose lock can
// be taken belongs to an instance that is gone; a live instance's copy is never touched.
class RecoveryStore {
public:
    // Makes the folder and takes this instance's lock; throws Error when it cannot.
    explicit RecoveryStore(std::string folder);
    // Lets the lock go. A copy still there stays for the next start to offer.
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    const std::string& folder() const { return folder_; }
    const std::string& id() const { return id_; }
    std::string copyPath() const;
    std::string infoPath() const;
    // Where the instance keeps the version of its document's file for merging (MergeBase);
    // removed with the instance's other files when it is gone.
    std::string basePath() const;
    // The descriptor that holds the lock, for a forked writer to close at once.
    int lockDescriptor() const { return lockFd_; }

    // Writes the info, then the copy, each through the safe writer; throws Error. Safe to
    // call from any one thread at a time.
    void WriteCopy(std::string_view bytes, const RecoveryInfo& info) const;
    // Removes the copy, its info and any temporary file a stopped write left; throws Error
    // when a file that is there cannot be removed.
    void RemoveCopy() const;
    bool HasCopy() const;

    // The ids of the copies of every other instance, live or gone, the newest first.
    std::vector<std::string> OtherCopies() const;
    // Takes the copy of a gone instance; nothing when that instance is alive, another
    // starting instance holds it, or the copy went meanwhile.
    std::optional<ClaimedCopy> Claim(const std::string& id) const;
    // Makes a claimed copy this instance's own copy, without copying its bytes; throws Error.
    void Adopt(ClaimedCopy& copy) const;
    // Removes the lock and info files of gone instances that left no copy.
    void RemoveStaleFiles() const;

private:
    std::string folder_;
    std::string id_;
    int lockFd_ = -1;
};

}  // namespace brenvale

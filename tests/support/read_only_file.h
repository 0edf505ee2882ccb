#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace brenvale::test {

// Makes a file that nobody may change, replace or delete, for as long as it lives. Root
// ignores the permission bits, so for root the file gets the immutable attribute (which ext4,
// xfs and btrfs have); anyone else gets a file without write permission. ok() is false where
// neither works.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(std::string path) : path_(std::move(path)) {
        if (::geteuid() != 0) {
            ok_ = ::chmod(path_.c_str(), 0444) == 0;
            return;
        }
        ok_ = SetImmutable(true);
    }
    ~ReadOnlyFile() {
        if (::geteuid() != 0) {
            ::chmod(path_.c_str(), 0644);
            return;
        }
        SetImmutable(false);
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool ok() const { return ok_; }

private:
    bool SetImmutable(bool on) {
        int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        int flags = 0;
        bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        if (fd >= 0) {
            ::close(fd);
        }
        return done;
    }

    std::string path_;
    bool ok_ = false;
};

}  // namespace brenvale::test

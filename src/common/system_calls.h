#pragma once

#include <sys/types.h>

namespace brenvale {

// The system calls through which the safe writer changes files. The program uses the system's
// own; a test installs a table of its own to make any one of them fail and see what is left.
// Each returns what the system call returns and sets errno the same way.
class SystemCalls {
public:
    virtual ~SystemCalls() = default;

    virtual int open(const char* path, int flags, mode_t mode);
    virtual ssize_t write(int fd, const void* data, size_t size);
    virtual ssize_t pwrite(int fd, const void* data, size_t size, off_t offset);
    virtual ssize_t pread(int fd, void* data, size_t size, off_t offset);
    virtual int fsync(int fd);
    virtual int close(int fd);
    // Gives the file open as fd the name `to` (a file made without a name gets one).
    virtual int link(int fd, const char* to);
    virtual int rename(const char* from, const char* to);
    virtual int fchown(int fd, uid_t owner, gid_t group);
    virtual int fchmod(int fd, mode_t mode);
    virtual int ftruncate(int fd, off_t size);
    virtual int unlink(const char* path);
};

// The table in use.
SystemCalls& Sys();

// Puts a table in use for as long as it lives.
class ScopedSystemCalls {
public:
    explicit ScopedSystemCalls(SystemCalls& calls);
    ~ScopedSystemCalls();
    ScopedSystemCalls(const ScopedSystemCalls&) = delete;
    ScopedSystemCalls& operator=(const ScopedSystemCalls&) = delete;

private:
    SystemCalls* previous_;
};

}  // namespace brenvale

#include "common/system_calls.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace brenvale {

namespace {

SystemCalls& Real() {
    static SystemCalls calls;
    return calls;
}

SystemCalls* g_current = nullptr;

}  // namespace

int SystemCalls::open(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}

ssize_t SystemCalls::write(int fd, const void* data, size_t size) {
    return ::write(fd, data, size);
}

ssize_t SystemCalls::pwrite(int fd, const void* data, size_t size, off_t offset) {
    return ::pwrite(fd, data, size, offset);
}

ssize_t SystemCalls::pread(int fd, void* data, size_t size, off_t offset) {
    return ::pread(fd, data, size, offset);
}

int SystemCalls::fsync(int fd) {
    return ::fsync(fd);
}

int SystemCalls::close(int fd) {
    return ::close(fd);
}

int SystemCalls::link(int fd, const char* to) {
    // Linking by descriptor needs a privilege; the descriptor's name in /proc does not.
    std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, to, AT_SYMLINK_FOLLOW);
}

int SystemCalls::rename(const char* from, const char* to) {
    return ::rename(from, to);
}

int SystemCalls::fchown(int fd, uid_t owner, gid_t group) {
    return ::fchown(fd, owner, group);
}

int SystemCalls::fchmod(int fd, mode_t mode) {
    return ::fchmod(fd, mode);
}

int SystemCalls::ftruncate(int fd, off_t size) {
    return ::ftruncate(fd, size);
}

int SystemCalls::unlink(const char* path) {
    return ::unlink(path);
}

SystemCalls& Sys() {
    return g_current ? *g_current : Real();
}

ScopedSystemCalls::ScopedSystemCalls(SystemCalls& calls) : previous_(g_current) {
    g_current = &calls;
}

ScopedSystemCalls::~ScopedSystemCalls() {
    g_current = previous_;
}

}  // namespace brenvale

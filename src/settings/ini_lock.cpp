#include "settings/ini_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace brenvale {

namespace {

int OpenLockFile(const std::string& iniPath) {
    std::string lockPath = iniPath + ".lock";
    int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EACCES) {
        // flock needs no write access; no open here waits for a writer of a pipe.
        fd = ::open(lockPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    }
    if (fd < 0 && errno == ENOENT) {
        // A folder that takes no new file: the settings file is written in place there,
        // never replaced, so every writer can lock the file itself.
        fd = ::open(iniPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    }
    return fd;
}

int Flock(int fd, int operation) {
    int result;
    do {
        result = ::flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    return result;
}

// A blocking flock on a thread of its own, which the caller waits for with a bound. flock
// itself has no time limit, and a blocking call keeps the kernel's order among the waiting
// instances (polling would let a busy writer take the lock again and again).
struct Waiter {
    std::mutex mutex;
    std::condition_variable done;
    int fd = -1;
    bool finished = false;
    bool held = false;
    bool abandoned = false;  // the thread owns fd then, and closes it
};

IniWriteLock::State WaitForLock(int fd, std::chrono::milliseconds wait) {
    if (Flock(fd, LOCK_EX | LOCK_NB) == 0) {
        return IniWriteLock::State::Held;
    }
    if (errno != EWOULDBLOCK) {
        return IniWriteLock::State::Failed;
    }
    auto waiter = std::make_shared<Waiter>();
    waiter->fd = fd;
    try {
        std::thread([waiter] {
            const bool held = Flock(waiter->fd, LOCK_EX) == 0;
            std::lock_guard lock(waiter->mutex);
            waiter->finished = true;
            waiter->held = held;
            if (waiter->abandoned) {
                ::close(waiter->fd);  // releases a lock taken too late
            }
            waiter->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return IniWriteLock::State::Failed;  // no thread to wait on
    }
    std::unique_lock lock(waiter->mutex);
    if (waiter->done.wait_for(lock, wait, [&] { return waiter->finished; })) {
        return waiter->held ? IniWriteLock::State::Held : IniWriteLock::State::Failed;
    }
    waiter->abandoned = true;
    return IniWriteLock::State::Busy;
}

}  // namespace

IniWriteLock::IniWriteLock(const std::string& iniPath, std::chrono::milliseconds wait) {
    fd_ = OpenLockFile(iniPath);
    if (fd_ < 0) {
        return;
    }
    state_ = WaitForLock(fd_, wait);
    if (state_ == State::Busy) {
        fd_ = -1;  // the waiting thread closes it
    }
}

IniWriteLock::~IniWriteLock() {
    if (fd_ >= 0) {
        ::close(fd_);  // releases the lock
    }
}

std::string IniLockBusyText(const std::string& path, std::chrono::milliseconds wait) {
    const auto seconds = (wait.count() + 999) / 1000;
    return "設定ファイル「" + path + "」は他のプログラムが使用中です（" + std::to_string(seconds) +
           " 秒待ちました）。設定は書き込まれませんでした。";
}

}  // namespace brenvale

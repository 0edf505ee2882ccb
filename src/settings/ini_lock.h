#pragma once

#include <chrono>
#include <string>

namespace brenvale {

// How long a write of a settings file waits for another instance's lock before it gives up.
inline constexpr std::chrono::milliseconds kIniLockWait{3000};

// The exclusive advisory lock every instance takes around a write of a settings file (flock on
// "<file>.lock"). The lock file stays: removing it would let two writers lock two different
// files. A lock another process keeps longer than the wait leaves the lock not taken (Busy)
// instead of freezing the program.
class IniWriteLock {
public:
    enum class State { Held, Busy, Failed };

    IniWriteLock(const std::string& iniPath, std::chrono::milliseconds wait);
    ~IniWriteLock();
    IniWriteLock(const IniWriteLock&) = delete;
    IniWriteLock& operator=(const IniWriteLock&) = delete;

    State state() const { return state_; }

private:
    int fd_ = -1;
    State state_ = State::Failed;
};

// The text of a write given up because another process kept the lock.
std::string IniLockBusyText(const std::string& path, std::chrono::milliseconds wait);

}  // namespace brenvale

#include "editor/recovery_copy_writer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <exception>
#include <thread>

#include "editor/recovery_store.h"

namespace brenvale {

namespace {

// A child that has not finished by then is stuck (a file system that does not answer) and
// ends itself.
constexpr unsigned kChildTimeLimitSeconds = 600;

constexpr char kWritten = 'K';
constexpr char kFailed = 'E';

void WriteReport(int fd, const std::string& report) {
    const char* data = report.data();
    size_t left = report.size();
    while (left > 0) {
        ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;
        }
        data += n;
        left -= static_cast<size_t>(n);
    }
}

// The child reports on a pipe: kWritten, or kFailed and the failure's text. The pipe's end
// tells the parent that the child is done, the rename of the copy included.
class ChildWrite : public CopyWrite {
public:
    ChildWrite(pid_t pid, int reportFd) : pid_(pid), reportFd_(reportFd) {}
    ~ChildWrite() override { Wait(); }

    bool Finished() override {
        drain();
        return done_;
    }

    void Wait() override {
        while (!done_) {
            pollfd p{reportFd_, POLLIN, 0};
            ::poll(&p, 1, -1);
            drain();
        }
    }

    void Cancel() override {
        if (!done_ && !cancelled_) {
            ::kill(pid_, SIGKILL);
            cancelled_ = true;
        }
    }

private:
    void drain() {
        while (!done_) {
            char chunk[512];
            ssize_t n = ::read(reportFd_, chunk, sizeof chunk);
            if (n > 0) {
                report_.append(chunk, static_cast<size_t>(n));
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                return;
            } else {
                finish();
            }
        }
    }

    void finish() {
        ::close(reportFd_);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        done_ = true;
        if (cancelled_ || (!report_.empty() && report_[0] == kWritten)) {
            return;
        }
        if (!report_.empty() && report_[0] == kFailed) {
            failure_ = report_.substr(1);
        } else {
            failure_ = "復元用のコピーを書き込む処理が途中で終わりました。";
        }
    }

    pid_t pid_;
    int reportFd_;
    std::string report_;
    bool done_ = false;
    bool cancelled_ = false;
};

[[noreturn]] void RunChild(const RecoveryStore& store, const BuildCopy& build,
                           const RecoveryInfo& info, pid_t parent, int reportFd) {
    // Only this thread lives on in the child. It must not outlive the editor (a killed
    // editor must leave the copy as it was) nor hold the editor's lock.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) {
        ::_exit(1);
    }
    ::close(store.lockDescriptor());
    ::alarm(kChildTimeLimitSeconds);
    std::string report(1, kWritten);
    try {
        store.WriteCopy(build(), info);
    } catch (const std::exception& error) {
        report = std::string(1, kFailed) + error.what();
    }
    WriteReport(reportFd, report);
    ::_exit(0);
}

std::unique_ptr<CopyWrite> StartChild(const RecoveryStore& store, const BuildCopy& build,
                                      const RecoveryInfo& info) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return nullptr;
    }
    pid_t parent = ::getpid();
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        RunChild(store, build, info, parent, fds[1]);
    }
    ::close(fds[1]);
    if (pid < 0) {
        ::close(fds[0]);
        return nullptr;
    }
    ::fcntl(fds[0], F_SETFL, ::fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    return std::make_unique<ChildWrite>(pid, fds[0]);
}

class ThreadWrite : public CopyWrite {
public:
    ThreadWrite(const RecoveryStore& store, std::string bytes, RecoveryInfo info)
        : thread_([this, &store, bytes = std::move(bytes), info = std::move(info)]() mutable {
              try {
                  store.WriteCopy(bytes, info);
              } catch (const std::exception& error) {
                  text_ = error.what();
              }
              // The copy's memory is given back here, not on the caller's thread.
              std::string().swap(bytes);
              done_.store(true, std::memory_order_release);
          }) {}
    ~ThreadWrite() override { Wait(); }

    bool Finished() override {
        if (!joined_ && done_.load(std::memory_order_acquire)) {
            Wait();
        }
        return joined_;
    }

    void Wait() override {
        if (!joined_) {
            thread_.join();
            joined_ = true;
            failure_ = std::move(text_);
        }
    }

    void Cancel() override {}

private:
    std::optional<std::string> text_;
    std::atomic<bool> done_{false};
    bool joined_ = false;
    std::thread thread_;  // last: it starts once everything above is made
};

}  // namespace

std::unique_ptr<CopyWrite> StartCopyWrite(const RecoveryStore& store, const BuildCopy& build,
                                          RecoveryInfo info, CopyMethod method) {
    if (method == CopyMethod::ForkedChild) {
        if (std::unique_ptr<CopyWrite> child = StartChild(store, build, info)) {
            return child;
        }
    }
    return std::make_unique<ThreadWrite>(store, build(), std::move(info));
}

}  // namespace brenvale

// The settings file's write lock held by another process, and a big file written in pieces.
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <chrono>

#include "common/error.h"
#include "settings/ini_file.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Another process holding "<file>.lock" until it is told to let go (or for `hold` at most).
class LockHolder {
public:
    LockHolder(const std::string& iniPath, std::chrono::milliseconds hold) {
        int ready[2];
        EXPECT_EQ(::pipe(ready), 0);
        EXPECT_EQ(::pipe(release_), 0);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(release_[1]);
            int fd = ::open((iniPath + ".lock").c_str(), O_RDWR | O_CREAT, 0666);
            if (fd < 0 || ::flock(fd, LOCK_EX) != 0 || ::write(ready[1], "x", 1) != 1) {
                ::_exit(2);
            }
            // Told to let go, or the time is up.
            struct timeval limit = {static_cast<time_t>(hold.count() / 1000),
                                    static_cast<suseconds_t>(hold.count() % 1000 * 1000)};
            fd_set set;
            FD_ZERO(&set);
            FD_SET(release_[0], &set);
            ::select(release_[0] + 1, &set, nullptr, nullptr, &limit);
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release_[0]);
        char c = 0;
        EXPECT_EQ(::read(ready[0], &c, 1), 1) << "the holder did not take the lock";
        ::close(ready[0]);
    }
    ~LockHolder() { Release(); }

    void Release() {
        if (pid_ <= 0) {
            return;
        }
        ::close(release_[1]);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int release_[2] = {-1, -1};
};

TEST(IniLock, AWriteGivesUpAfterItsWaitAndLaterWritesGoThrough) {
    test::TempDir dir;
    const std::string path = dir.file("brenvale.ini");
    test::WriteBytes(path, "[Window]\r\nWidth=600\r\n");
    LockHolder holder(path, 60s);
    const auto start = Clock::now();
    try {
        IniFile(path, 300ms).WriteString("Window", "Width", "640");
        ADD_FAILURE() << "the write did not give up";
    } catch (const Error& error) {
        EXPECT_EQ(error.what(), IniLockBusyText(path, 300ms));
        EXPECT_NE(std::string(error.what()).find("1 秒待ちました"), std::string::npos);
    }
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, 300ms);
    EXPECT_LT(waited, 5s);
    EXPECT_EQ(test::ReadBytes(path), "[Window]\r\nWidth=600\r\n");

    // Once the holder lets go, the wait given up on keeps nothing: the next write locks.
    holder.Release();
    IniFile(path, 5s).WriteString("Window", "Width", "640");
    EXPECT_EQ(test::ReadBytes(path), "[Window]\r\nWidth=640\r\n");
    IniFile(path, 0ms).WriteString("Window", "Width", "650");
    EXPECT_EQ(test::ReadBytes(path), "[Window]\r\nWidth=650\r\n");
}

// Many edits given up on wait once, not once more for each edit (the close of the window writes
// its whole layout so, and says how long it waited).
TEST(IniLock, AWriteOfManyEditsWaitsOnce) {
    test::TempDir dir;
    const std::string path = dir.file("brenvale.ini");
    test::WriteBytes(path, "[Window]\r\nWidth=600\r\n");
    LockHolder holder(path, 60s);
    const IniEdit edits[] = {IniEdit::Set("Window", "Width", "640"),
                             IniEdit::Set("Window", "Height", "480"),
                             IniEdit::Set("Tree", "Width", "129")};
    const auto start = Clock::now();
    try {
        IniFile(path, 1s).Write(edits);
        ADD_FAILURE() << "the write did not give up";
    } catch (const Error& error) {
        EXPECT_EQ(error.what(), IniLockBusyText(path, 1s));
    }
    EXPECT_LT(Clock::now() - start, 1900ms);
    EXPECT_EQ(test::ReadBytes(path), "[Window]\r\nWidth=600\r\n");
}

TEST(IniLock, AWriteWaitsForALockLetGoWithinItsWait) {
    test::TempDir dir;
    const std::string path = dir.file("brenvale.ini");
    test::WriteBytes(path, "[Recent]\r\n0=/a.bnv\r\n");
    LockHolder holder(path, 200ms);  // lets go by itself
    const auto start = Clock::now();
    const IniEdit edits[] = {IniEdit::Erase("Recent"), IniEdit::Set("Recent", "0", "/b.bnv")};
    IniFile(path, 10s).Write(edits);
    EXPECT_GE(Clock::now() - start, 150ms);
    EXPECT_EQ(test::ReadBytes(path), "[Recent]\r\n0=/b.bnv\r\n");
}

TEST(IniLock, TheDefaultWaitIsAFewSeconds) {
    EXPECT_GE(kIniLockWait, 1s);
    EXPECT_LE(kIniLockWait, 5s);
}

// A file many times the writer's buffer, changed at its start, in its middle and at its end:
// the runs between are copied from the old text as they are.
TEST(IniFileBig, ChangesAtStartMiddleAndEndOfABigFile) {
    test::TempDir dir;
    const std::string path = dir.file("brenvale.ini");
    std::string head = "[Window]\r\nWidth=600\r\n[Big]\r\n";
    std::string body;
    for (int i = 0; body.size() < (3u << 20); ++i) {
        body += "Entry" + std::to_string(i) + "=/home/user/notes-" + std::to_string(i) + "\r\n";
    }
    std::string tail = "[Mid]\r\nk=1\r\n" + body + "[Last]\r\nz=9";  // no break at the end
    test::WriteBytes(path, head + body + tail);
    const IniEdit edits[] = {
        IniEdit::Set("Window", "Width", "6400"),  // grows
        IniEdit::Set("Mid", "k", ""),             // shrinks
        IniEdit::Set("Last", "z", "10"),
        IniEdit::Set("Last", "added", "1"),
    };
    IniFile(path).Write(edits);
    EXPECT_EQ(test::ReadBytes(path), "[Window]\r\nWidth=6400\r\n[Big]\r\n" + body +
                                         "[Mid]\r\nk=\r\n" + body +
                                         "[Last]\r\nz=10\r\nadded=1\r\n");
}

}  // namespace
}  // namespace brenvale

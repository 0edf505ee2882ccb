#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "editor/recovery_copy_writer.h"
#include "editor/recovery_store.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

namespace fs = std::filesystem;

// Whether a process has ended (a zombie that nobody reaped yet has).
bool ProcessEnded(pid_t pid) {
    std::string stat = test::ReadBytes("/proc/" + std::to_string(pid) + "/stat");
    size_t paren = stat.rfind(')');
    return paren == std::string::npos || paren + 2 >= stat.size() || stat[paren + 2] == 'Z' ||
           stat[paren + 2] == 'X';
}

class CopyWriter : public ::testing::TestWithParam<CopyMethod> {
protected:
    std::string Folder() const { return dir.file("recovery"); }
    test::TempDir dir;
};

INSTANTIATE_TEST_SUITE_P(Methods, CopyWriter,
                         ::testing::Values(CopyMethod::ForkedChild, CopyMethod::Thread),
                         [](const auto& info) {
                             return info.param == CopyMethod::ForkedChild ? "ForkedChild"
                                                                          : "Thread";
                         });

TEST_P(CopyWriter, WritesTheDocumentAsItWasWhenTheWriteStarted) {
    RecoveryStore store(Folder());
    std::string document = "before";
    std::unique_ptr<CopyWrite> write = StartCopyWrite(
        store, [&] { return document; }, {"/d/a.bnv"}, GetParam());
    document = "after";  // the user goes on editing at once
    write->Wait();
    EXPECT_TRUE(write->Finished());
    EXPECT_EQ(write->failure(), std::nullopt);
    EXPECT_EQ(test::ReadBytes(store.copyPath()), "before");
    EXPECT_EQ(ParseRecoveryInfo(test::ReadBytes(store.infoPath())).documentPath, "/d/a.bnv");
}

TEST_P(CopyWriter, ReportsAFailedWrite) {
    RecoveryStore store(Folder());
    fs::remove_all(Folder());
    std::unique_ptr<CopyWrite> write = StartCopyWrite(
        store, [] { return "x"; }, {}, GetParam());
    write->Wait();
    ASSERT_TRUE(write->failure());
    EXPECT_NE(write->failure()->find(store.infoPath()), std::string::npos) << *write->failure();
}

TEST(CopyWriterChild, ACancelledWriteEndsAtOnceAndWritesNothing) {
    test::TempDir dir;
    RecoveryStore store(dir.file("recovery"));
    auto started = std::chrono::steady_clock::now();
    std::unique_ptr<CopyWrite> write = StartCopyWrite(
        store,
        [] {
            std::this_thread::sleep_for(std::chrono::seconds(30));
            return std::string("late");
        },
        {}, CopyMethod::ForkedChild);
    EXPECT_FALSE(write->Finished());
    write->Cancel();
    write->Wait();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_EQ(write->failure(), std::nullopt);
    EXPECT_FALSE(store.HasCopy());
}

TEST(CopyWriterChild, AChildThatDiesIsAFailure) {
    test::TempDir dir;
    RecoveryStore store(dir.file("recovery"));
    std::unique_ptr<CopyWrite> write = StartCopyWrite(
        store,
        []() -> std::string {
            ::raise(SIGKILL);
            return "never";
        },
        {}, CopyMethod::ForkedChild);
    write->Wait();
    EXPECT_TRUE(write->failure());
}

// An editor killed during a write: the write must neither live on (it would put a copy
// back that a next start already took) nor keep the editor's lock.
TEST(CopyWriterChild, AWriteUnderWayEndsWithAKilledEditorAndKeepsNoLock) {
    test::TempDir dir;
    std::string folder = dir.file("recovery");
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    pid_t editor = ::fork();
    if (editor == 0) {
        RecoveryStore store(folder);
        std::string line = "id " + store.id() + "\n";
        std::unique_ptr<CopyWrite> write = StartCopyWrite(
            store,
            [&] {
                std::string child = "writer " + std::to_string(::getpid()) + "\n";
                (void)!::write(report[1], child.data(), child.size());
                std::this_thread::sleep_for(std::chrono::seconds(30));
                return std::string("late");
            },
            {}, CopyMethod::ForkedChild);
        (void)!::write(report[1], line.data(), line.size());
        ::pause();
        ::_exit(0);
    }
    ::close(report[1]);
    std::string lines;
    char c;
    while (std::count(lines.begin(), lines.end(), '\n') < 2 && ::read(report[0], &c, 1) == 1) {
        lines += c;
    }
    ::close(report[0]);
    ASSERT_EQ(std::count(lines.begin(), lines.end(), '\n'), 2) << lines;
    // The two lines come in either order.
    auto field = [&](const std::string& key) {
        size_t at = lines.find(key + " ");
        return lines.substr(at + key.size() + 1, lines.find('\n', at) - at - key.size() - 1);
    };
    pid_t writer = std::stoi(field("writer"));
    std::string id = field("id");
    ::kill(editor, SIGKILL);
    ::waitpid(editor, nullptr, 0);

    std::string lock = folder + "/" + id + ".lock";
    int fd = ::open(lock.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    ::close(fd);
    bool writerGone = false;
    for (int i = 0; i < 500 && !writerGone; ++i) {
        writerGone = ProcessEnded(writer);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(writerGone);
    EXPECT_FALSE(fs::exists(folder + "/" + id + ".bnv"));
}

}  // namespace
}  // namespace brenvale

// What the safe writer refuses to touch: a pipe, a device or a link where a companion file of
// a document belongs, and a file another program replaced while the new bytes were written.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "common/error.h"
#include "common/file_identity.h"
#include "common/file_io.h"
#include "common/system_calls.h"
#include "support/other_process.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

// A write that waits for a reader of a pipe ends the test program instead of hanging it.
struct Deadline {
    Deadline() { ::alarm(20); }
    ~Deadline() { ::alarm(0); }
};

std::string WriteFailure(const std::string& path, WriteTarget target) {
    try {
        WriteFileAtomically(path, "new", target);
    } catch (const WriteError& e) {
        return e.reason();
    }
    return "written";
}

TEST(WriterGuards, ACompanionFileIsOnlyEverARegularFile) {
    Deadline deadline;
    test::TempDir dir;
    const std::string fifo = dir.file("plan.tmp");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string pipeReason = "名前付きパイプで、通常のファイルではありません";
    EXPECT_EQ(WriteFailure(fifo, WriteTarget::RegularFile), pipeReason);
    EXPECT_EQ(WriteFailure(fifo, WriteTarget::OwnFile), pipeReason);
    EXPECT_EQ(WriteFailure("/dev/null", WriteTarget::RegularFile),
              "デバイスで、通常のファイルではありません");
    EXPECT_TRUE(fs::is_fifo(fifo));

    // A link to a pipe is followed to it and refused there; a link to a regular file is
    // followed as a document's is, unless the file is the program's own.
    const std::string toPipe = dir.file("to-pipe.BAK");
    fs::create_symlink(fifo, toPipe);
    EXPECT_EQ(WriteFailure(toPipe, WriteTarget::RegularFile), pipeReason);
    const std::string real = dir.file("real.txt");
    WriteBytes(real, "old");
    const std::string link = dir.file("link.BAK");
    fs::create_symlink(real, link);
    EXPECT_EQ(WriteFailure(link, WriteTarget::OwnFile),
              "シンボリックリンクで、通常のファイルではありません");
    EXPECT_EQ(ReadBytes(real), "old");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(WriteFailure(link, WriteTarget::RegularFile), "written");
    EXPECT_EQ(ReadBytes(real), "new");

    // The text names the file and says why.
    try {
        WriteFileAtomically(fifo, "x", WriteTarget::RegularFile);
        FAIL();
    } catch (const WriteError& e) {
        EXPECT_EQ(std::string(e.what()), "ファイル " + fifo + " に書き込めません。\n" + pipeReason);
    }
    // Nothing was left beside them.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 4);
}

// Runs fn at the first fsync of a save: the moment the new bytes are complete and not yet in
// place. The call itself then goes to the system as usual.
class AtFirstSync : public SystemCalls {
public:
    explicit AtFirstSync(std::function<void()> fn) : fn_(std::move(fn)) {}
    int fsync(int fd) override {
        if (fn_) {
            std::exchange(fn_, nullptr)();
        }
        return SystemCalls::fsync(fd);
    }

private:
    std::function<void()> fn_;
};

// Another program saves its own version of path the way safe saves do: a new file renamed
// over it, by a process of its own.
void OtherProgramSaves(const std::string& path, const std::string& bytes) {
    WriteBytes(path + ".theirs", bytes);
    ASSERT_EQ(test::RunProcess({"mv", path + ".theirs", path}), 0);
}

TEST(WriterGuards, AVersionAnotherProgramSavedWhileTheBytesWereWrittenStays) {
    test::TempDir dir;
    const std::string path = dir.file("plan.bnv");
    WriteBytes(path, "read");
    const FileIdentity read = *IdentifyFile(path);

    // Replaced by a rename, and written in place where the file has a second name.
    for (bool secondName : {false, true}) {
        SCOPED_TRACE(secondName ? "in place" : "renamed");
        WriteBytes(path, "read");
        const FileIdentity version = *IdentifyFile(path);
        if (secondName) {
            fs::create_hard_link(path, dir.file("other-name.bnv"));
        }
        AtFirstSync race(secondName ? std::function<void()>()
                                    : [&] { OtherProgramSaves(path, "theirs"); });
        ScopedSystemCalls calls(race);
        AtomicFileWriter writer(path);
        writer.ExpectUnchanged(version);
        writer.Write("mine");
        if (secondName) {
            // In place, nothing is written before the commit: the other program saves now.
            OtherProgramSaves(path, "theirs");
        }
        EXPECT_THROW(writer.Commit(), FileChangedError);
        EXPECT_EQ(ReadBytes(path), "theirs");
        fs::remove(dir.file("other-name.bnv"));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

    // A touch or the same bytes written again is no other version; a file that went is made
    // again.
    WriteBytes(path, "read");
    const FileIdentity same = *IdentifyFile(path);
    {
        AtFirstSync race([&] { OtherProgramSaves(path, "read"); });
        ScopedSystemCalls calls(race);
        AtomicFileWriter writer(path);
        writer.ExpectUnchanged(same);
        writer.Write("mine");
        writer.Commit();
    }
    EXPECT_EQ(ReadBytes(path), "mine");
    {
        AtFirstSync race([&] { fs::remove(path); });
        ScopedSystemCalls calls(race);
        AtomicFileWriter writer(path);
        writer.ExpectUnchanged(read);
        writer.Write("again");
        writer.Commit();
    }
    EXPECT_EQ(ReadBytes(path), "again");
}

}  // namespace
}  // namespace brenvale

#include "common/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "common/error.h"
#include "common/system_calls.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

size_t EntryCount(const std::string& folder) {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                             std::filesystem::directory_iterator()));
}

TEST(AtomicWrite, ReplacesTheFileAndKeepsItsPermissions) {
    test::TempDir dir;
    const std::string path = dir.file("a.bnv");
    test::WriteBytes(path, "old");
    ::chmod(path.c_str(), 0640);
    WriteFileAtomically(path, "new");
    EXPECT_EQ(test::ReadBytes(path), "new");
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(EntryCount(dir.path()), 1u);
}

TEST(AtomicWrite, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    test::TempDir dir;
    const std::string path = dir.file("a.bnv");
    test::WriteBytes(path, "precious");
    try {
        test::FileSizeLimit limit(1000);
        WriteFileAtomically(path, std::string(1 << 20, 'x'));
        FAIL() << "the write should fail";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
    }
    EXPECT_EQ(test::ReadBytes(path), "precious");
    EXPECT_EQ(EntryCount(dir.path()), 1u);
}

TEST(AtomicWrite, AWriterDroppedBeforeCommitChangesNothing) {
    test::TempDir dir;
    const std::string path = dir.file("a.bnv");
    test::WriteBytes(path, "old");
    {
        AtomicFileWriter writer(path);
        writer.Write("half");
    }
    EXPECT_EQ(test::ReadBytes(path), "old");
    EXPECT_EQ(EntryCount(dir.path()), 1u);
}

TEST(AtomicWrite, FollowsASymbolicLinkAndFailsInAMissingFolder) {
    test::TempDir dir;
    test::WriteBytes(dir.file("real.bnv"), "old");
    std::filesystem::create_symlink(dir.file("real.bnv"), dir.file("link.bnv"));
    WriteFileAtomically(dir.file("link.bnv"), "new");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.bnv")));
    EXPECT_EQ(test::ReadBytes(dir.file("real.bnv")), "new");
    EXPECT_THROW(WriteFileAtomically(dir.file("none/a.bnv"), "x"), Error);
}

TEST(ReadWholeFile, ReadsBytesAndReportsAMissingFile) {
    test::TempDir dir;
    test::WriteBytes(dir.file("a"), std::string("a\0\x1A\r\n", 5));
    EXPECT_EQ(ReadWholeFile(dir.file("a")), std::string("a\0\x1A\r\n", 5));
    EXPECT_THROW(ReadWholeFile(dir.file("missing")), Error);
}

// A system on which files cannot be made without a name, so that every save names its
// temporary file from the start.
class NamedTemporariesOnly : public SystemCalls {
public:
    int open(const char* path, int flags, mode_t mode) override {
        if ((flags & O_TMPFILE) == O_TMPFILE) {
            errno = EOPNOTSUPP;
            return -1;
        }
        return SystemCalls::open(path, flags, mode);
    }
};

TEST(AtomicWrite, SavesFilesWhoseNamesLeaveNoRoomForATemporaryName) {
    test::TempDir dir;
    NamedTemporariesOnly named;
    for (size_t length : {240u, 248u, 251u, 255u}) {
        const std::string path = dir.file(std::string(length - 4, 'n') + ".bnv");
        test::WriteBytes(path, "old");
        WriteFileAtomically(path, "new");  // the temporary file is named only when complete
        EXPECT_EQ(test::ReadBytes(path), "new") << length;
        {
            ScopedSystemCalls use(named);
            WriteFileAtomically(path, "newer");
        }
        EXPECT_EQ(test::ReadBytes(path), "newer") << length;
        EXPECT_EQ(EntryCount(dir.path()), 1u) << length;
        std::filesystem::remove(path);
    }
}

}  // namespace
}  // namespace brenvale

// What a save keeps of the file it replaces: permissions, owner and group, other names, links,
// and nothing left beside it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>

#include "common/error.h"
#include "common/file_io.h"
#include "common/system_calls.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

namespace brenvale {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

struct stat StatOf(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// The failure text of a save that should have failed with error, empty when it did.
std::string ExpectFailure(const std::string& path, const std::string& bytes, int error) {
    try {
        WriteFileAtomically(path, bytes);
        return "the save of " + path + " succeeded";
    } catch (const Error& e) {
        if (!Contains(e.what(), path) || !Contains(e.what(), std::strerror(error))) {
            return std::string("unexpected text: ") + e.what();
        }
    }
    return {};
}

// A system on which files cannot be made without a name.
class NoUnnamedFiles : public SystemCalls {
public:
    int open(const char* path, int flags, mode_t mode) override {
        if ((flags & O_TMPFILE) == O_TMPFILE) {
            errno = EOPNOTSUPP;
            return -1;
        }
        return SystemCalls::open(path, flags, mode);
    }
};

TEST(SafeSave, RefusesAFileTheUserMayNotWrite) {
    test::TempDir dir;
    const std::string folder = test::FolderForUnprivileged(dir.path(), "work");
    const std::string path = folder + "/a.bnv";
    WriteBytes(path, "old");
    ::chmod(path.c_str(), 0444);
    if (test::IsRoot()) {
        ASSERT_EQ(::chown(path.c_str(), test::kNobody, test::kNoGroup), 0);
    }
    std::string result = test::Unprivileged([&]() -> std::string {
        int fd = ::open(path.c_str(), O_WRONLY);
        if (fd >= 0) {
            ::close(fd);
            return "the file may be written after all: the test would prove nothing";
        }
        return ExpectFailure(path, "new", EACCES);
    });
    EXPECT_EQ(result, "");
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_EQ(test::FolderEntries(folder), std::set<std::string>{"a.bnv"});
}

TEST(SafeSave, WritesInPlaceInAFolderTheUserMayNotWriteAndPutsTheOldBytesBackOnFailure) {
    test::TempDir dir;
    const std::string folder = dir.file("locked");
    ::mkdir(folder.c_str(), 0755);
    ::chmod(dir.path().c_str(), 0755);
    const std::string path = folder + "/a.bnv";
    WriteBytes(path, "precious");
    ::chmod(path.c_str(), 0644);
    if (test::IsRoot()) {
        ASSERT_EQ(::chown(path.c_str(), test::kNobody, test::kNoGroup), 0);
    }
    ::chmod(folder.c_str(), 0555);
    std::string result = test::Unprivileged([&]() -> std::string {
        int probe = ::open((folder + "/probe").c_str(), O_CREAT | O_WRONLY, 0644);
        if (probe >= 0) {
            ::close(probe);
            return "the folder may be written after all: the test would prove nothing";
        }
        try {
            WriteFileAtomically(path, "new content");
        } catch (const Error& e) {
            return std::string("the save failed: ") + e.what();
        }
        if (ReadBytes(path) != "new content") {
            return "not written";
        }
        test::FileSizeLimit limit(4);  // the write stops part-way
        std::string failure = ExpectFailure(path, std::string(1 << 20, 'x'), EFBIG);
        if (!failure.empty()) {
            return failure;
        }
        return ReadBytes(path) == "new content" ? "" : "the old content did not come back";
    });
    ::chmod(folder.c_str(), 0755);
    EXPECT_EQ(result, "");
    EXPECT_EQ(ReadBytes(path), "new content");
    EXPECT_EQ(test::FolderEntries(folder), std::set<std::string>{"a.bnv"});
}

TEST(SafeSave, KeepsOwnerGroupAndPermissions) {
    if (!test::IsRoot()) {
        GTEST_SKIP() << "a file of another owner needs root to make";
    }
    test::TempDir dir;
    const std::string path = dir.file("a.bnv");
    WriteBytes(path, "old");
    ASSERT_EQ(::chown(path.c_str(), test::kNobody, test::kNoGroup), 0);
    ::chmod(path.c_str(), 0640);
    WriteFileAtomically(path, "new");
    struct stat st = StatOf(path);
    EXPECT_EQ(st.st_uid, test::kNobody);
    EXPECT_EQ(st.st_gid, test::kNoGroup);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadBytes(path), "new");
    EXPECT_EQ(test::FolderEntries(dir.path()), std::set<std::string>{"a.bnv"});
}

TEST(SafeSave, WritesInPlaceWhereTheOwnerOrGroupCannotBeKept) {
    if (!test::IsRoot()) {
        GTEST_SKIP() << "a file of another owner needs root to make";
    }
    test::TempDir dir;
    const std::string folder = test::FolderForUnprivileged(dir.path(), "work");
    const std::string rootsFile = folder + "/a.bnv";    // owner root, writable by all
    const std::string othersGroup = folder + "/b.bnv";  // nobody's, in root's group
    WriteBytes(rootsFile, "old a");
    ::chmod(rootsFile.c_str(), 0666);
    WriteBytes(othersGroup, "old b");
    ASSERT_EQ(::chown(othersGroup.c_str(), test::kNobody, 0), 0);
    ::chmod(othersGroup.c_str(), 0664);
    std::string result = test::Unprivileged([&]() -> std::string {
        if (::chown(rootsFile.c_str(), test::kNobody, test::kNoGroup) == 0) {
            return "ownership may be given away: the test would prove nothing";
        }
        try {
            WriteFileAtomically(rootsFile, "new a");
            WriteFileAtomically(othersGroup, "new b");
        } catch (const Error& e) {
            return std::string("the save failed: ") + e.what();
        }
        return {};
    });
    EXPECT_EQ(result, "");
    EXPECT_EQ(ReadBytes(rootsFile), "new a");
    EXPECT_EQ(StatOf(rootsFile).st_uid, 0u);
    EXPECT_EQ(StatOf(rootsFile).st_gid, 0u);
    EXPECT_EQ(ReadBytes(othersGroup), "new b");
    EXPECT_EQ(StatOf(othersGroup).st_uid, test::kNobody);
    EXPECT_EQ(StatOf(othersGroup).st_gid, 0u);
    EXPECT_EQ(test::FolderEntries(folder), (std::set<std::string>{"a.bnv", "b.bnv"}));
}

TEST(SafeSave, AFileWithMoreThanOneNameKeepsThemAll) {
    test::TempDir dir;
    const std::string path = dir.file("a.bnv");
    WriteBytes(path, "old");
    fs::create_hard_link(path, dir.file("b.bnv"));
    WriteFileAtomically(path, "new");
    EXPECT_EQ(ReadBytes(dir.file("b.bnv")), "new");
    EXPECT_EQ(StatOf(path).st_nlink, 2u);
    EXPECT_EQ(StatOf(path).st_ino, StatOf(dir.file("b.bnv")).st_ino);
    {
        test::FileSizeLimit limit(2);
        EXPECT_EQ(ExpectFailure(path, std::string(1 << 20, 'x'), EFBIG), "");
    }
    EXPECT_EQ(ReadBytes(path), "new");
    EXPECT_EQ(ReadBytes(dir.file("b.bnv")), "new");
    EXPECT_EQ(test::FolderEntries(dir.path()), (std::set<std::string>{"a.bnv", "b.bnv"}));
}

TEST(SafeSave, FollowsLinksAndMakesTheFileADanglingLinkNames) {
    test::TempDir dir;
    fs::create_directory(dir.file("sub"));
    fs::create_symlink("sub/real.bnv", dir.file("link.bnv"));  // dangling, relative
    WriteFileAtomically(dir.file("link.bnv"), "made");
    EXPECT_TRUE(fs::is_symlink(dir.file("link.bnv")));
    EXPECT_EQ(ReadBytes(dir.file("sub/real.bnv")), "made");
    EXPECT_EQ(test::FolderEntries(dir.path()), (std::set<std::string>{"link.bnv", "sub"}));
    EXPECT_EQ(test::FolderEntries(dir.file("sub")), std::set<std::string>{"real.bnv"});

    // A chain of links, the last one absolute.
    fs::create_symlink(dir.file("sub/real.bnv"), dir.file("sub/inner"));
    fs::create_symlink("sub/inner", dir.file("outer.bnv"));
    WriteFileAtomically(dir.file("outer.bnv"), "again");
    EXPECT_EQ(ReadBytes(dir.file("sub/real.bnv")), "again");
    EXPECT_TRUE(fs::is_symlink(dir.file("sub/inner")));

    fs::create_symlink("loop2", dir.file("loop1"));
    fs::create_symlink("loop1", dir.file("loop2"));
    EXPECT_EQ(ExpectFailure(dir.file("loop1"), "x", ELOOP), "");
    EXPECT_FALSE(fs::exists(dir.file("sub/nothing")));
}

TEST(SafeSave, ASaveInProgressLeavesNoFileBesideTheTarget) {
    test::TempDir dir;
    const std::string path = dir.file("a.bnv");
    WriteBytes(path, "old");
    {
        AtomicFileWriter writer(path);
        writer.Write(std::string(1 << 20, 'x'));
        // A kill now would leave nothing: the temporary file has no name yet.
        EXPECT_EQ(test::FolderEntries(dir.path()), std::set<std::string>{"a.bnv"});
        writer.Commit();
    }
    EXPECT_EQ(ReadBytes(path), std::string(1 << 20, 'x'));
    EXPECT_EQ(test::FolderEntries(dir.path()), std::set<std::string>{"a.bnv"});
}

TEST(SafeSave, FallsBackToANamedTemporaryFile) {
    test::TempDir dir;
    const std::string path = dir.file("a.bnv");
    WriteBytes(path, "old");
    ::chmod(path.c_str(), 0604);
    NoUnnamedFiles calls;
    ScopedSystemCalls use(calls);
    {
        AtomicFileWriter writer(path);
        writer.Write("new");
        EXPECT_EQ(test::FolderEntries(dir.path()).size(), 2u);  // the hidden file beside the target
    }
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_EQ(test::FolderEntries(dir.path()), std::set<std::string>{"a.bnv"});
    WriteFileAtomically(path, "new");
    EXPECT_EQ(ReadBytes(path), "new");
    EXPECT_EQ(StatOf(path).st_mode & 07777, 0604u);
    EXPECT_EQ(test::FolderEntries(dir.path()), std::set<std::string>{"a.bnv"});
}

TEST(SafeSave, ANewFileGetsTheUsualPermissions) {
    test::TempDir dir;
    mode_t mask = ::umask(022);
    WriteFileAtomically(dir.file("a.bnv"), "new");
    {
        NoUnnamedFiles calls;
        ScopedSystemCalls use(calls);
        WriteFileAtomically(dir.file("b.bnv"), "new");
    }
    ::umask(mask);
    EXPECT_EQ(StatOf(dir.file("a.bnv")).st_mode & 07777, 0644u);
    EXPECT_EQ(StatOf(dir.file("b.bnv")).st_mode & 07777, 0644u);
}

}  // namespace
}  // namespace brenvale

// Where the copies go and the info kept beside each.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/error.h"
#include "editor/recovery_folder.h"
#include "editor/recovery_info.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

TEST(RecoveryFolderTest, TakesAnAbsoluteStateHomeElseTheHomeFolder) {
    EXPECT_EQ(RecoveryFolder("/s/state", "/home/u"), "/s/state/brenvale/recovery");
    EXPECT_EQ(RecoveryFolder("/s/state/", "/home/u"), "/s/state/brenvale/recovery");
    for (const char* unusable : {static_cast<const char*>(nullptr), "", "state", "./state"}) {
        EXPECT_EQ(RecoveryFolder(unusable, "/home/u"), "/home/u/.local/state/brenvale/recovery")
            << (unusable ? unusable : "unset");
    }
    EXPECT_EQ(RecoveryFolder(nullptr, "/"), "/.local/state/brenvale/recovery");
    EXPECT_EQ(RecoveryFolder(nullptr, "home"), std::nullopt);
    EXPECT_EQ(RecoveryFolder("", nullptr), std::nullopt);
}

TEST(RecoveryFolderTest, FromTheEnvironment) {
    std::string saved = std::getenv("XDG_STATE_HOME") ? std::getenv("XDG_STATE_HOME") : "";
    ::setenv("XDG_STATE_HOME", "/x/state", 1);
    EXPECT_EQ(RecoveryFolderFromEnvironment(), "/x/state/brenvale/recovery");
    ::setenv("XDG_STATE_HOME", saved.c_str(), 1);
}

TEST(RecoveryFolderTest, IsMadeWithItsParentsPrivateToTheUser) {
    test::TempDir dir;
    std::string folder = dir.file("state/brenvale/recovery");
    MakePrivateFolder(folder);
    MakePrivateFolder(folder);  // already there
    for (const std::string& made : {dir.file("state"), dir.file("state/brenvale"), folder}) {
        struct stat st;
        ASSERT_EQ(::stat(made.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u) << made;
    }
    test::WriteBytes(dir.file("file"), "x");
    EXPECT_THROW(MakePrivateFolder(dir.file("file")), Error);
    EXPECT_THROW(MakePrivateFolder(dir.file("file/recovery")), Error);
}

TEST(RecoveryInfoTest, KeepsAnyPathOrNone) {
    for (const std::string& path :
         {std::string("/home/u/計画.bnv"), std::string("/a\nb\\n\\/c\r.bnv"), std::string("/")}) {
        RecoveryInfo info{path};
        EXPECT_EQ(ParseRecoveryInfo(FormatRecoveryInfo(info)), info);
    }
    RecoveryInfo untitled;
    EXPECT_EQ(FormatRecoveryInfo(untitled), "brenvale recovery 1\nuntitled\n");
    EXPECT_EQ(ParseRecoveryInfo(FormatRecoveryInfo(untitled)), untitled);
    // Lines from a later version are skipped.
    EXPECT_EQ(ParseRecoveryInfo("brenvale recovery 2\nwindow 3\ndocument /a.bnv\n").documentPath,
              "/a.bnv");
    EXPECT_EQ(ParseRecoveryInfo("").documentPath, std::nullopt);
}

TEST(RecoveryInfoTest, KeepsTheVersionOfTheFileAndSkipsALineItCannotRead) {
    RecoveryInfo info;
    info.documentPath = "/a.bnv";
    info.documentFile = FileIdentity{~uint64_t{0}, 12, 345, -6789, 0x0123456789ABCDEF};
    EXPECT_EQ(ParseRecoveryInfo(FormatRecoveryInfo(info)), info);
    for (const char* line : {"file 1 2 3 4\n", "file 1 2 3 4 5 6\n", "file 1 2 x 4 5\n"}) {
        RecoveryInfo read = ParseRecoveryInfo(std::string("document /a.bnv\n") + line);
        EXPECT_EQ(read.documentPath, "/a.bnv");
        EXPECT_EQ(read.documentFile, std::nullopt) << line;
    }
}

}  // namespace
}  // namespace brenvale

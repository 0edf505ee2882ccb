#include "common/path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "common/error.h"
#include "support/temp_dir.h"
#include "support/working_folder.h"

namespace brenvale {
namespace {

int ByteWidth(std::string_view s) {
    return static_cast<int>(s.size());
}

TEST(Path, ReplacesTheExtensionOfTheFileNameOnly) {
    EXPECT_EQ(ReplaceExtension("/doc/a.bnv", ".BAK"), "/doc/a.BAK");
    EXPECT_EQ(ReplaceExtension("/doc/a.b.bnv", ".tmp"), "/doc/a.b.tmp");
    EXPECT_EQ(ReplaceExtension("/doc.d/plan", ".tmp"), "/doc.d/plan.tmp");
    EXPECT_EQ(ReplaceExtension("無題.bnv", ".txt"), "無題.txt");
}

TEST(Path, SplitsFolderAndName) {
    EXPECT_EQ(FileNamePart("/a/b/c.bnv"), "c.bnv");
    EXPECT_EQ(FileNamePart("c.bnv"), "c.bnv");
    EXPECT_EQ(FolderPart("/a/b/c.bnv"), "/a/b");
    EXPECT_EQ(FolderPart("/c.bnv"), "/");
    EXPECT_EQ(FolderPart("c.bnv"), "");
    EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
    EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
}

TEST(ShortenPathToWidth, DropsOneFolderPerStepDownToTheFileName) {
    const std::string path = "/Program Files/Tools/data/plan.bnv";
    std::vector<std::string> steps;
    for (int width = static_cast<int>(path.size()); width >= 0; --width) {
        std::string shortened = ShortenPathToWidth(path, ByteWidth, width);
        if (steps.empty() || steps.back() != shortened) {
            steps.push_back(shortened);
        }
    }
    EXPECT_EQ(steps,
              (std::vector<std::string>{path, "/.../Tools/data/plan.bnv", "/.../data/plan.bnv",
                                        "/.../plan.bnv", ".../plan.bnv", "plan.bnv"}));
}

TEST(ShortenPathToWidth, KeepsAFittingPathAndHandlesNetworkAndDrivePaths) {
    EXPECT_EQ(ShortenPathToWidth("/a/b.bnv", ByteWidth, 100), "/a/b.bnv");
    EXPECT_EQ(ShortenPathToWidth("//server/share/f/x.bnv", ByteWidth, 20), "/.../share/f/x.bnv");
    EXPECT_EQ(ShortenPathToWidth("C:/Tools/data/x.bnv", ByteWidth, 16), "C:/.../x.bnv");
    EXPECT_EQ(ShortenPathToWidth("無題.bnv", ByteWidth, 1), "無題.bnv");
}

TEST(TrimFirstFolder, FollowsTheElisionSteps) {
    EXPECT_EQ(TrimFirstFolder("/"), "");
    EXPECT_EQ(TrimFirstFolder("/a/b/"), "/.../b/");
    EXPECT_EQ(TrimFirstFolder("/.../b/"), "/.../");
    EXPECT_EQ(TrimFirstFolder(".../"), "");
    EXPECT_EQ(TrimFirstFolder("a/"), ".../");
}

TEST(ExpandLongPath, GivesTheAbsolutePathAndFailsForAMissingComponent) {
    test::TempDir dir;
    test::WriteBytes(dir.file("x.bnv"), "");
    EXPECT_EQ(ExpandLongPath(dir.path() + "/./sub/../x.bnv"), dir.file("x.bnv"));
    std::filesystem::path cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    EXPECT_EQ(ExpandLongPath("x.bnv"), dir.file("x.bnv"));
    std::filesystem::current_path(cwd);
    try {
        ExpandLongPath(dir.path() + "/missing/x.bnv");
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "ファイルが見つかりません。");
    }
}

TEST(Path, AbsolutePathResolvesARelativeNameAgainstTheWorkingFolderNow) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.file("sub"));
    test::WorkingFolder here(dir.file("sub"));
    EXPECT_EQ(AbsolutePath("plan.bnv"), dir.file("sub/plan.bnv"));
    EXPECT_EQ(AbsolutePath("./a//b/./c.bnv"), dir.file("sub/a/b/c.bnv"));
    // ".." is kept: the folder before it may be a link elsewhere.
    EXPECT_EQ(AbsolutePath("../x/../plan.bnv"), dir.file("sub/../x/../plan.bnv"));
    EXPECT_EQ(AbsolutePath("/keep/./as//is"), "/keep/./as//is");
    EXPECT_EQ(AbsolutePath(""), "");
}

TEST(Path, TellsFoldersFromFiles) {
    test::TempDir dir;
    test::WriteBytes(dir.file("f"), "x");
    EXPECT_TRUE(FolderExists(dir.path()));
    EXPECT_FALSE(FolderExists(dir.file("f")));
    EXPECT_FALSE(FolderExists(dir.file("none")));
    EXPECT_FALSE(FolderExists(""));
    EXPECT_TRUE(FileExists(dir.file("f")));
    EXPECT_FALSE(FileExists(dir.path()));
}

}  // namespace
}  // namespace brenvale

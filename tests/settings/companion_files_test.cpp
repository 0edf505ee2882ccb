#include "settings/companion_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "support/temp_dir.h"

namespace brenvale {
namespace {

EnvironmentLookup Env(std::map<std::string, std::string> values) {
    return [values](const std::string& name) -> std::optional<std::string> {
        auto it = values.find(name);
        return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
    };
}

bool Writable(const std::string&) {
    return true;
}
bool ReadOnly(const std::string&) {
    return false;
}

TEST(CompanionFiles, LieBesideAWritableProgram) {
    CompanionFiles files = LocateCompanionFiles("/opt/tools/brenvale", Writable, Env({}));
    EXPECT_EQ(files.folder, "/opt/tools");
    EXPECT_EQ(files.settings, "/opt/tools/brenvale.ini");
    EXPECT_EQ(files.shortcuts, "/opt/tools/brenvale.key");
    EXPECT_EQ(files.userIcon(1), "/opt/tools/Icon01.ico");
    EXPECT_EQ(files.userIcon(15), "/opt/tools/Icon15.ico");
    // A program with an extension has it replaced.
    EXPECT_EQ(LocateCompanionFiles("/p/todo.bin", Writable, Env({})).settings, "/p/todo.ini");
}

TEST(CompanionFiles, MoveToTheConfigurationFolderForAnInstalledProgram) {
    const std::string program = "/usr/bin/brenvale";
    CompanionFiles xdg =
        LocateCompanionFiles(program, ReadOnly, Env({{"XDG_CONFIG_HOME", "/x"}, {"HOME", "/h"}}));
    EXPECT_EQ(xdg.settings, "/x/brenvale/brenvale.ini");
    EXPECT_EQ(xdg.userIcon(2), "/x/brenvale/Icon02.ico");
    // An empty or relative XDG_CONFIG_HOME is not used.
    EXPECT_EQ(
        LocateCompanionFiles(program, ReadOnly, Env({{"XDG_CONFIG_HOME", ""}, {"HOME", "/h"}}))
            .shortcuts,
        "/h/.config/brenvale/brenvale.key");
    EXPECT_EQ(
        LocateCompanionFiles(program, ReadOnly, Env({{"XDG_CONFIG_HOME", "rel"}, {"HOME", "/h"}}))
            .folder,
        "/h/.config/brenvale");
    // Nowhere else to go: the program's folder, where a write will report its failure.
    EXPECT_EQ(LocateCompanionFiles(program, ReadOnly, Env({})).folder, "/usr/bin");
}

TEST(ProgramPath, IsTheRunningFileAndFallsBackToTheAbsolutePath) {
    std::string self = ProgramPath(nullptr);
    EXPECT_EQ(self.front(), '/');
    EXPECT_TRUE(std::filesystem::is_regular_file(self));
    EXPECT_EQ(std::filesystem::path(self).filename(), "settings_tests");

    test::TempDir dir;
    std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    EXPECT_EQ(ResolveProgramPath("gone/../missing/brenvale"),
              (std::filesystem::current_path() / "missing/brenvale").string());
    std::filesystem::current_path(before);
}

}  // namespace
}  // namespace brenvale

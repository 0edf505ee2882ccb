#include "settings/help_files.h"

#include <gtest/gtest.h>

#include <set>

namespace brenvale {
namespace {

using Candidates = std::vector<std::string>;

FileExistsTest Existing(std::set<std::string> files) {
    return [files](const std::string& path) { return files.count(path) > 0; };
}

TEST(HelpFiles, InstalledFoldersStartBesideTheProgramsBinFolder) {
    EXPECT_EQ(InstalledHelpFolders("/usr/bin/brenvale", "/usr/share/brenvale"),
              Candidates{"/usr/share/brenvale"});
    EXPECT_EQ(InstalledHelpFolders("/tmp/root/usr/bin/brenvale", "/usr/share/brenvale"),
              (Candidates{"/tmp/root/usr/share/brenvale", "/usr/share/brenvale"}));
    EXPECT_EQ(InstalledHelpFolders("/opt/b/bin/brenvale", ""), Candidates{"/opt/b/share/brenvale"});
}

TEST(HelpFiles, BesideTheProgramComesFirstAndIsNamedAfterIt) {
    Candidates c = HelpCollectionCandidates("/home/u/build/todo.bin", {"/usr/share/brenvale"});
    EXPECT_EQ(c, (Candidates{"/home/u/build/todo.qhc", "/usr/share/brenvale/todo.qhc",
                             "/usr/share/brenvale/brenvale.qhc"}));
    // The usual name appears only once.
    EXPECT_EQ(HelpCollectionCandidates("/usr/bin/brenvale", {"/usr/share/brenvale"}),
              (Candidates{"/usr/bin/brenvale.qhc", "/usr/share/brenvale/brenvale.qhc"}));
    EXPECT_EQ(HelpFileOf("/usr/share/brenvale/brenvale.qhc"), "/usr/share/brenvale/brenvale.qch");
}

TEST(HelpFiles, TheFirstCompletePairWins) {
    Candidates c = HelpCollectionCandidates("/p/bin/brenvale", {"/p/share/brenvale"});
    // Beside the program, installed copy, and a collection without its help file beside it.
    EXPECT_EQ(FindHelpCollection(c, Existing({"/p/bin/brenvale.qhc", "/p/bin/brenvale.qch",
                                              "/p/share/brenvale/brenvale.qhc",
                                              "/p/share/brenvale/brenvale.qch"})),
              "/p/bin/brenvale.qhc");
    EXPECT_EQ(
        FindHelpCollection(c, Existing({"/p/bin/brenvale.qhc", "/p/share/brenvale/brenvale.qhc",
                                        "/p/share/brenvale/brenvale.qch"})),
        "/p/share/brenvale/brenvale.qhc");
    EXPECT_EQ(FindHelpCollection(c, Existing({"/p/bin/brenvale.qch"})), std::nullopt);
    EXPECT_EQ(FindHelpCollection({}, Existing({})), std::nullopt);
}

}  // namespace
}  // namespace brenvale

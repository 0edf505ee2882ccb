// Instances in one folder: two stores in one process hold separate locks, as two processes do.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "common/error.h"
#include "editor/recovery_store.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

namespace fs = std::filesystem;

class Store : public ::testing::Test {
protected:
    std::string Folder() const { return dir.file("state/brenvale/recovery"); }
    std::set<std::string> Files() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(Folder())) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }
    // An instance that wrote a copy and then went without a normal close.
    std::string GoneInstance(const std::string& bytes, RecoveryInfo info = {}) {
        RecoveryStore gone(Folder());
        gone.WriteCopy(bytes, info);
        return gone.id();
    }

    test::TempDir dir;
};

TEST_F(Store, AnInstanceKeepsItsCopyAndInfoBesideItsLock) {
    RecoveryStore store(Folder());
    EXPECT_EQ(Files(), (std::set<std::string>{store.id() + ".lock"}));
    EXPECT_FALSE(store.HasCopy());
    store.WriteCopy("A@00@\r\n", {"/home/u/a.bnv"});
    EXPECT_TRUE(store.HasCopy());
    EXPECT_EQ(test::ReadBytes(store.copyPath()), "A@00@\r\n");
    EXPECT_EQ(ParseRecoveryInfo(test::ReadBytes(store.infoPath())).documentPath, "/home/u/a.bnv");
    EXPECT_EQ(Files(), (std::set<std::string>{store.id() + ".lock", store.id() + ".bnv",
                                              store.id() + ".info"}));
    // A write that was stopped leaves a temporary file; removing takes it too.
    test::WriteBytes(Folder() + "/." + store.id() + ".bnv.Ab12Cd", "half");
    store.RemoveCopy();
    store.RemoveCopy();
    EXPECT_EQ(Files(), (std::set<std::string>{store.id() + ".lock"}));
}

TEST_F(Store, TheLockIsHeldUntilTheStoreGoesAndItsFileGoesWithIt) {
    std::string lock;
    {
        RecoveryStore store(Folder());
        lock = Folder() + "/" + store.id() + ".lock";
        int fd = ::open(lock.c_str(), O_RDWR);
        EXPECT_NE(::flock(fd, LOCK_EX | LOCK_NB), 0);
        ::close(fd);
    }
    EXPECT_FALSE(fs::exists(lock));
    EXPECT_TRUE(Files().empty());
}

TEST_F(Store, ALiveInstancesCopyIsSeenButNeverTaken) {
    RecoveryStore live(Folder());
    live.WriteCopy("live", {});
    RecoveryStore starting(Folder());
    EXPECT_EQ(starting.OtherCopies(), std::vector<std::string>{live.id()});
    EXPECT_EQ(starting.Claim(live.id()), std::nullopt);
    starting.RemoveStaleFiles();
    EXPECT_EQ(test::ReadBytes(live.copyPath()), "live");
    EXPECT_TRUE(fs::exists(Folder() + "/" + live.id() + ".lock"));
    EXPECT_TRUE(starting.OtherCopies().size() == 1 && live.OtherCopies().empty());
}

TEST_F(Store, AGoneInstancesCopyIsClaimedByOneStartingInstanceOnly) {
    std::string gone = GoneInstance("gone", {"/d/a.bnv"});
    RecoveryStore first(Folder());
    RecoveryStore second(Folder());
    std::optional<ClaimedCopy> claimed = first.Claim(gone);
    ASSERT_TRUE(claimed);
    EXPECT_EQ(claimed->ReadBytes(), "gone");
    EXPECT_EQ(claimed->info().documentPath, "/d/a.bnv");
    EXPECT_EQ(second.Claim(gone), std::nullopt);
    claimed.reset();  // the first one let it go without deciding
    EXPECT_TRUE(second.Claim(gone));
}

TEST_F(Store, DeletingAClaimedCopyRemovesEveryFileOfItsInstance) {
    std::string gone = GoneInstance("gone");
    test::WriteBytes(Folder() + "/." + gone + ".bnv.X1y2Z3", "half");
    RecoveryStore store(Folder());
    std::optional<ClaimedCopy> claimed = store.Claim(gone);
    ASSERT_TRUE(claimed);
    EXPECT_EQ(claimed->info().documentPath, std::nullopt);
    claimed->Delete();
    EXPECT_EQ(Files(), (std::set<std::string>{store.id() + ".lock"}));
}

TEST_F(Store, ACopyWhoseLockFileIsMissingIsAGoneInstances) {
    std::string gone = GoneInstance("gone");
    fs::remove(Folder() + "/" + gone + ".lock");
    RecoveryStore first(Folder());
    std::optional<ClaimedCopy> claimed = first.Claim(gone);
    ASSERT_TRUE(claimed);
    RecoveryStore second(Folder());
    EXPECT_EQ(second.Claim(gone), std::nullopt);
}

TEST_F(Store, StaleFilesOfGoneInstancesWithoutACopyAreRemoved) {
    std::string withCopy = GoneInstance("kept");
    std::string withoutCopy;
    {
        RecoveryStore gone(Folder());
        withoutCopy = gone.id();
        gone.WriteCopy("x", {});
        gone.RemoveCopy();
        test::WriteBytes(gone.infoPath(), "brenvale recovery 1\nuntitled\n");
        // Gone without removing its lock: as after a kill.
        fs::copy_file(Folder() + "/" + gone.id() + ".lock", dir.file("lock"));
    }
    fs::copy_file(dir.file("lock"), Folder() + "/" + withoutCopy + ".lock");
    RecoveryStore live(Folder());
    RecoveryStore store(Folder());
    store.RemoveStaleFiles();
    EXPECT_EQ(Files(),
              (std::set<std::string>{withCopy + ".bnv", withCopy + ".info", withCopy + ".lock",
                                     live.id() + ".lock", store.id() + ".lock"}));
}

TEST_F(Store, FilesThatAreNoInstancesCopiesAreLeftAlone) {
    RecoveryStore store(Folder());
    test::WriteBytes(Folder() + "/notes.bnv", "x");
    test::WriteBytes(Folder() + "/1-2-3.bnv", "x");
    EXPECT_TRUE(store.OtherCopies().empty());
    EXPECT_EQ(store.Claim("notes"), std::nullopt);
    EXPECT_EQ(store.Claim(store.id()), std::nullopt);
}

}  // namespace
}  // namespace brenvale

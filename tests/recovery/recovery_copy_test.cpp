#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "recovery/recovery_copy.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using std::chrono::seconds;

class Copy : public ::testing::Test {
protected:
    Copy() { Make(); }
    void Make(CopyMethod method = CopyMethod::ForkedChild) {
        copy.reset();
        RecoveryOptions options;
        options.method = method;
        options.clock = [this] { return now; };
        copy = std::make_unique<RecoveryCopy>(dir.file("recovery"), options);
    }
    void WriteNow(std::string bytes) {
        ASSERT_TRUE(copy->CopyDue());
        copy->Write([bytes] { return bytes; }, {});
    }
    std::optional<std::string> Finish() {
        copy->WaitForWrite();
        return copy->Collect();
    }
    std::string CopyPath() { return copy->store().copyPath(); }

    test::TempDir dir;
    RecoveryTime now = RecoveryClock::now();
    std::unique_ptr<RecoveryCopy> copy;
};

TEST_F(Copy, LooksAgainWhenTheNextCopyIsDueAndWhileOneIsWritten) {
    EXPECT_EQ(copy->NextLook(), std::nullopt);
    copy->Changed();
    EXPECT_EQ(copy->NextLook(), seconds(3));
    now += milliseconds(1200);
    EXPECT_EQ(copy->NextLook(), milliseconds(1800));
    EXPECT_FALSE(copy->CopyDue());
    now += seconds(2);
    EXPECT_EQ(copy->NextLook(), milliseconds(0));
    WriteNow("one");
    EXPECT_EQ(copy->NextLook(), milliseconds(50));
    EXPECT_EQ(Finish(), std::nullopt);
    EXPECT_EQ(test::ReadBytes(CopyPath()), "one");
    EXPECT_EQ(copy->NextLook(), std::nullopt);
    copy->Changed();
    EXPECT_EQ(copy->NextLook(), seconds(30));
}

TEST_F(Copy, DiscardingRemovesTheCopyAtOnceOrOnceTheWriteHasStopped) {
    copy->Changed();
    now += seconds(3);
    WriteNow("one");
    Finish();
    copy->Discard();
    EXPECT_FALSE(fs::exists(CopyPath()));

    copy->Changed();
    now += seconds(30);
    WriteNow("two");
    copy->Discard();
    EXPECT_FALSE(copy->CopyDue());
    EXPECT_EQ(Finish(), std::nullopt);
    EXPECT_FALSE(fs::exists(CopyPath()));
    EXPECT_FALSE(fs::exists(copy->store().infoPath()));
}

TEST_F(Copy, AWriteOnAThreadIsRemovedOnceItEnds) {
    Make(CopyMethod::Thread);
    copy->Changed();
    now += seconds(3);
    WriteNow("one");
    copy->Discard();
    Finish();
    EXPECT_FALSE(fs::exists(CopyPath()));
}

TEST_F(Copy, AFailureIsReportedOnceUntilAWriteSucceedsAgain) {
    std::string folder = copy->store().folder();
    fs::remove_all(folder);
    copy->Changed();
    now += seconds(3);
    WriteNow("one");
    std::optional<std::string> failure = Finish();
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->find(folder), std::string::npos);
    // Still unsaved: tried again 30 seconds later, without a second report.
    EXPECT_EQ(copy->NextLook(), seconds(30));
    now += seconds(30);
    WriteNow("two");
    EXPECT_EQ(Finish(), std::nullopt);

    fs::create_directories(folder);
    now += seconds(30);
    WriteNow("three");
    EXPECT_EQ(Finish(), std::nullopt);
    EXPECT_EQ(test::ReadBytes(CopyPath()), "three");
    fs::remove_all(folder);
    copy->Changed();
    now += seconds(30);
    WriteNow("four");
    EXPECT_TRUE(Finish());
    fs::create_directories(folder);
}

TEST_F(Copy, ANormalEndLeavesNothingAnEndWithoutCloseLeavesTheCopy) {
    copy->Changed();
    now += seconds(3);
    WriteNow("kept");
    Finish();
    std::string path = CopyPath();
    copy.reset();
    EXPECT_EQ(test::ReadBytes(path), "kept");

    Make();
    copy->Changed();
    now += seconds(3);
    WriteNow("gone");
    EXPECT_EQ(copy->Close(), std::nullopt);
    EXPECT_FALSE(copy->CopyDue());
    copy->Changed();
    EXPECT_EQ(copy->NextLook(), std::nullopt);
    std::string own = copy->store().id();
    copy.reset();
    for (const auto& entry : fs::directory_iterator(dir.file("recovery"))) {
        EXPECT_EQ(entry.path().filename().string().find(own), std::string::npos) << entry.path();
    }
}

}  // namespace
}  // namespace brenvale

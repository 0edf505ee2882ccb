#include <gtest/gtest.h>

#include <filesystem>

#include "editor/recovery_copy.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

namespace fs = std::filesystem;

class DiscardDuringWrite : public ::testing::TestWithParam<CopyMethod> {};

INSTANTIATE_TEST_SUITE_P(Methods, DiscardDuringWrite,
                         ::testing::Values(CopyMethod::ForkedChild, CopyMethod::Thread));

// A save while a copy is being written: the write must not put the copy back after it was
// removed.
TEST_P(DiscardDuringWrite, RemovesTheCopyOnceTheWriteHasStopped) {
    test::TempDir dir;
    RecoveryTime now = RecoveryClock::now();
    RecoveryOptions options;
    options.method = GetParam();
    options.clock = [&] { return now; };
    RecoveryCopy copy(dir.file("recovery"), options);
    copy.Changed();
    now += std::chrono::seconds(3);
    ASSERT_TRUE(copy.CopyDue());
    copy.Write([] { return std::string("copy"); }, {});
    copy.Discard();
    EXPECT_FALSE(copy.CopyDue());
    copy.WaitForWrite();
    EXPECT_EQ(copy.Collect(), std::nullopt);
    EXPECT_FALSE(fs::exists(copy.store().copyPath()));
    EXPECT_FALSE(fs::exists(copy.store().infoPath()));
    EXPECT_EQ(copy.NextLook(), std::nullopt);
}

}  // namespace
}  // namespace brenvale

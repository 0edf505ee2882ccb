// Only regular files are read: a pipe, a device or a folder is refused at once, on the one
// descriptor that is opened.
#include "common/readable_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "common/byte_block.h"
#include "common/error.h"
#include "common/file_io.h"
#include "support/error_of.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

// A read that would wait for ever ends the test program instead.
class NoHang : public ::testing::Test {
protected:
    void SetUp() override { ::alarm(20); }
    void TearDown() override { ::alarm(0); }
};

TEST_F(NoHang, EveryReaderRefusesAPipeADeviceAndAFolder) {
    test::TempDir dir;
    const std::string fifo = dir.file("pipe.bnv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string notRegular = "」は通常のファイルではありません。";
    for (const std::string& path : {fifo, std::string("/dev/zero"), std::string("/dev/null")}) {
        EXPECT_EQ(test::ErrorOf([&] { ReadWholeFile(path); }), "「" + path + notRegular);
        EXPECT_EQ(test::ErrorOf([&] { ReadFileBlock(path, 1); }), "「" + path + notRegular);
    }
    EXPECT_EQ(test::ErrorOf([&] { ReadWholeFile(dir.path()); }),
              "「" + dir.path() + "」はフォルダです。");
    EXPECT_EQ(test::ErrorOf([&] { ReadFileBlock(dir.path(), 1); }),
              "「" + dir.path() + "」はフォルダです。");
    EXPECT_NE(test::ErrorOf([&] { ReadWholeFile(dir.file("missing")); }).find("No such file"),
              std::string::npos);
}

TEST_F(NoHang, APipeWithAWriterIsRefusedAndKeepsItsData) {
    test::TempDir dir;
    const std::string fifo = dir.file("pipe.bnv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    // A reader of our own, so that the writer can open the pipe and fill it.
    int keep = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    int writer = ::open(fifo.c_str(), O_WRONLY);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::write(writer, "data", 4), 4);
    OpenedFile opened = OpenRegularFile(fifo);
    EXPECT_EQ(opened.fd, -1);
    EXPECT_EQ(opened.failure, OpenFailure::NotRegular);
    char bytes[8] = {};
    EXPECT_EQ(::read(keep, bytes, sizeof bytes), 4);
    EXPECT_EQ(std::string(bytes, 4), "data");
    ::close(writer);
    ::close(keep);
}

}  // namespace
}  // namespace brenvale

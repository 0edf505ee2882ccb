#include "cli/cli.h"

#include <gtest/gtest.h>

#include <sstream>

#include "document/example_document.h"

namespace brenvale {
namespace {

using test::Sjis;

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

CliRun Cli(std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    int code = RunCli(args, out, err);
    return {code, out.str(), err.str()};
}

TEST(Cli, ResaveReproducesTheExampleAndExportWritesTheOutline) {
    test::TempDir dir;
    test::WriteBytes(dir.file("in.bnv"), test::ExampleFileBytes());
    EXPECT_EQ(Cli({"resave", dir.file("in.bnv"), dir.file("out.bnv")}).code, 0);
    EXPECT_EQ(test::ReadBytes(dir.file("out.bnv")), test::ExampleFileBytes());

    EXPECT_EQ(Cli({"export", dir.file("in.bnv"), dir.file("out.txt")}).code, 0);
    EXPECT_EQ(test::ReadBytes(dir.file("out.txt")).substr(0, 6), Sjis("仕事\r\n"));
}

TEST(Cli, ResaveUsesDefaultGeometryAndTrimsItems) {
    test::TempDir dir;
    test::WriteBytes(dir.file("in.bnv"), "A@00@\r\n\x08" + Sjis("□") + "  x  \r\n");
    EXPECT_EQ(Cli({"resave", dir.file("in.bnv"), dir.file("out.bnv")}).code, 0);
    EXPECT_EQ(test::ReadBytes(dir.file("out.bnv")),
              "\x07Height376\r\n\x07Width573\r\n\x07Top-1\r\n\x07Left-1\r\n\x07TreeWidth129\r\n"
              "A@00@\r\n\x08" +
                  Sjis("□") + "x\r\n");
}

TEST(Cli, ImportTextPastesLinesAsTopics) {
    test::TempDir dir;
    test::WriteBytes(dir.file("in.txt"), "A\n\tB@07@\n\t\x08" + Sjis("■") + "done\n");
    EXPECT_EQ(Cli({"import-text", dir.file("in.txt"), dir.file("out.bnv")}).code, 0);
    std::string out = test::ReadBytes(dir.file("out.bnv"));
    EXPECT_NE(out.find("A@00@\r\n\tB@07@\r\n\t\x08" + Sjis("■") + "done\r\n"), std::string::npos);
}

TEST(Cli, StatsCountsLikeTheStatusBar) {
    test::TempDir dir;
    test::WriteBytes(dir.file("in.bnv"), test::ExampleFileBytes());
    CliRun r = Cli({"stats", dir.file("in.bnv")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "topics 3\nitems 5\nunchecked 2\ndepth 1\n");
    test::WriteBytes(dir.file("empty.bnv"), "");
    EXPECT_EQ(Cli({"stats", dir.file("empty.bnv")}).out,
              "topics 0\nitems 0\nunchecked 0\ndepth 0\n");
}

TEST(Cli, ReportsFileErrorsAndBadUsageWithTheirExitCodes) {
    test::TempDir dir;
    CliRun missing = Cli({"stats", dir.file("missing.bnv")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1);
    test::WriteBytes(dir.file("in.bnv"), "A\r\n");
    EXPECT_EQ(Cli({"export", dir.file("in.bnv"), dir.file("none/out.txt")}).code, 1);
    EXPECT_EQ(Cli({}).code, 2);
    EXPECT_EQ(Cli({"frobnicate"}).code, 2);
    EXPECT_EQ(Cli({"stats"}).code, 2);
    EXPECT_EQ(Cli({"export", "a", "b", "c"}).code, 2);
    EXPECT_EQ(Cli({"stats", "--bogus", "a"}).code, 2);
    CliRun help = Cli({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("import-text"), std::string::npos);
}

}  // namespace
}  // namespace brenvale

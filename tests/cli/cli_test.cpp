#include "cli/cli.h"

#include <gtest/gtest.h>

#include <filesystem>
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

TEST(Cli, SettingsFileChangesTheExportLikeTheEditor) {
    test::TempDir dir;
    test::WriteBytes(dir.file("in.bnv"), test::ExampleFileBytes());
    const std::string plain = Sjis("  □会議の準備\r\n  ----------\r\n  ※メモ\r\n");
    ASSERT_EQ(Cli({"export", dir.file("in.bnv"), dir.file("a.txt")}).code, 0);
    EXPECT_NE(test::ReadBytes(dir.file("a.txt")).find(plain), std::string::npos);

    // Kugiri off: "-" is a no-box Item showing the mark; the option may stand anywhere.
    test::WriteBytes(dir.file("k.ini"), "[List]\r\nKugiri=0\r\nCekMoj=" + Sjis("＊") + "\r\n");
    ASSERT_EQ(
        Cli({"export", "--settings", dir.file("k.ini"), dir.file("in.bnv"), dir.file("k.txt")})
            .code,
        0);
    EXPECT_NE(
        test::ReadBytes(dir.file("k.txt")).find(Sjis("  □会議の準備\r\n  ＊\r\n  ＊メモ\r\n")),
        std::string::npos);

    // CekBox off: "-メモ" is an ordinary Item.
    test::WriteBytes(dir.file("c.ini"), "[list]\r\ncekbox = 0\r\n");
    ASSERT_EQ(
        Cli({"export", dir.file("in.bnv"), dir.file("c.txt"), "--settings=" + dir.file("c.ini")})
            .code,
        0);
    EXPECT_NE(test::ReadBytes(dir.file("c.txt")).find(Sjis("  ----------\r\n  □-メモ\r\n")),
              std::string::npos);
    EXPECT_EQ(Cli({"stats", dir.file("in.bnv"), "--settings", dir.file("c.ini")}).out,
              "topics 3\nitems 5\nunchecked 3\ndepth 1\n");

    // A missing settings file gives the defaults, as in the editor.
    ASSERT_EQ(
        Cli({"export", "--settings", dir.file("none.ini"), dir.file("in.bnv"), dir.file("d.txt")})
            .code,
        0);
    EXPECT_EQ(test::ReadBytes(dir.file("d.txt")), test::ReadBytes(dir.file("a.txt")));
}

TEST(Cli, SettingsFileChangesHowDocumentsAreReadAndSaved) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.file("bak"));
    test::WriteBytes(dir.file("in.bnv"), "\x07Top200\r\nA@00@\r\n\x08" + Sjis("□") + " x \r\n");
    test::WriteBytes(dir.file("out.bnv"), "old");
    test::WriteBytes(
        dir.file("s.ini"),
        "[Save]\r\nEveryS=0\r\nSpRemv=0\r\nBackUp=1\r\nBackUpPass=" + dir.file("bak") + "\r\n");
    ASSERT_EQ(
        Cli({"resave", "--settings", dir.file("s.ini"), dir.file("in.bnv"), dir.file("out.bnv")})
            .code,
        0);
    std::string out = test::ReadBytes(dir.file("out.bnv"));
    EXPECT_NE(out.find("\x07Top-1\r\n"), std::string::npos);  // geometry lines not taken
    EXPECT_NE(out.find("\x08" + Sjis("□") + " x \r\n"), std::string::npos);
    EXPECT_EQ(test::ReadBytes(dir.file("bak/out.BAK")), "old");
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
    EXPECT_EQ(Cli({"stats", dir.file("in.bnv"), "--settings"}).code, 2);
    CliRun help = Cli({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("import-text"), std::string::npos);
    EXPECT_NE(help.out.find("--settings FILE.ini"), std::string::npos);
}

}  // namespace
}  // namespace brenvale

#include "cli/cli.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "cli_run.h"
#include "document/example_document.h"
#include "support/foreign_files.h"
#include "support/run_command.h"

namespace brenvale {
namespace {

using test::Sjis;

using test::Cli;
using test::CliRun;

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

TEST(Cli, AnOldBackupThatCannotBeReplacedStopsTheSave) {
    test::TempDir dir;
    test::WriteBytes(dir.file("in.bnv"), test::ExampleFileBytes());
    test::WriteBytes(dir.file("in.txt"), "A\n");
    test::WriteBytes(dir.file("out.bnv"), "old");
    test::WriteBytes(dir.file("s.ini"), "[Save]\r\nBackUp=1\r\n");
    std::filesystem::create_directories(dir.file("out.BAK/inner"));  // cannot be replaced
    for (const char* command : {"resave", "import-text"}) {
        const std::string in = dir.file(std::string(command) == "resave" ? "in.bnv" : "in.txt");
        CliRun r = Cli({command, "--settings", dir.file("s.ini"), in, dir.file("out.bnv")});
        EXPECT_EQ(r.code, 1) << command;
        EXPECT_EQ(r.err, "brenvale-cli: 古いバックアップファイル「" + dir.file("out.BAK") +
                             "」を削除できないため保存できません。 (--no-backup saves without "
                             "one)\n");
        EXPECT_EQ(test::ReadBytes(dir.file("out.bnv")), "old");
    }
}

TEST(Cli, ABackupThatCannotBeMadeStopsTheSaveUnlessNoBackupIsGiven) {
    test::TempDir dir;
    test::WriteBytes(dir.file("in.bnv"), test::ExampleFileBytes());
    test::WriteBytes(dir.file("in.txt"), "A\n");
    test::WriteBytes(dir.file("s.ini"),
                     "[Save]\r\nBackUp=1\r\nBackUpPass=" + dir.file("none") + "\r\n");
    for (const char* command : {"resave", "import-text"}) {
        SCOPED_TRACE(command);
        const std::string in = dir.file(std::string(command) == "resave" ? "in.bnv" : "in.txt");
        test::WriteBytes(dir.file("out.bnv"), "old");
        CliRun r = Cli({command, "--settings", dir.file("s.ini"), in, dir.file("out.bnv")});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, "brenvale-cli: バックアップファイル「" + dir.file("none/out.BAK") +
                             "」を作成できませんでした（No such file or directory）。 "
                             "(--no-backup saves without one)\n");
        EXPECT_EQ(test::ReadBytes(dir.file("out.bnv")), "old");

        r = Cli({command, "--no-backup", "--settings", dir.file("s.ini"), in, dir.file("out.bnv")});
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_NE(test::ReadBytes(dir.file("out.bnv")), "old");
        EXPECT_FALSE(std::filesystem::exists(dir.file("none")));
    }
}

TEST(Cli, WarnsOfLinesItDoesNotReadAndStopsOnThemWhenStrict) {
    test::TempDir dir;
    test::WriteBytes(dir.file("cut.bnv"), "A\r\n\x1A\r\nB\r\nC\r\n");
    const std::string warning = "brenvale-cli: " + dir.file("cut.bnv") +
                                ": このファイルの一部（2 行）は読み込まれませんでした。"
                                "保存するとその部分は失われます。\n";
    CliRun r = Cli({"stats", dir.file("cut.bnv")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "topics 1\nitems 0\nunchecked 0\ndepth 0\n");
    EXPECT_EQ(r.err, warning);

    r = Cli({"resave", "--strict", dir.file("cut.bnv"), dir.file("out.bnv")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, warning);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.bnv")));
    r = Cli({"stats", "--strict", dir.file("cut.bnv")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");

    test::WriteBytes(dir.file("utf8.bnv"),
                     "\xEF\xBB\xBF"
                     "A\r\n");
    r = Cli({"export", dir.file("utf8.bnv"), dir.file("utf8.txt")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err,
              "brenvale-cli: " + dir.file("utf8.bnv") +
                  ": このファイルは UTF-8 のテキストのようです。文字化けする場合があります。\n");
    EXPECT_EQ(Cli({"export", "--strict", dir.file("utf8.bnv"), dir.file("x.txt")}).code, 1);

    test::WriteBytes(dir.file("utf16.bnv"), std::string("\xFF\xFE"
                                                        "A\0\r\0\n\0",
                                                        8));
    r = Cli({"stats", dir.file("utf16.bnv")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "brenvale-cli: このファイルは UTF-16 のテキストです。\n");

    // A file of LF line ends is read line by line, with nothing to warn of.
    test::WriteBytes(dir.file("lf.bnv"), "A\n\tB\nC\n");
    r = Cli({"stats", "--strict", dir.file("lf.bnv")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "topics 3\nitems 0\nunchecked 0\ndepth 1\n");
}

TEST(Cli, RefusesFilesThatAreNoDocumentsInEveryCommandThatReadsOne) {
    test::TempDir dir;
    const std::string png = dir.file("photo.png");
    test::WriteBytes(png, test::PngBytes(32, 32));
    const std::string refusal = "brenvale-cli: 「" + png + "」は文書ではありません（PNG 画像）。\n";
    const std::vector<std::vector<std::string>> commands = {
        {"resave", png, dir.file("out")},
        {"export", png, dir.file("out")},
        {"export", "--format", "md", png, dir.file("out")},
        {"pdf", png, dir.file("out")},
        {"stats", png},
    };
    for (const std::vector<std::string>& command : commands) {
        CliRun r = Cli(command);
        EXPECT_EQ(r.code, 1) << command[0];
        EXPECT_EQ(r.err, refusal) << command[0];
        EXPECT_EQ(r.out, "") << command[0];
        EXPECT_FALSE(std::filesystem::exists(dir.file("out"))) << command[0];
    }
    EXPECT_EQ(test::ReadBytes(png), test::PngBytes(32, 32));

    // Nor is it read as text to import: every import refuses it and writes nothing.
    const std::string importRefusal =
        "brenvale-cli: 「photo.png」を読み込めません。何も変更して"
        "いません。 インポートできるテキストのファイルではありませ"
        "ん（PNG 画像）。\n";
    for (const std::vector<std::string>& command : std::vector<std::vector<std::string>>{
             {"import-text", png, dir.file("out")},
             {"import", "--format", "txt", "--encoding", "cp932", png, dir.file("out")},
             {"import", "--format", "md", png, dir.file("out")}}) {
        CliRun r = Cli(command);
        EXPECT_EQ(r.code, 1) << command[0];
        EXPECT_EQ(r.err, importRefusal) << command[0];
        EXPECT_FALSE(std::filesystem::exists(dir.file("out"))) << command[0];
    }
}

TEST(Cli, WarnsOfTextOfAnotherFormatAndStopsOnItWhenStrict) {
    test::TempDir dir;
    const std::string md = dir.file("shopping.md");
    test::WriteBytes(md, "# 買い物\n- [ ] 牛乳\n");
    CliRun r = Cli({"resave", md, dir.file("out.bnv")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err,
              "brenvale-cli: " + md +
                  ": 名前からすると Markdown のファイルのようです。文書として読みました（取り込"
                  "むには import を使います）。\n"
                  "brenvale-cli: " +
                  md +
                  ": このファイルは UTF-8 のテキストのようです。文字化けする場合があります。\n");
    r = Cli({"stats", "--strict", md});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(Cli({"export", "--strict", md, dir.file("strict.txt")}).code, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("strict.txt")));

    // CP932 text under a text name is warned of by its name alone; a document saved under
    // such a name is a document.
    test::WriteBytes(dir.file("list.txt"), Sjis("仕事\r\n"));
    r = Cli({"stats", dir.file("list.txt")});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.err.find("名前からすると テキスト のファイルのようです。"), std::string::npos);
    test::WriteBytes(dir.file("saved.txt"), test::ExampleFileBytes());
    EXPECT_EQ(Cli({"stats", "--strict", dir.file("saved.txt")}).err, "");
    // A UTF-8 text without a mark and without such a name is warned of as UTF-8 text.
    test::WriteBytes(dir.file("notes.bnv"), "メモ\r\n");
    EXPECT_EQ(Cli({"stats", dir.file("notes.bnv")}).err,
              "brenvale-cli: " + dir.file("notes.bnv") +
                  ": このファイルは UTF-8 のテキストのようです。文字化けする場合があります。\n");
}

TEST(Cli, NeverWritesAnExportOrAnImportOverItsInput) {
    test::TempDir dir;
    test::WriteBytes(dir.file("a.bnv"), test::ExampleFileBytes());
    std::filesystem::create_hard_link(dir.file("a.bnv"), dir.file("link.txt"));
    for (const std::string& out : {dir.file("a.bnv"), dir.file("link.txt")}) {
        CliRun r = Cli({"export", dir.file("a.bnv"), out});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err,
                  "brenvale-cli: " + out + " is the input file; export does not write over it\n");
        EXPECT_EQ(Cli({"import-text", dir.file("a.bnv"), out}).code, 1);
    }
    EXPECT_EQ(test::ReadBytes(dir.file("a.bnv")), test::ExampleFileBytes());
    // A document saved again over itself is what the editor's Save does.
    EXPECT_EQ(Cli({"resave", dir.file("a.bnv"), dir.file("a.bnv")}).code, 0);
    EXPECT_EQ(test::ReadBytes(dir.file("a.bnv")), test::ExampleFileBytes());
}

TEST(Cli, WritesADashToStandardOutput) {
    test::TempDir dir;
    test::WriteBytes(dir.file("in.bnv"), test::ExampleFileBytes());
    test::WriteBytes(dir.file("in.txt"), "A\n");
    CliRun r = Cli({"export", dir.file("in.bnv"), "-"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out.substr(0, 6), Sjis("仕事\r\n"));
    EXPECT_EQ(Cli({"resave", dir.file("in.bnv"), "-"}).out, test::ExampleFileBytes());
    r = Cli({"import-text", dir.file("in.txt"), "-"});
    EXPECT_NE(r.out.find("\r\nA@00@\r\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists("-"));
}

TEST(Cli, SavesUnderTheLongestNamesAFolderTakes) {
    test::TempDir dir;
    test::WriteBytes(dir.file("in.bnv"), test::ExampleFileBytes());
    for (size_t length : {248u, 255u}) {
        const std::string out = dir.file(std::string(length - 4, 'n') + ".bnv");
        EXPECT_EQ(Cli({"resave", dir.file("in.bnv"), out}).code, 0) << length;
        EXPECT_EQ(Cli({"resave", dir.file("in.bnv"), out}).code, 0) << length;
        EXPECT_EQ(test::ReadBytes(out), test::ExampleFileBytes());
    }
}

// An output stream whose device is full.
class FullBuffer : public std::streambuf {
protected:
    int overflow(int) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST(Cli, OutputThatCannotBeWrittenIsAFailure) {
    test::TempDir dir;
    test::WriteBytes(dir.file("in.bnv"), test::ExampleFileBytes());
    FullBuffer full;
    std::ostream out(&full);
    std::ostringstream err;
    EXPECT_EQ(RunCli({"stats", dir.file("in.bnv")}, out, err), 1);
    EXPECT_EQ(err.str(), "brenvale-cli: cannot write the output\n");

    // The program itself, whose standard output is buffered until it ends.
    const std::string command = std::string(BRENVALE_CLI) + " stats " + dir.file("in.bnv") +
                                " >/dev/full 2>" + dir.file("err.txt");
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(test::ReadBytes(dir.file("err.txt")),
              "brenvale-cli: cannot write the output: No space left on device\n");

    // Every export format: the OPML writer hands its blocks on while it writes.
    for (const char* format : {"md", "opml", "txt"}) {
        std::ostringstream none;
        std::ostringstream failure;
        EXPECT_EQ(
            RunCli({"export", "--format", format, dir.file("in.bnv"), "/dev/full"}, none, failure),
            1)
            << format;
        EXPECT_NE(failure.str().find("No space left on device"), std::string::npos)
            << format << failure.str();
    }
}

TEST(Cli, KeepsIconIndicesAsRead) {
    test::TempDir dir;
    const std::string bytes = "A@12@\r\n\tB@99@\r\nC@07@\r\nD@01@\r\n";
    test::WriteBytes(dir.file("in.bnv"), bytes);
    ASSERT_EQ(Cli({"resave", dir.file("in.bnv"), dir.file("out.bnv")}).code, 0);
    std::string out = test::ReadBytes(dir.file("out.bnv"));
    // Icon 1 is the folder's selected image and stands for icon 0, as in the editor.
    EXPECT_NE(out.find("\r\nA@12@\r\n\tB@99@\r\nC@07@\r\nD@00@\r\n"), std::string::npos) << out;

    test::WriteBytes(dir.file("in.txt"), "A@15@\n\tB@08@\n");
    ASSERT_EQ(Cli({"import-text", dir.file("in.txt"), dir.file("i.bnv")}).code, 0);
    EXPECT_NE(test::ReadBytes(dir.file("i.bnv")).find("\r\nA@15@\r\n\tB@08@\r\n"),
              std::string::npos);
}

// A document file without its geometry lines: what an import gives back.
std::string Body(const std::string& bytes) {
    size_t at = 0;
    for (int line = 0; line < 5; ++line) {
        at = bytes.find("\r\n", at) + 2;
    }
    return bytes.substr(at);
}

TEST(Cli, ExportsAndImportsMarkdownOpmlAndUtf8Text) {
    test::TempDir dir;
    test::WriteBytes(dir.file("in.bnv"), test::ExampleFileBytes());
    const std::string body = Body(test::ExampleFileBytes());
    for (std::string format : {"md", "opml"}) {
        std::string file = dir.file("out." + format);
        ASSERT_EQ(Cli({"export", "--format", format, dir.file("in.bnv"), file}).code, 0) << format;
        // The format comes from the name, or from --format whatever the name.
        ASSERT_EQ(Cli({"import", file, dir.file(format + ".bnv")}).code, 0) << format;
        EXPECT_EQ(Body(test::ReadBytes(dir.file(format + ".bnv"))), body) << format;
        test::WriteBytes(dir.file("noname"), test::ReadBytes(file));
        ASSERT_EQ(Cli({"import", "--format=" + format, dir.file("noname"), dir.file("n.bnv")}).code,
                  0);
        EXPECT_EQ(Body(test::ReadBytes(dir.file("n.bnv"))), body) << format;
    }
    EXPECT_EQ(test::ReadBytes(dir.file("out.md")).substr(0, 9), "# 仕事\n");

    ASSERT_EQ(Cli({"export", "--encoding", "utf-8", dir.file("in.bnv"), dir.file("u.txt")}).code,
              0);
    EXPECT_EQ(test::ReadBytes(dir.file("u.txt")).substr(0, 12), "仕事\n  ■");
    test::WriteBytes(dir.file("lines.txt"), "\xEF\xBB\xBF仕事\n\t来週@03@\n\t\x08□出張\n");
    ASSERT_EQ(
        Cli({"import-text", "--encoding=UTF-8", dir.file("lines.txt"), dir.file("t.bnv")}).code, 0);
    EXPECT_EQ(Body(test::ReadBytes(dir.file("t.bnv"))),
              Sjis("仕事@00@\r\n\t来週@03@\r\n\t\x08□出張\r\n"));
    ASSERT_EQ(Cli({"import", "--encoding", "utf8", dir.file("lines.txt"), dir.file("t2.bnv")}).code,
              0);
    EXPECT_EQ(test::ReadBytes(dir.file("t2.bnv")), test::ReadBytes(dir.file("t.bnv")));
}

TEST(Cli, AnImportOfBytesThatAreNotUtf8FailsAndWritesNothing) {
    test::TempDir dir;
    test::WriteBytes(dir.file("a.md"), "# 猫\n- [ ] ねこ\xFF\n");
    CliRun r = Cli({"import", dir.file("a.md"), dir.file("a.bnv")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err,
              "brenvale-cli: 「a.md」を読み込めません。何も変更していません。 UTF-8 "
              "として読めないバイト: 0xFF (2 行 9 桁)\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.bnv")));
    // Items outside any heading go to a Topic named after the file.
    test::WriteBytes(dir.file("買い物.md"), "- [x] 牛乳\n");
    ASSERT_EQ(Cli({"import", dir.file("買い物.md"), dir.file("b.bnv")}).code, 0);
    EXPECT_EQ(Body(test::ReadBytes(dir.file("b.bnv"))), Sjis("買い物@00@\r\n\x08■牛乳\r\n"));
}

TEST(Cli, RefusesFormatsAndEncodingsWhereTheyDoNotApply) {
    test::TempDir dir;
    test::WriteBytes(dir.file("in.bnv"), test::ExampleFileBytes());
    const std::string in = dir.file("in.bnv");
    const std::string out = dir.file("out");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"export", "--format", "doc", in, out},
             {"export", "--format", "md", "--encoding", "cp932", in, out},
             {"export", "--encoding", "latin1", in, out},
             {"stats", "--format", "md", in},
             {"resave", "--encoding", "utf-8", in, out},
             {"import-text", "--format", "md", in, out},
             {"import", in, out},
             {"export", in, out, "--format"}}) {
        EXPECT_EQ(Cli(args).code, 2) << args[1];
    }
    EXPECT_FALSE(std::filesystem::exists(out));
}

// Without OUT an export goes to standard output, whatever the format.
TEST(Cli, ExportWithoutOutWritesToStandardOutput) {
    test::TempDir dir;
    test::WriteBytes(dir.file("in.bnv"), test::ExampleFileBytes());
    for (std::string format : {"md", "opml", "txt"}) {
        ASSERT_EQ(Cli({"export", "--format", format, dir.file("in.bnv"), dir.file("f")}).code, 0);
        CliRun r = Cli({"export", "--format", format, dir.file("in.bnv")});
        EXPECT_EQ(r.code, 0) << format;
        EXPECT_EQ(r.out, test::ReadBytes(dir.file("f"))) << format;
    }
    EXPECT_NE(Cli({"--help"}).out.find("IN.bnv [OUT]"), std::string::npos);
}

// A deep outline whose document would be too large to open again ends the import early with
// exit 1 and a message naming the depth, and nothing is written.
TEST(Cli, AnImportTooLargeToOpenFailsEarlyAndWritesNothing) {
    test::TempDir dir;
    std::string opml = "<opml version=\"2.0\"><body>\n";
    for (int i = 0; i < 100000; ++i) {
        opml += "<outline text=\"a\">";
    }
    for (int i = 0; i < 100000; ++i) {
        opml += "</outline>";
    }
    test::WriteBytes(dir.file("deep.opml"), opml + "</body></opml>\n");
    auto start = std::chrono::steady_clock::now();
    CliRun r = Cli({"import", dir.file("deep.opml"), dir.file("deep.bnv")});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("「deep.opml」を読み込めません。何も変更していません。 "
                         "文書にすると大きすぎて開けなくなります（9"),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("deep.bnv")));
}

// Runs a shell command line; its exit code, or -1 when it did not end normally.
int Shell(const std::string& command) {
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Q(const std::string& path) {
    return "'" + path + "'";
}

TEST(CliProcess, RefusesPipesDevicesAndFoldersAtOnce) {
    test::TempDir dir;
    const std::string fifo = dir.file("pipe.bnv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    test::WriteBytes(dir.file("in.bnv"), test::ExampleFileBytes());
    const std::string cli = std::string("timeout 20 ") + BRENVALE_CLI;
    const std::string err = dir.file("err.txt");
    for (const std::string& in : {fifo, std::string("/dev/zero")}) {
        EXPECT_EQ(Shell(cli + " stats " + Q(in) + " 2>" + Q(err)), 1) << in;
        EXPECT_EQ(test::ReadBytes(err),
                  "brenvale-cli: 「" + in + "」は通常のファイルではありません。\n");
    }
    EXPECT_EQ(Shell(cli + " stats " + Q(dir.path()) + " 2>" + Q(err)), 1);
    EXPECT_EQ(test::ReadBytes(err), "brenvale-cli: 「" + dir.path() + "」はフォルダです。\n");
    // A settings file that is a pipe is refused too, instead of waiting for a writer.
    EXPECT_EQ(
        Shell(cli + " stats --settings " + Q(fifo) + " " + Q(dir.file("in.bnv")) + " 2>" + Q(err)),
        1);
    EXPECT_EQ(test::ReadBytes(err),
              "brenvale-cli: 「" + fifo + "」は通常のファイルではありません。\n");
}

// AddressSanitizer reserves more address space than the limit below allows at its start.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

TEST(CliProcess, SaysWhenMemoryRunsOut) {
    if (kAddressSanitizer) {
        GTEST_SKIP() << "the address sanitizer needs more address space than the limit";
    }
    test::TempDir dir;
    const std::string big = dir.file("big.bnv");
    // A document's start, so that the NUL bytes after it are read as text.
    test::WriteBytes(big, "\x07Top1\r\nA\r\n");
    std::filesystem::resize_file(big, std::uintmax_t{1} << 30);  // sparse: no disk is used
    const std::string limited = std::string("prlimit --as=268435456 ") + BRENVALE_CLI;
    for (const char* command : {"export", "import-text"}) {
        std::string line = limited + " " + command + " " + Q(big) + " " + Q(dir.file("out.bnv")) +
                           " 2>" + Q(dir.file("err.txt"));
        EXPECT_EQ(Shell(line), 1) << command;
        EXPECT_EQ(test::ReadBytes(dir.file("err.txt")), "brenvale-cli: メモリが足りません\n");
    }
    // stats reads the file in pieces: the same file fits in the same limit.
    EXPECT_EQ(Shell(limited + " stats " + Q(big) + " >" + Q(dir.file("stats.txt"))), 0);
    EXPECT_EQ(test::ReadBytes(dir.file("stats.txt")), "topics 2\nitems 0\nunchecked 0\ndepth 0\n");
}

TEST(CliProcess, ReportsAFileTooBigForTheFileSizeLimitAsAWriteError) {
    test::TempDir dir;
    std::string bytes = test::ExampleFileBytes();
    while (bytes.size() < 20000) {
        bytes += "A@00@\r\n";
    }
    test::WriteBytes(dir.file("in.bnv"), bytes);
    // Room for the message on standard error, not for the output.
    const std::string limited = std::string("prlimit --fsize=4096 ") + BRENVALE_CLI;
    for (const char* command : {"resave", "export"}) {
        const std::string out = dir.file(std::string(command) + ".out");
        EXPECT_EQ(Shell(limited + " " + command + " " + Q(dir.file("in.bnv")) + " " + Q(out) +
                        " 2>" + Q(dir.file("err.txt"))),
                  1)
            << command;
        EXPECT_EQ(test::ReadBytes(dir.file("err.txt")),
                  "brenvale-cli: ファイル " + out + " に書き込めません。 File too large\n")
            << command;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

TEST(CliProcess, WritesToStandardOutputAsAStreamWhateverItIs) {
    test::TempDir dir;
    test::WriteBytes(dir.file("in.bnv"), test::ExampleFileBytes());
    ASSERT_EQ(Cli({"export", dir.file("in.bnv"), dir.file("expected.txt")}).code, 0);
    const std::string expected = test::ReadBytes(dir.file("expected.txt"));
    const std::string cli = BRENVALE_CLI;
    // Through a pipe.
    EXPECT_EQ(Shell(cli + " export " + Q(dir.file("in.bnv")) + " /dev/stdout | cat >" +
                    Q(dir.file("piped.txt"))),
              0);
    EXPECT_EQ(test::ReadBytes(dir.file("piped.txt")), expected);
    // Into a file that standard output already writes to: the export goes after what is there.
    EXPECT_EQ(Shell("(echo start; " + cli + " export " + Q(dir.file("in.bnv")) +
                    " /dev/stdout; echo end) >" + Q(dir.file("log.txt"))),
              0);
    EXPECT_EQ(test::ReadBytes(dir.file("log.txt")), "start\n" + expected + "end\n");
    EXPECT_EQ(Shell(cli + " export " + Q(dir.file("in.bnv")) + " - >" + Q(dir.file("dash.txt"))),
              0);
    EXPECT_EQ(test::ReadBytes(dir.file("dash.txt")), expected);
}

// git shows a readable diff of two versions of a document through the export, as the manual
// page and the help describe it.
TEST(CliProcess, ServesGitAsTheTextConversionOfADiff) {
    if (Shell("command -v git >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "git is not installed";
    }
    test::TempDir dir;
    const std::string git = "git -C " + Q(dir.path()) +
                            " -c user.name=t -c user.email=t@example.invalid "
                            "-c diff.brenvale.textconv='" +
                            std::string(BRENVALE_CLI) + " export --format md' ";
    ASSERT_EQ(Shell(git + "init -q"), 0);
    test::WriteBytes(dir.file(".gitattributes"), "*.bnv diff=brenvale\n");
    test::WriteBytes(dir.file("plan.bnv"), Sjis("仕事@00@\r\n\x08□報告書\r\n"));
    ASSERT_EQ(Shell(git + "add . && " + git + "commit -qm one"), 0);
    test::WriteBytes(dir.file("plan.bnv"), Sjis("仕事@00@\r\n\x08■報告書\r\n"));
    std::string diff = test::RunCommand(git + "diff plan.bnv");
    EXPECT_NE(diff.find("\n-- [ ] 報告書\n+- [x] 報告書\n"), std::string::npos) << diff;
}

// A PDF of a Japanese document, read back by poppler's tools: the captions and texts are its
// text, and the font they are drawn in is embedded. In a process of its own, since the PDF
// needs a Qt application, which the tool makes on the offscreen platform.
TEST(CliProcess, WritesAPdfWithTheTextsAndTheFontEmbedded) {
    if (Shell("command -v pdftotext >/dev/null && command -v pdffonts >/dev/null") != 0) {
        GTEST_SKIP() << "poppler-utils is not installed (scripts/test.sh installs it)";
    }
    test::TempDir dir;
    std::string doc = test::ExampleFileBytes();
    doc += Sjis("長い項目@02@\r\n");
    for (int i = 0; i < 120; ++i) {
        doc += "\x08" + Sjis(i % 3 ? "□" : "■") + Sjis("項目") + std::to_string(i) + "\r\n";
    }
    test::WriteBytes(dir.file("in.bnv"), doc);
    const std::string cli = std::string("env -u DISPLAY -u QT_QPA_PLATFORM ") + BRENVALE_CLI;
    ASSERT_EQ(Shell(cli + " pdf " + Q(dir.file("in.bnv")) + " " + Q(dir.file("out.pdf")) + " 2>" +
                    Q(dir.file("err.txt"))),
              0);
    EXPECT_EQ(test::ReadBytes(dir.file("err.txt")), "");
    ASSERT_EQ(
        Shell("pdftotext -enc UTF-8 " + Q(dir.file("out.pdf")) + " " + Q(dir.file("out.txt"))), 0);
    std::string text = test::ReadBytes(dir.file("out.txt"));
    ASSERT_EQ(Shell("pdfinfo " + Q(dir.file("out.pdf")) + " >" + Q(dir.file("info.txt"))), 0);
    std::string info = test::ReadBytes(dir.file("info.txt"));
    size_t pages = info.find("Pages:");
    ASSERT_NE(pages, std::string::npos);
    int count = std::atoi(info.c_str() + pages + 6);
    EXPECT_GE(count, 2);
    // Every page's footer: the document's name and "page / pages" (spaces as the tool reads
    // them).
    std::string last = std::to_string(count) + "/" + std::to_string(count);
    for (const std::string& expected :
         {std::string("仕事"), std::string("報告書"), std::string("会議の準備"),
          std::string("メモ"), std::string("仕事 > 来週"), std::string("出張"),
          std::string("ごみ箱"), std::string("項目0"), std::string("項目119"),
          std::string("in.bnv"), last}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    }
    ASSERT_EQ(Shell("pdffonts " + Q(dir.file("out.pdf")) + " >" + Q(dir.file("fonts.txt"))), 0);
    std::string fonts = test::ReadBytes(dir.file("fonts.txt"));
    EXPECT_NE(fonts.find("IPAPGothic"), std::string::npos) << fonts;
    EXPECT_NE(fonts.find(" yes "), std::string::npos) << fonts;
}

// The tool finds its PDF program beside itself or in the libexec folder of its own prefix,
// and says so when there is none; the tool itself loads no Qt library at all.
TEST(CliProcess, RunsThePdfProgramFromBesideItOrItsPrefix) {
    test::TempDir dir;
    test::WriteBytes(dir.file("in.bnv"), test::ExampleFileBytes());
    namespace fs = std::filesystem;
    fs::create_directories(dir.file("prefix/bin"));
    fs::create_directories(dir.file("prefix/libexec/brenvale"));
    const std::string cli = dir.file("prefix/bin/brenvale-cli");
    fs::copy_file(BRENVALE_CLI, cli);
    const std::string in = Q(dir.file("in.bnv"));
    const std::string err = dir.file("err.txt");
    if (!fs::exists("/usr/libexec/brenvale/brenvale-pdf")) {
        EXPECT_EQ(Shell(Q(cli) + " pdf " + in + " " + Q(dir.file("none.pdf")) + " 2>" + Q(err)), 1);
        EXPECT_NE(test::ReadBytes(err).find("「brenvale-pdf」が見つかりません"), std::string::npos)
            << test::ReadBytes(err);
        EXPECT_FALSE(fs::exists(dir.file("none.pdf")));
    }
    fs::copy_file(BRENVALE_PDF, dir.file("prefix/libexec/brenvale/brenvale-pdf"));
    ASSERT_EQ(Shell(Q(cli) + " pdf " + in + " " + Q(dir.file("out.pdf")) + " 2>" + Q(err)), 0)
        << test::ReadBytes(err);
    EXPECT_TRUE(test::ReadBytes(dir.file("out.pdf")).starts_with("%PDF-"));
    // Its warnings, its usage errors and its exit codes are the tool's own.
    test::WriteBytes(dir.file("late.bnv"), test::ExampleFileBytes() + "\x1A\r\nlost\r\n");
    EXPECT_EQ(Shell(Q(cli) + " pdf --strict " + Q(dir.file("late.bnv")) + " " +
                    Q(dir.file("strict.pdf")) + " 2>" + Q(err)),
              1);
    EXPECT_TRUE(test::ReadBytes(err).starts_with("brenvale-cli: ")) << test::ReadBytes(err);
    EXPECT_FALSE(fs::exists(dir.file("strict.pdf")));
    EXPECT_EQ(Shell(Q(cli) + " pdf " + in + " 2>/dev/null"), 2);
    // Into a pipe, as it is made.
    EXPECT_EQ(Shell(Q(cli) + " pdf " + in + " - | head -c 5 >" + Q(dir.file("head.txt"))), 0);
    EXPECT_EQ(test::ReadBytes(dir.file("head.txt")), "%PDF-");

    // Every library it loads, also those its libraries load: none of them is Qt.
    ASSERT_EQ(Shell("ldd " + Q(BRENVALE_CLI) + " >" + Q(dir.file("needed.txt"))), 0);
    const std::string needed = test::ReadBytes(dir.file("needed.txt"));
    EXPECT_NE(needed.find("libc.so"), std::string::npos) << needed;
    EXPECT_EQ(needed.find("libQt"), std::string::npos) << needed;
}

// Memory that runs out while a PDF is made ends the tool with its message, never with a
// crash, and leaves no PDF behind; with enough memory the PDF is made, however long its one
// Item is (its text is laid out a piece at a time).
TEST(CliProcess, APdfWithoutEnoughMemoryFailsCleanly) {
    if (kAddressSanitizer) {
        GTEST_SKIP() << "the address sanitizer needs more address space than the limits";
    }
    if (Shell("command -v pdfinfo >/dev/null") != 0) {
        GTEST_SKIP() << "poppler-utils is not installed (scripts/test.sh installs it)";
    }
    test::TempDir dir;
    std::string doc = Sjis("長い項目") + "\r\n\x08" + Sjis("□");
    for (int i = 0; i < 200000; ++i) {
        doc += "word ";
    }
    doc += "\r\n";
    test::WriteBytes(dir.file("long.bnv"), doc);
    const std::string out = dir.file("out.pdf");
    const std::string err = dir.file("err.txt");
    for (int megabytes = 70; megabytes <= 130; megabytes += 15) {
        std::filesystem::remove(out);
        int code =
            Shell("prlimit --as=" + std::to_string(megabytes * 1000000) + " " + BRENVALE_CLI +
                  " pdf " + Q(dir.file("long.bnv")) + " " + Q(out) + " 2>" + Q(err));
        const std::string said = test::ReadBytes(err);
        if (code == 0) {
            EXPECT_TRUE(test::ReadBytes(out).starts_with("%PDF-")) << megabytes;
            continue;
        }
        // The loader itself may not fit (127); anything else is the tool's own failure.
        if (code == 127) {
            continue;
        }
        EXPECT_EQ(code, 1) << megabytes << " MB: " << said;
        EXPECT_TRUE(said.starts_with("brenvale-cli: ")) << megabytes << " MB: " << said;
        EXPECT_FALSE(std::filesystem::exists(out)) << megabytes;
    }
    EXPECT_EQ(Shell("prlimit --as=400000000 " + std::string(BRENVALE_CLI) + " pdf " +
                    Q(dir.file("long.bnv")) + " " + Q(out) + " 2>" + Q(err)),
              0)
        << test::ReadBytes(err);
    ASSERT_EQ(Shell("pdfinfo " + Q(out) + " >" + Q(dir.file("info.txt"))), 0);
    const std::string info = test::ReadBytes(dir.file("info.txt"));
    EXPECT_GT(std::atoi(info.c_str() + info.find("Pages:") + 6), 50) << info;
}

}  // namespace
}  // namespace brenvale

// agenda and add as a user runs them: real brenvale-cli processes on real files.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "document/example_document.h"
#include "support/foreign_files.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::Sjis;

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

std::string Q(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

CliRun Cli(const test::TempDir& dir, const std::vector<std::string>& args) {
    std::string command = std::string("timeout 60 ") + BRENVALE_CLI;
    for (const std::string& arg : args) {
        command += " " + Q(arg);
    }
    command += " >" + Q(dir.file("out.txt")) + " 2>" + Q(dir.file("err.txt"));
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::ReadBytes(dir.file("out.txt")),
            test::ReadBytes(dir.file("err.txt"))};
}

// A document in CP932 from UTF-8 lines.
void WriteDocument(const std::string& path, const std::string& utf8) {
    test::WriteBytes(path, Sjis(utf8));
}

TEST(AgendaCommand, PrintsOpenItemsByDueThenFileThenDocumentOrder) {
    test::TempDir dir;
    const std::string a = dir.file("a.bnv");
    const std::string b = dir.file("b.bnv");
    WriteDocument(a,
                  "\x07Height376\r\n仕事@00@\r\n\x08□報告書 due:2026-12-25 #仕事\r\n"
                  "\x08■済んだ due:2026-12-20\r\n\x08□-メモ due:2026-12-20\r\n"
                  "\t来週@03@\r\n\t\x08□出張 due:2026-12-20T09:00\r\n"
                  "\t\x08□遠い先 due:2027-03-01\r\n\t\x08□古い due:2026-11-30\r\n"
                  "家@00@\r\n\x08□電球\tを買う due:2026-12-24 #ＴＡＧ\r\n");
    WriteDocument(b, "買い物\r\n\x08□牛乳 due:2026-12-25 #tag\r\n\x08□パン due:2026-12-20\r\n");
    CliRun r = Cli(dir, {"agenda", "--today", "2026-12-24", a, b});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "2026-11-30\t" + a + "\t仕事 > 来週\t古い due:2026-11-30\n" + "2026-12-20\t" +
                         a + "\t仕事 > 来週\t出張 due:2026-12-20T09:00\n" + "2026-12-20\t" + b +
                         "\t買い物\tパン due:2026-12-20\n" + "2026-12-24\t" + a +
                         "\t家\t電球 を買う due:2026-12-24 #ＴＡＧ\n" + "2026-12-25\t" + a +
                         "\t仕事\t報告書 due:2026-12-25 #仕事\n" + "2026-12-25\t" + b +
                         "\t買い物\t牛乳 due:2026-12-25 #tag\n");
    // --days 0 keeps today and what is overdue; a tag matches across width and case.
    r = Cli(dir, {"agenda", "--today=2026-12-24", "--days", "0", "--tag", "tag", a, b});
    EXPECT_EQ(r.out, "2026-12-24\t" + a + "\t家\t電球 を買う due:2026-12-24 #ＴＡＧ\n");
    r = Cli(dir, {"agenda", "--today", "2026-12-24", "--days", "100", "--tag", "＃仕事", "--tag",
                  "仕事", a});
    EXPECT_EQ(r.out, "2026-12-25\t" + a + "\t仕事\t報告書 due:2026-12-25 #仕事\n");
}

TEST(AgendaCommand, UnreadableFilesGiveTwoAndTheRestIsPrinted) {
    test::TempDir dir;
    const std::string a = dir.file("a.bnv");
    WriteDocument(a, "A\r\n\x08□x due:2026-12-24\r\n");
    CliRun r = Cli(dir, {"agenda", "--today", "2026-12-24", dir.file("none.bnv"), a, dir.path()});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out, "2026-12-24\t" + a + "\tA\tx due:2026-12-24\n");
    EXPECT_NE(r.err.find("none.bnv"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("」はフォルダです。"), std::string::npos) << r.err;
    // A file that is no document is named with what it is, as every command names it.
    const std::string png = dir.file("photo.png");
    test::WriteBytes(png, test::PngBytes(4, 4));
    r = Cli(dir, {"agenda", "--today", "2026-12-24", a, png});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "brenvale-cli: 「" + png + "」は文書ではありません（PNG 画像）。\n");
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"agenda"},
                                               {"agenda", "--today", "2026-02-30", a},
                                               {"agenda", "--days", "-1", a},
                                               {"agenda", "--colour", a},
                                               {"add", a, "A"}}) {
        r = Cli(dir, bad);
        EXPECT_EQ(r.code, 2) << bad.back();
        EXPECT_NE(r.err.find("Usage: brenvale-cli agenda"), std::string::npos) << r.err;
    }
    r = Cli(dir, {"--help"});
    EXPECT_NE(r.out.find("  agenda [--today YYYY-MM-DD]"), std::string::npos);
    EXPECT_NE(r.out.find("  add [--today YYYY-MM-DD] FILE"), std::string::npos);
}

TEST(AddCommand, AddsWithDateWordsAndKeepsTheRestOfTheFile) {
    test::TempDir dir;
    const std::string file = dir.file("todo.bnv");
    // LF line ends and no geometry: a resave would rewrite both.
    const std::string before = Sjis("仕事\n\x08□ 報告書 \n\t来週\n");
    test::WriteBytes(file, before);
    CliRun r = Cli(dir, {"add", "--today", "2026-12-24", file, "仕事", " 見積り due:明日 #客先 "});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(test::ReadBytes(file),
              Sjis("仕事\n\x08□ 報告書 \n\x08□見積り due:2026-12-25 #客先\n\t来週\n"));
    // New Topics, a "/" in a caption, and a date that cannot be read, said but kept.
    r = Cli(dir, {"add", "--today", "2026-12-24", file, "家/A//B", "掃除 due:24/12"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err,
              "brenvale-cli: 「due:24/12」: 月は 1 から 12 までです（日付は月/日の順に書きます）\n"
              "brenvale-cli: トピック「家」を作りました\n"
              "brenvale-cli: トピック「A/B」を作りました\n");
    EXPECT_EQ(test::ReadBytes(file),
              Sjis("仕事\n\x08□ 報告書 \n\x08□見積り due:2026-12-25 #客先\n\t来週\n"
                   "家@00@\n\tA/B@00@\n\t\x08□掃除 due:24/12\n"));
    // The settings' backup, and SpRemv off keeps the spaces typed.
    test::WriteBytes(dir.file("s.ini"), "[Save]\r\nBackUp=1\r\nSpRemv=0\r\n");
    std::string second = test::ReadBytes(file);
    r = Cli(dir, {"add", "--settings", dir.file("s.ini"), file, "家", " x "});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(test::ReadBytes(dir.file("todo.BAK")), second);
    EXPECT_EQ(test::ReadBytes(file),
              Sjis("仕事\n\x08□ 報告書 \n\x08□見積り due:2026-12-25 #客先\n\t来週\n"
                   "家@00@\n\x08□ x \n\tA/B@00@\n\t\x08□掃除 due:24/12\n"));
}

TEST(AddCommand, FailuresLeaveTheFileAsItWas) {
    test::TempDir dir;
    const std::string file = dir.file("todo.bnv");
    test::WriteBytes(file, test::ExampleFileBytes());
    CliRun r = Cli(dir, {"add", dir.file("none.bnv"), "A", "x"});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.bnv")));
    const std::string png = dir.file("photo.png");
    test::WriteBytes(png, test::PngBytes(4, 4));
    r = Cli(dir, {"add", png, "A", "x"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "brenvale-cli: 「" + png + "」は文書ではありません（PNG 画像）。\n");
    EXPECT_EQ(test::ReadBytes(png), test::PngBytes(4, 4));
    r = Cli(dir, {"add", file, "A/", "x"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("空の名前"), std::string::npos) << r.err;
    r = Cli(dir, {"add", file, "A", "   "});
    EXPECT_EQ(r.code, 2);
    r = Cli(dir, {"add", file, "A", "a\nb"});
    EXPECT_EQ(r.code, 1);
    test::WriteBytes(dir.file("s.ini"),
                     "[Save]\r\nBackUp=1\r\nBackUpPass=" + dir.file("no") + "\r\n");
    r = Cli(dir, {"add", "--settings", dir.file("s.ini"), file, "A", "x"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("--no-backup"), std::string::npos) << r.err;
    EXPECT_EQ(test::ReadBytes(file), test::ExampleFileBytes());
    r = Cli(dir, {"add", "--settings", dir.file("s.ini"), "--no-backup", file, "A", "x"});
    EXPECT_EQ(r.code, 0) << r.err;
}

TEST(AddCommand, KeepsACharacterCp932LacksAsAReference) {
    test::TempDir dir;
    const std::string file = dir.file("todo.bnv");
    test::WriteBytes(file, Sjis("A@00@\n"));
    CliRun r = Cli(dir, {"add", file, "A", "😀 x"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(test::ReadBytes(file), Sjis("A@00@\n\x08□&#x1F600; x\n"));
}

TEST(TokensInExchangeFormats, SurviveMarkdownAndOpmlRoundTrips) {
    test::TempDir dir;
    const std::string bytes = Sjis(
        "\x07Height376\r\n\x07Width573\r\n\x07Top-1\r\n\x07Left-1\r\n\x07TreeWidth129\r\n"
        "朝のチェック due:2026-12-24 rec:1d@00@\r\n"
        "\x08□薬 due:2026-12-24T08:00 rec:+1d #健康\r\n"
        "\x08■報告書 ＃仕事 done:2026-12-20\r\n"
        "\t#タグ付きの子 #a　#b@00@\r\n"
        "\t\x08□C# と &#32; と http://x.y/#top due:12/24\r\n");
    test::WriteBytes(dir.file("in.bnv"), bytes);
    for (const char* format : {"md", "opml"}) {
        std::string exported = dir.file(std::string("out.") + format);
        ASSERT_EQ(Cli(dir, {"export", "--format", format, dir.file("in.bnv"), exported}).code, 0);
        CliRun back = Cli(dir, {"import", "--format", format, exported, dir.file("back.bnv")});
        ASSERT_EQ(back.code, 0) << back.err;
        EXPECT_EQ(test::ReadBytes(dir.file("back.bnv")), bytes) << format;
    }
}

}  // namespace
}  // namespace brenvale

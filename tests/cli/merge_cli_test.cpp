// brenvale-cli merge and diff, and both as git's merge driver and readable diff in a real
// repository.
#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "cli/cli.h"
#include "cli_run.h"
#include "merge/outline.h"

namespace brenvale {
namespace {

using test::Canonical;
using test::OutlineBytes;
using test::OutlineOf;
using test::ReadBytes;
using test::WriteBytes;

using test::Cli;
using test::CliRun;

std::string OutlineOfFile(const std::string& path) {
    return OutlineOf(*ReadDocument(path, test::KeepEveryIcon()).document);
}

size_t Lines(const std::string& text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

const char* kBase = "A\n  [ ] 1\n  [ ] 2\nB\n";

TEST(MergeCli, MergesIntoOursOrOutAndTellsConflictsByExitCode) {
    test::TempDir dir;
    // git's temporary files have no extension.
    WriteBytes(dir.file("base"), OutlineBytes(kBase));
    WriteBytes(dir.file("ours"), OutlineBytes("A\n  [x] 1\n  [ ] 2\nB\n"));
    WriteBytes(dir.file("theirs"), OutlineBytes("A\n  [ ] 1\n  [ ] 2\n  [ ] 3\nB\n"));
    CliRun r = Cli({"merge", dir.file("base"), dir.file("ours"), dir.file("theirs")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(OutlineOfFile(dir.file("ours")), Canonical("A\n  [x] 1\n  [ ] 2\n  [ ] 3\nB\n"));

    // The same Item changed two ways: written all the same, one line per conflict, exit 1.
    WriteBytes(dir.file("ours"), OutlineBytes("A\n  [ ] 1o\n  [ ] 2o\nB\n"));
    WriteBytes(dir.file("theirs"), OutlineBytes("A\n  [ ] 1t\n  [ ] 2t\nB\n"));
    r = Cli({"merge", dir.file("base"), dir.file("ours"), dir.file("theirs"), "-o",
             dir.file("out.bnv")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(Lines(r.err), 2u) << r.err;
    EXPECT_NE(r.err.find("A [2]: 1t #競合"), std::string::npos) << r.err;
    EXPECT_EQ(OutlineOfFile(dir.file("out.bnv")),
              Canonical("A\n  [ ] 1o\n  [ ] 1t #競合\n  [ ] 2o\n  [ ] 2t #競合\nB\n"));
    // -o left ours as it was.
    EXPECT_EQ(OutlineOfFile(dir.file("ours")), Canonical("A\n  [ ] 1o\n  [ ] 2o\nB\n"));

    // Standard output.
    r = Cli({"merge", dir.file("base"), dir.file("ours"), dir.file("base"), "-o", "-"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find(test::Sjis("1o")), std::string::npos);
}

TEST(MergeCli, AnErrorIsTwoAndWritesNothing) {
    test::TempDir dir;
    WriteBytes(dir.file("base"), OutlineBytes(kBase));
    const std::string ours = OutlineBytes("A\n  [x] 1\n");
    WriteBytes(dir.file("ours"), ours);
    CliRun r = Cli({"merge", dir.file("base"), dir.file("ours"), dir.file("missing")});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(ReadBytes(dir.file("ours")), ours);
    EXPECT_EQ(Cli({"merge", dir.file("base")}).code, 2);
    EXPECT_EQ(Cli({"diff", dir.file("base"), dir.file("missing")}).code, 2);
    EXPECT_EQ(Cli({"diff", dir.file("base"), dir.file("ours"), "-o", "x"}).code, 2);

    // --strict: a file with lines the editor does not read stops the merge before writing.
    WriteBytes(dir.file("theirs"), OutlineBytes(kBase) + "\x1A" + "rest\r\n");
    r = Cli({"merge", dir.file("base"), dir.file("ours"), dir.file("theirs"), "--strict"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(ReadBytes(dir.file("ours")), ours);

    // An output that cannot be written.
    r = Cli({"merge", dir.file("base"), dir.file("ours"), dir.file("base"), "-o",
             dir.file("no/such/folder/out.bnv")});
    EXPECT_EQ(r.code, 2);
}

TEST(MergeCli, WithoutAncestorUnitesAndMarksWhatDiffers) {
    test::TempDir dir;
    WriteBytes(dir.file("todo.bnv"), OutlineBytes("A\n  [ ] 1\n  [ ] 2\n"));
    WriteBytes(dir.file("todo (conflicted copy).bnv"), OutlineBytes("A\n  [ ] 1\n  [x] 2\n"));
    CliRun r = Cli({"merge", dir.file("todo.bnv"), dir.file("todo (conflicted copy).bnv")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(OutlineOfFile(dir.file("todo.bnv")),
              Canonical("A\n  [ ] 1\n  [ ] 2\n  [x] 2 #競合\n"));
}

TEST(DiffCli, OneLinePerChangeAndExitCodes) {
    test::TempDir dir;
    WriteBytes(dir.file("old"), OutlineBytes(kBase));
    WriteBytes(dir.file("new"), OutlineBytes("A\n  [x] 1\n  [ ] 2改\nC\n"));
    CliRun r = Cli({"diff", dir.file("old"), dir.file("old")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "");
    r = Cli({"diff", dir.file("old"), dir.file("new")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out,
              "item ticked: A [1]: 1\n"
              "item edited: A [2]: 2 -> 2改\n"
              "topic renamed: B -> C\n");
}

// git, for real: a repository in a temporary folder with brenvale-cli as its merge driver.
class GitRepository {
public:
    GitRepository() {
        // Nothing of the user's or the system's git configuration takes part.
        env_ = "cd '" + dir_.path() + "' && HOME='" + dir_.path() +
               "' GIT_CONFIG_NOSYSTEM=1 GIT_AUTHOR_NAME=t GIT_AUTHOR_EMAIL=t@example.org "
               "GIT_COMMITTER_NAME=t GIT_COMMITTER_EMAIL=t@example.org ";
    }

    // Runs a shell command in the repository; returns its exit code and output.
    int run(const std::string& command, std::string* output = nullptr) {
        std::string line = env_ + "sh -c '" + command + "' 2>&1";
        FILE* pipe = ::popen(line.c_str(), "r");
        std::string text;
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            text.append(buffer, n);
        }
        int status = ::pclose(pipe);
        if (output) {
            *output = text;
        }
        log_ += "$ " + command + "\n" + text;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string file(const std::string& name) const { return dir_.file(name); }
    const std::string& log() const { return log_; }

private:
    test::TempDir dir_;
    std::string env_;
    std::string log_;
};

TEST(GitMerge, DriverMergesCleanlyAndKeepsConflictsBothWays) {
    if (std::system("git --version >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "git is not installed";
    }
    GitRepository git;
    std::string cli = BRENVALE_CLI;
    ASSERT_EQ(git.run("git init -q -b main ."), 0) << git.log();
    // The set-up the help gives, with the export to standard output as "-".
    ASSERT_EQ(git.run("git config merge.brenvale.driver \"" + cli + " merge %O %A %B\""), 0);
    ASSERT_EQ(git.run("git config diff.brenvale.textconv \"f() { " + cli +
                      " export --format md \\\"\\$1\\\" -; }; f\""),
              0)
        << git.log();
    WriteBytes(git.file(".gitattributes"), "*.bnv merge=brenvale diff=brenvale\n");
    WriteBytes(git.file("todo.bnv"), OutlineBytes("A\n  [ ] 1\n  [ ] 2\n  [ ] 3\nB\n  [ ] b\n"));
    ASSERT_EQ(git.run("git add . && git commit -q -m base"), 0) << git.log();

    // Two branches that change different things.
    ASSERT_EQ(git.run("git checkout -q -b phone"), 0);
    WriteBytes(git.file("todo.bnv"),
               OutlineBytes("A\n  [x] 1\n  [ ] 2\n  [ ] 3\nB\n  [ ] b\n  [ ] c\n"));
    ASSERT_EQ(git.run("git commit -q -am phone"), 0) << git.log();
    std::string diff;
    git.run("git diff HEAD~1 -- todo.bnv", &diff);
    EXPECT_NE(diff.find("+- [x] 1"), std::string::npos) << diff;
    EXPECT_NE(diff.find("+- [ ] c"), std::string::npos) << diff;

    ASSERT_EQ(git.run("git checkout -q main"), 0);
    WriteBytes(git.file("todo.bnv"), OutlineBytes("A\n  [ ] 1\n  [ ] 2\n  [x] 3\nB\n  [ ] b\nC\n"));
    ASSERT_EQ(git.run("git commit -q -am desk"), 0);
    ASSERT_EQ(git.run("git merge -q --no-edit phone"), 0) << git.log();
    EXPECT_EQ(OutlineOfFile(git.file("todo.bnv")),
              Canonical("A\n  [x] 1\n  [ ] 2\n  [x] 3\nB\n  [ ] b\n  [ ] c\nC\n"));

    // Both change Item 2 their own way: git stops with the file merged, both kept.
    ASSERT_EQ(git.run("git checkout -q -b phone2"), 0);
    WriteBytes(git.file("todo.bnv"),
               OutlineBytes("A\n  [x] 1\n  [ ] 2 phone\n  [x] 3\nB\n  [ ] b\n  [ ] c\nC\n"));
    ASSERT_EQ(git.run("git commit -q -am phone2"), 0);
    ASSERT_EQ(git.run("git checkout -q main"), 0);
    WriteBytes(git.file("todo.bnv"),
               OutlineBytes("A\n  [x] 1\n  [ ] 2 desk\n  [x] 3\nB\n  [ ] b\n  [ ] c\nC\n"));
    ASSERT_EQ(git.run("git commit -q -am desk2"), 0);
    std::string output;
    EXPECT_NE(git.run("git merge --no-edit phone2", &output), 0) << output;
    EXPECT_NE(output.find("conflict: item changed on both sides: A [3]: 2 phone #"),
              std::string::npos)
        << output;
    EXPECT_EQ(
        OutlineOfFile(git.file("todo.bnv")),
        Canonical(
            "A\n  [x] 1\n  [ ] 2 desk\n  [ ] 2 phone #競合\n  [x] 3\nB\n  [ ] b\n  [ ] c\nC\n"));
    git.run("git status --porcelain", &output);
    EXPECT_NE(output.find("UU todo.bnv"), std::string::npos) << output;
}

}  // namespace
}  // namespace brenvale

// Every character comes back through the exchange formats, run as brenvale-cli itself: texts
// beyond CP932 are kept in documents as character references, written out as the characters
// they stand for, and read back in as references.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "support/random_document.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::Sjis;

struct CliRun {
    int code = -1;
    std::string err;
};

CliRun Cli(const test::TempDir& dir, const std::vector<std::string>& args) {
    std::string command = BRENVALE_CLI;
    for (const std::string& a : args) {
        command += " '" + a + "'";
    }
    command += " 2>'" + dir.file("err.txt") + "'";
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::ReadBytes(dir.file("err.txt"))};
}

// A document's Topics and Items: its bytes after the five geometry lines.
std::string Body(const std::string& bytes) {
    size_t at = 0;
    for (int line = 0; line < 5; ++line) {
        at = bytes.find("\r\n", at) + 2;
    }
    return bytes.substr(at);
}

// An English release checklist, a task with an emoji and HTML entities, as people's Markdown
// files hold them.
const char* const kChecklistMarkdown =
    "# Release checklist \xE2\x80\x93 v2.3\n"
    "\n"
    "- [ ] Bump the version \xE2\x80\xA2\xE2\x80\xA2\xE2\x80\xA2 everywhere\n"
    "- [x] Tag the release 🚀\n"
    "- [ ] Tell&nbsp;the team &copy; caf\xC3\xA9 \xC2\xBB done \xE2\x9C\x93\n"
    "- [ ] 👨‍👩‍👧 🇯🇵 e\xCC\x81\n";

// The same list as the document keeps it.
const std::string kChecklistBody =
    "Release checklist &#x2013; v2.3@00@\r\n" + Sjis("\b□") +
    "Bump the version &#x2022;&#x2022;&#x2022; everywhere\r\n" + Sjis("\b■") +
    "Tag the release &#x1F680;\r\n" + Sjis("\b□") +
    "Tell&#xA0;the team &#xA9; caf&#xE9; &#xBB; done &#x2713;\r\n" + Sjis("\b□") +
    "&#x1F468;&#x200D;&#x1F469;&#x200D;&#x1F467; &#x1F1EF;&#x1F1F5; e&#x301;\r\n";

TEST(CliReferences, AChecklistOfDashesBulletsEmojiAndEntitiesIsReadWhole) {
    test::TempDir dir;
    test::WriteBytes(dir.file("list.md"), kChecklistMarkdown);
    CliRun run = Cli(dir, {"import", dir.file("list.md"), dir.file("list.bnv")});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(Body(test::ReadBytes(dir.file("list.bnv"))), kChecklistBody);

    // Out again: the characters themselves, and back in to the same document.
    ASSERT_EQ(Cli(dir, {"export", "--format", "md", dir.file("list.bnv"), dir.file("out.md")}).code,
              0);
    std::string md = test::ReadBytes(dir.file("out.md"));
    for (const char* shown : {"\xE2\x80\x93", "\xE2\x80\xA2\xE2\x80\xA2\xE2\x80\xA2", "🚀",
                              "\xC2\xA9", "👨‍👩‍👧", "🇯🇵", "e\xCC\x81"}) {
        EXPECT_NE(md.find(shown), std::string::npos) << shown << "\n" << md;
    }
    EXPECT_EQ(md.find("&#x"), std::string::npos) << md;
    ASSERT_EQ(Cli(dir, {"import", dir.file("out.md"), dir.file("back.bnv")}).code, 0);
    EXPECT_EQ(Body(test::ReadBytes(dir.file("back.bnv"))), kChecklistBody);
}

TEST(CliReferences, AnOpmlOutlineOfTheSameIsReadWhole) {
    test::TempDir dir;
    test::WriteBytes(
        dir.file("list.opml"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<opml version=\"2.0\"><head><title>x</title></head><body>\n"
        "<outline text=\"Release checklist &#x2013; v2.3\">\n"
        "<outline text=\"Bump the version \xE2\x80\xA2\xE2\x80\xA2\xE2\x80\xA2 "
        "everywhere\" _status=\"unchecked\"/>\n"
        "<outline text=\"Tag the release 🚀\" _status=\"checked\"/>\n"
        "<outline text=\"Tell&#160;the team \xC2\xA9 caf\xC3\xA9 \xC2\xBB done "
        "\xE2\x9C\x93\" _status=\"unchecked\"/>\n"
        "<outline text=\"👨‍👩‍👧 🇯🇵 e\xCC\x81\" _status=\"unchecked\"/>\n"
        "</outline></body></opml>\n");
    CliRun run = Cli(dir, {"import", dir.file("list.opml"), dir.file("list.bnv")});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(Body(test::ReadBytes(dir.file("list.bnv"))), kChecklistBody);
}

// Random documents with references go out and come back byte for byte.
TEST(CliReferences, DocumentsWithReferencesComeBackThroughMarkdownAndOpml) {
    test::TempDir dir;
    for (unsigned seed = 1; seed <= 6; ++seed) {
        Document doc;
        test::RandomDocument(seed, true).build(doc, 40, 9);
        // Saved once as the program saves (spaces at the ends of Items trimmed).
        test::WriteBytes(dir.file("random.bnv"), test::Bytes(doc));
        ASSERT_EQ(Cli(dir, {"resave", dir.file("random.bnv"), dir.file("in.bnv")}).code, 0);
        const std::string bytes = test::ReadBytes(dir.file("in.bnv"));
        for (std::string format : {"md", "opml"}) {
            const std::string out = dir.file("out." + format);
            ASSERT_EQ(Cli(dir, {"export", "--format", format, dir.file("in.bnv"), out}).code, 0)
                << format;
            CliRun run = Cli(dir, {"import", out, dir.file("back.bnv")});
            ASSERT_EQ(run.code, 0) << format << " " << seed << ": " << run.err;
            ASSERT_EQ(Body(test::ReadBytes(dir.file("back.bnv"))), Body(bytes))
                << format << " " << seed;
        }
    }
}

TEST(CliReferences, Utf8TextKeepsEveryCharacterAndCp932TextKeepsTheReferences) {
    test::TempDir dir;
    const std::string lines =
        "Trip ✈\n\tPacking \xE2\x80\xA2 list\n\t\b\xE2\x96\xA1passport 🛂 caf\xC3\xA9\n"
        "\t\b\xE2\x96\xA0\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD e\xCC\x81 \xC2\xA0 &#x41;\n";
    const std::string body = "Trip &#x2708;@00@\r\n\tPacking &#x2022; list@00@\r\n\t" +
                             Sjis("\b□") + "passport &#x1F6C2; caf&#xE9;\r\n\t" + Sjis("\b■") +
                             "&#x1F44D;&#x1F3FD; e&#x301; &#xA0; &#x41;\r\n";
    test::WriteBytes(dir.file("lines.txt"), lines);
    for (std::vector<std::string> command :
         {std::vector<std::string>{"import-text", "--encoding", "utf-8"},
          std::vector<std::string>{"import", "--format", "txt", "--encoding", "utf-8"}}) {
        command.push_back(dir.file("lines.txt"));
        command.push_back(dir.file("t.bnv"));
        CliRun run = Cli(dir, command);
        ASSERT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(Body(test::ReadBytes(dir.file("t.bnv"))), body) << command[0];
    }

    // The UTF-8 export writes the characters, the CP932 one the document's bytes.
    ASSERT_EQ(
        Cli(dir, {"export", "--encoding", "utf-8", dir.file("t.bnv"), dir.file("u.txt")}).code, 0);
    EXPECT_EQ(test::ReadBytes(dir.file("u.txt")),
              "Trip ✈\n\tPacking \xE2\x80\xA2 list\n\t  \xE2\x96\xA1passport 🛂 caf\xC3\xA9\n"
              "\t  \xE2\x96\xA0\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD e\xCC\x81 \xC2\xA0 &#x41;\n");
    ASSERT_EQ(Cli(dir, {"export", dir.file("t.bnv"), dir.file("c.txt")}).code, 0);
    EXPECT_EQ(test::ReadBytes(dir.file("c.txt")),
              "Trip &#x2708;\r\n\tPacking &#x2022; list\r\n\t  " + Sjis("□") +
                  "passport &#x1F6C2; caf&#xE9;\r\n\t  " + Sjis("■") +
                  "&#x1F44D;&#x1F3FD; e&#x301; &#xA0; &#x41;\r\n");
    // And a document with references is saved again as it was.
    ASSERT_EQ(Cli(dir, {"resave", dir.file("t.bnv"), dir.file("r.bnv")}).code, 0);
    EXPECT_EQ(test::ReadBytes(dir.file("r.bnv")), test::ReadBytes(dir.file("t.bnv")));
}

}  // namespace
}  // namespace brenvale

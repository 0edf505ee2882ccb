#include "schedule/quick_add.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "common/error.h"
#include "document/document_reader.h"
#include "document/example_document.h"
#include "support/random_document.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::Sjis;

std::vector<std::string> Path(std::initializer_list<const char*> captions) {
    std::vector<std::string> path;
    for (const char* c : captions) {
        path.push_back(Sjis(c));
    }
    return path;
}

// The bytes of file with `inserted` put in at `at`.
std::string Inserted(const std::string& file, size_t at, const std::string& inserted) {
    return file.substr(0, at) + inserted + file.substr(at);
}

TEST(QuickAdd, SplitsTopicPaths) {
    EXPECT_EQ(SplitTopicPath("a/b"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitTopicPath("a//b"), (std::vector<std::string>{"a/b"}));
    EXPECT_EQ(SplitTopicPath("a///b"), (std::vector<std::string>{"a/", "b"}));
    EXPECT_EQ(SplitTopicPath(Sjis("仕事/来週")), Path({"仕事", "来週"}));
    EXPECT_EQ(SplitTopicPath("a/ /b").size(), 3u);  // a space is a caption
    EXPECT_EQ(SplitTopicPath("a//"), (std::vector<std::string>{"a/"}));
    for (const char* bad : {"", "/a", "a/", "a//b/", "a///"}) {
        EXPECT_THROW(SplitTopicPath(bad), Error) << bad;
    }
}

TEST(QuickAdd, AddsAfterTheListAndKeepsEveryOtherByte) {
    const std::string file = test::ExampleFileBytes();
    const std::string item = "\x08" + Sjis("□新しい項目") + "\r\n";
    // 仕事's list ends with "-メモ", before its child 来週.
    size_t afterMemo = file.find(Sjis("□-メモ\r\n")) + Sjis("□-メモ\r\n").size();
    EXPECT_EQ(AddItemToBytes(file, Path({"仕事"}), Sjis("新しい項目")).bytes,
              Inserted(file, afterMemo, item));
    size_t afterTrip = file.find(Sjis("出張\r\n")) + Sjis("出張\r\n").size();
    EXPECT_EQ(AddItemToBytes(file, Path({"仕事", "来週"}), Sjis("新しい項目")).bytes,
              Inserted(file, afterTrip, "\t" + item));
    // A new child goes after the subtree's last line, at its children's level.
    QuickAdd made = AddItemToBytes(file, Path({"仕事", "再来週", "月曜"}), Sjis("新しい項目"));
    EXPECT_EQ(made.bytes,
              Inserted(file, afterTrip, "\t" + Sjis("再来週@00@\r\n\t\t月曜@00@\r\n\t\t") + item));
    EXPECT_EQ(made.made, Path({"再来週", "月曜"}));
    // A new top-level Topic goes at the end; ごみ箱 has no Items yet.
    EXPECT_EQ(AddItemToBytes(file, Path({"買い物"}), Sjis("新しい項目")).bytes,
              file + Sjis("買い物@00@\r\n") + item);
    EXPECT_EQ(AddItemToBytes(file, Path({"ごみ箱"}), Sjis("新しい項目")).bytes, file + item);
    // Captions are compared exactly; a "/" inside one was written "//".
    EXPECT_EQ(AddItemToBytes("a/b\r\n", SplitTopicPath("a//b"), "x").bytes,
              "a/b\r\n\x08" + Sjis("□") + "x\r\n");
}

TEST(QuickAdd, KeepsWhatASaveWouldChange) {
    // LF line ends, no geometry, spaces around a text, a last line without an end, a 0x1A and
    // lines after it, an unknown geometry key: a save would change all of them.
    const std::string lf = "A\n\x08" + Sjis("□") + "  x  \n\tB\n\x07Zoom3\nC";
    EXPECT_EQ(AddItemToBytes(lf, Path({"A"}), "y").bytes,
              "A\n\x08" + Sjis("□") + "  x  \n\x08" + Sjis("□") + "y\n\tB\n\x07Zoom3\nC");
    EXPECT_EQ(AddItemToBytes(lf, Path({"C"}), "y").bytes, lf + "\n\x08" + Sjis("□") + "y");
    EXPECT_EQ(
        AddItemToBytes(lf, Path({"A", "B", "D"}), "y").bytes,
        "A\n\x08" + Sjis("□") + "  x  \n\tB\n\t\tD@00@\n\t\t\x08" + Sjis("□") + "y\n\x07Zoom3\nC");
    const std::string cr =
        "A\r\x08x\rB\x1A"
        "tail\r\n";
    EXPECT_EQ(AddItemToBytes(cr, Path({"B"}), "y").bytes, "A\r\x08x\rB\r\x08" + Sjis("□") +
                                                              "y\x1A"
                                                              "tail\r\n");
    // Lines end at LF in a file without CR, also when the only LF comes after a 0x1A.
    EXPECT_EQ(AddItemToBytes("A\x1A"
                             "a\nb",
                             Path({"A"}), "y")
                  .bytes,
              "A\n\x08" + Sjis("□") +
                  "y\x1A"
                  "a\nb");
    EXPECT_EQ(AddItemToBytes("", Path({"A"}), "y").bytes, "A@00@\r\n\x08" + Sjis("□") + "y\r\n");
    EXPECT_EQ(AddItemToBytes("\x07Height5\r\n", Path({"A"}), "y").bytes,
              "\x07Height5\r\nA@00@\r\n\x08" + Sjis("□") + "y\r\n");
    // Levels several TABs apart: one TAB fewer than C climbs one level, to B's siblings.
    const std::string deep = "A\r\n\t\t\tB\r\n\t\t\t\t\tC\r\nD\r\n";
    EXPECT_EQ(
        AddItemToBytes(deep, Path({"A", "E"}), "y").bytes,
        "A\r\n\t\t\tB\r\n\t\t\t\t\tC\r\n\t\t\t\tE@00@\r\n\t\t\t\t\x08" + Sjis("□") + "y\r\nD\r\n");
}

TEST(QuickAdd, RefusesWhatNoLineCanHold) {
    const std::string file = test::ExampleFileBytes();
    EXPECT_THROW(AddItemToBytes(file, Path({"仕事"}), "a\nb"), Error);
    EXPECT_THROW(AddItemToBytes(file, Path({"仕事"}), "a\x1A"), Error);
    EXPECT_THROW(AddItemToBytes(file, {"a\rb"}, "x"), Error);
    EXPECT_THROW(AddItemToBytes(file,
                                {"\x07"
                                 "a"},
                                "x"),
                 Error);
    EXPECT_THROW(AddItemToBytes(file, {}, "x"), Error);
}

TEST(QuickAdd, RandomFilesKeepTheirBytesAndReadWithTheItemInPlace) {
    std::mt19937 rng(11);
    for (unsigned seed = 1; seed <= 80; ++seed) {
        test::RandomDocument random(seed);
        Document doc;
        random.build(doc, 12, 5);
        std::string file = SerializeDocument(doc, DocumentGeometry{});
        // Other line ends and stray TABs at line starts.
        if (seed % 3 == 1) {
            std::erase(file, '\n');
        }
        for (int n = 0; n < 3; ++n) {
            size_t at = file.find('\r', std::uniform_int_distribution<size_t>(0, file.size())(rng));
            if (at != std::string::npos && at + 2 < file.size()) {
                file.insert(at + (file[at + 1] == '\n' ? 2 : 1), "\t\t");
            }
        }
        ReadResult read = ParseDocument(file, {});
        // A path along existing Topics, maybe going on with new ones.
        std::vector<std::string> path;
        Topic* t = read.document->empty()
                       ? nullptr
                       : read.document->topLevel(std::uniform_int_distribution<size_t>(
                             0, read.document->topLevelCount() - 1)(rng));
        auto usable = [](std::string_view c) {
            return !c.empty() && std::none_of(c.begin(), c.end(), [](char ch) {
                return static_cast<unsigned char>(ch) < 0x20 && ch != '\t';
            });
        };
        while (t && usable(t->caption) && rng() % 3) {
            path.push_back(t->caption.str());
            t = t->hasChildren() ? t->child(rng() % t->childCount()) : nullptr;
        }
        for (int extra = static_cast<int>(rng() % 3); extra > 0 || path.empty(); --extra) {
            path.push_back("new" + std::to_string(extra));
        }
        QuickAdd add;
        try {
            add = AddItemToBytes(file, path, Sjis("追加 due:2026-12-24"));
        } catch (const Error& e) {
            ADD_FAILURE() << seed << ": " << e.what();
            continue;
        }
        // Every byte of the file is there, with one run of new bytes.
        size_t prefix = 0;
        while (prefix < file.size() && file[prefix] == add.bytes[prefix]) {
            ++prefix;
        }
        size_t suffix = 0;
        while (suffix < file.size() - prefix &&
               file[file.size() - 1 - suffix] == add.bytes[add.bytes.size() - 1 - suffix]) {
            ++suffix;
        }
        EXPECT_EQ(prefix + suffix, file.size()) << seed;
        ReadResult again = ParseDocument(add.bytes, {});
        EXPECT_EQ(again.document->topicCount(), read.document->topicCount() + add.made.size());
    }
}

TEST(QuickAdd, FileSavesWithTheBackupAsked) {
    test::TempDir dir;
    const std::string file = dir.file("todo.bnv");
    test::WriteBytes(file, test::ExampleFileBytes());
    ::chmod(file.c_str(), 0640);
    WriteOptions options;
    options.backup = true;
    EXPECT_EQ(AddItemToFile(file, Path({"仕事"}), "x", options), std::vector<std::string>{});
    EXPECT_EQ(test::ReadBytes(dir.file("todo.BAK")), test::ExampleFileBytes());
    std::string added = test::ReadBytes(file);
    EXPECT_NE(added.find("\x08" + Sjis("□") + "x\r\n"), std::string::npos);
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
              std::filesystem::perms(0640));
    // A backup that cannot be made leaves the document untouched.
    options.backupFolder = dir.file("missing-folder");
    EXPECT_THROW(AddItemToFile(file, Path({"仕事"}), "y", options), BackupError);
    EXPECT_EQ(test::ReadBytes(file), added);
    EXPECT_THROW(AddItemToFile(dir.file("none.bnv"), Path({"A"}), "y", {}), Error);
}

}  // namespace
}  // namespace brenvale

#include "document/document_reader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "common/error.h"
#include "document/document_writer.h"
#include "document/example_document.h"
#include "document/text_store.h"
#include "support/error_of.h"

namespace brenvale {
namespace {

using test::Sjis;

ReadResult Parse(std::string_view bytes, bool applyGeometry = true) {
    ReadOptions options;
    options.applyGeometry = applyGeometry;
    return ParseDocument(bytes, options);
}

// "caption/level" of every Topic in tree order.
std::vector<std::string> Shape(const Document& doc) {
    std::vector<std::string> out;
    ForEachTopic(doc, [&](const Topic& t, int level) {
        out.push_back(t.caption + "/" + std::to_string(level));
    });
    return out;
}

TEST(ReadDocument, ReadsTheExampleWithItsGeometry) {
    ReadResult r = Parse(test::ExampleFileBytes());
    const Document& doc = *r.document;
    EXPECT_EQ(Shape(doc),
              (std::vector<std::string>{Sjis("仕事/0"), Sjis("来週/1"), Sjis("ごみ箱/0")}));
    Topic* work = doc.first();
    ASSERT_EQ(work->items.size(), 4u);
    EXPECT_TRUE(work->items[0].checked());
    EXPECT_EQ(work->items[3].text(), Sjis("-メモ"));
    EXPECT_EQ(work->child(0)->icon, 3);
    EXPECT_EQ(doc.lastTopLevel()->icon, 4);
    EXPECT_EQ(r.geometry.height, 376);
    EXPECT_EQ(r.geometry.width, 573);
    EXPECT_EQ(r.geometry.top, 200);
    EXPECT_EQ(r.geometry.left, 300);
    EXPECT_EQ(r.geometry.treeWidth, 129);
    EXPECT_TRUE(r.geometry.sawGeometryLine);
}

TEST(ReadDocument, EmptyFilesAndGeometryOnlyFilesHaveNoTopics) {
    EXPECT_TRUE(Parse("").document->empty());
    ReadResult r = Parse("\x07Height10\r\n");
    EXPECT_TRUE(r.document->empty());
    EXPECT_EQ(r.geometry.height, 10);
    EXPECT_FALSE(r.geometry.width);
}

TEST(ReadDocument, SkipsGeometryWithEverySOffAndBadOrUnknownValues) {
    ReadResult off = Parse("\x07Height10\r\nA@00@\r\n", false);
    EXPECT_FALSE(off.geometry.height);
    EXPECT_FALSE(off.geometry.sawGeometryLine);
    EXPECT_EQ(off.document->topicCount(), 1u);

    // A value that is not a number no longer ends the read: the line is skipped.
    ReadResult bad = Parse(
        "\x07Height1x\r\n\x07Width-20\r\n\x07"
        "Depth5\r\nA\r\nB\r\n");
    EXPECT_FALSE(bad.geometry.height);
    EXPECT_EQ(bad.geometry.width, -20);
    EXPECT_TRUE(bad.geometry.sawGeometryLine);
    EXPECT_EQ(bad.document->topicCount(), 2u);
}

TEST(ReadDocument, AttachesItemsToTheLastTopicWhateverTheirTabs) {
    ReadResult r = Parse("\x08" + Sjis("□lost\r\n") + "A\r\n\t\t\x08" + Sjis("□x\r\n") + "\x08" +
                         Sjis("□y\r\n"));
    ASSERT_EQ(r.document->topicCount(), 1u);
    ASSERT_EQ(r.document->first()->items.size(), 2u);
    EXPECT_EQ(r.document->first()->items[1].text(), "y");
}

TEST(ReadDocument, FollowsTheDepthRules) {
    // A first line with TABs is top-level; a jump of two levels gives one.
    EXPECT_EQ(Shape(*Parse("\t\tA\r\n").document), (std::vector<std::string>{"A/0"}));
    EXPECT_EQ(Shape(*Parse("A\r\n\t\tB\r\n\t\tC\r\n\tD\r\nE\r\n").document),
              (std::vector<std::string>{"A/0", "B/1", "C/1", "D/0", "E/0"}));
    EXPECT_EQ(Shape(*Parse("A\r\n\tB\r\n\t\tC\r\n\tD\r\n").document),
              (std::vector<std::string>{"A/0", "B/1", "C/2", "D/1"}));
}

TEST(ReadDocument, ALineThatClimbsAboveTheTopBecomesTopLevel) {
    // B is read one level deep but its line says four; the next line climbs three levels.
    ReadResult r = Parse("A\r\n\t\t\t\tB\r\n\tC\r\n\t\t\t\t\t\t\tD\r\n\tE\r\n");
    EXPECT_EQ(Shape(*r.document), (std::vector<std::string>{"A/0", "B/1", "C/0", "D/1", "E/0"}));
}

TEST(ReadDocument, KeepsBytesAndFollowsLineEnds) {
    // Empty lines are Topics with an empty caption; in a file with a CR anywhere an LF alone
    // is an ordinary byte.
    EXPECT_EQ(Shape(*Parse("\r\nA\r\n").document), (std::vector<std::string>{"/0", "A/0"}));
    ReadResult lf = Parse("A\nB\nC\r\n");
    ASSERT_EQ(lf.document->topicCount(), 1u);
    EXPECT_EQ(lf.document->first()->caption, "A\nB\nC");
    EXPECT_EQ(Shape(*Parse("A\rB").document), (std::vector<std::string>{"A/0", "B/0"}));
    // 0x1A ends the file.
    EXPECT_EQ(Shape(*Parse("A\r\nB\x1A\r\nC\r\n").document),
              (std::vector<std::string>{"A/0", "B/0"}));
    ReadResult suffix = Parse("a@12@@00@\r\nplain\r\n");
    EXPECT_EQ(suffix.document->first()->caption, "a@12@");
    EXPECT_EQ(suffix.document->lastTopLevel()->caption, "plain");
    EXPECT_EQ(suffix.document->lastTopLevel()->icon, 0);
}

// Every Topic in tree order with its level, caption, icon and stored Items.
std::vector<std::string> Contents(const Document& doc) {
    std::vector<std::string> out;
    ForEachTopic(doc, [&](const Topic& t, int level) {
        std::string line = std::to_string(level) + "/" + t.caption + "/" + std::to_string(t.icon);
        for (size_t i = 0; i < t.items.size(); ++i) {
            line += "|" + std::string(t.items[i].stored());
        }
        out.push_back(line);
    });
    return out;
}

TEST(ReadDocument, ReadsAFileInPiecesAsItWouldWhole) {
    // A file read piece by piece must not care where the pieces end: a CR ends every 4 KiB,
    // its LF starting the next, and lines of every length cross the other boundaries.
    std::string bytes = "\x07Height40\r\n\x07Width-5\r\n";
    unsigned seed = 1;
    for (size_t boundary = 4096; boundary <= (1 << 20); boundary += 4096) {
        while (bytes.size() + 300 < boundary) {
            seed = seed * 1103515245 + 12345;
            std::string tabs((seed >> 8) % 4, '\t');
            std::string text((seed >> 12) % 200, static_cast<char>('a' + seed % 26));
            bytes += seed % 3 == 0 ? tabs + text + "@0" + std::to_string(seed % 8) + "@\r\n"
                                   : tabs + "\x08" + Sjis("□") + text + "\r\n";
        }
        bytes += std::string(boundary - 1 - bytes.size(), 'p') + "\r\n";
    }
    bytes +=
        "last\x1A"
        "after the end\r\n";
    test::TempDir dir;
    test::WriteBytes(dir.file("big.bnv"), bytes);
    ReadResult whole = Parse(bytes);
    ReadResult pieces = ReadDocument(dir.file("big.bnv"), {});
    EXPECT_EQ(Contents(*pieces.document), Contents(*whole.document));
    EXPECT_GT(pieces.document->topicCount(), 1000u);
    EXPECT_EQ(pieces.document->lastTopLevel()->caption, "last");
    EXPECT_EQ(pieces.geometry.height, 40);
    EXPECT_EQ(pieces.geometry.width, -5);
    EXPECT_EQ(pieces.unreadLines, 1u);
    EXPECT_EQ(whole.unreadLines, 1u);
}

TEST(ReadDocument, RefusesAFileTooLargeForADocumentBeforeReadingIt) {
    test::TempDir dir;
    std::string path = dir.file("huge.bnv");
    test::WriteBytes(path, "A\r\n");
    std::filesystem::resize_file(path, TextStore::kMaxBytes);  // sparse: no disk is used
    try {
        ReadDocument(path, {});
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
    }
}

TEST(ReadDocument, ReportsAFileThatCannotBeRead) {
    test::TempDir dir;
    EXPECT_THROW(ReadDocument(dir.file("missing.bnv"), {}), Error);
    EXPECT_EQ(test::ErrorOf([&] { ReadDocument(dir.path(), {}); }),
              "「" + dir.path() + "」はフォルダです。");
}

TEST(ReadDocument, RefusesPipesAndDevicesWithoutWaiting) {
    ::alarm(20);  // a read that waits ends the test program
    test::TempDir dir;
    const std::string fifo = dir.file("pipe.bnv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero"), std::string("/dev/urandom")}) {
        EXPECT_EQ(test::ErrorOf([&] { ReadDocument(path, {}); }),
                  "「" + path + "」は通常のファイルではありません。");
    }
    ::alarm(0);
}

TEST(ReadDocument, EndsLinesAtLineFeedsInAFileWithoutAnyCr) {
    ReadResult lf = Parse("A\n\tB\n\t\x08" + Sjis("□") + "x\n\nC");
    EXPECT_EQ(Contents(*lf.document),
              (std::vector<std::string>{"0/A/0", "1/B/0|" + Sjis("□") + "x", "0//0", "0/C/0"}));
    // An LF right after a line feed is an empty line, not part of a line end.
    EXPECT_EQ(Shape(*Parse("A\n\nB\n").document), (std::vector<std::string>{"A/0", "/0", "B/0"}));
    // A lone CR anywhere, even after a 0x1A, keeps LF an ordinary byte.
    EXPECT_EQ(Parse("A\nB\x1A\r").document->topicCount(), 1u);
    EXPECT_EQ(Parse("A\nB\x1A\r").unreadLines, 0u);

    // Read from a file in pieces, the decision takes every byte, not just the first piece.
    test::TempDir dir;
    std::string lines;
    for (int i = 0; lines.size() < (600 << 10); ++i) {
        lines += "topic " + std::to_string(i) + "\n\t\x08" + Sjis("■") + "item\n";
    }
    test::WriteBytes(dir.file("lf.bnv"), lines);
    ReadResult pieces = ReadDocument(dir.file("lf.bnv"), {});
    EXPECT_GT(pieces.document->topicCount(), 10000u);
    EXPECT_EQ(Contents(*pieces.document), Contents(*Parse(lines).document));
    test::WriteBytes(dir.file("late-cr.bnv"), lines + "\r\n");
    EXPECT_EQ(ReadDocument(dir.file("late-cr.bnv"), {}).document->topicCount(), 1u);
}

TEST(ReadDocument, CountsTheLinesItDoesNotRead) {
    struct Case {
        std::string bytes;
        size_t unread;
    };
    const std::string item = "\x08" + Sjis("□") + "x";
    const Case cases[] = {
        {"A\r\n\x1A", 0},              // an end-of-file mark
        {"A\r\n\x1A\x1A\x1A\x1A", 0},  // padding made of them
        {"A\r\n\x1A\r\n", 0},          // the end of the cut line alone
        {"A\r\nB\x1A\r\nC\r\n", 1},    // the line after the cut
        {"A\x1A"
         "bc\r\nD\r\n\r\nE",
         4},                     // the cut line's rest, D, an empty line, E
        {"A\n\x1A\nB\nC\n", 2},  // the same in a file of LF line ends
        {item + "\r\n" + item + "\r\nA\r\n" + item + "\r\n", 2},  // Items before any Topic
        {item + "\r\nA\x1A\r\nB", 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Parse(c.bytes).unreadLines, c.unread) << c.bytes;
    }
    ReadResult read = Parse("A\r\nB\x1A\r\nC\r\nD");
    EXPECT_EQ(
        ReadWarnings(read),
        std::vector<std::string>{"このファイルの一部（2 "
                                 "行）は読み込まれませんでした。保存するとその部分は失われます。"});
    EXPECT_TRUE(ReadWarnings(Parse("A\r\n\x1A")).empty());

    // A long rest after an early 0x1A, read from a file piece by piece, counts the same.
    std::string tail;
    for (int i = 0; i < 200000; ++i) {
        tail += "line\r\n";
    }
    test::TempDir dir;
    test::WriteBytes(dir.file("cut.bnv"), "A\r\n\x1A" + tail);
    EXPECT_EQ(ReadDocument(dir.file("cut.bnv"), {}).unreadLines, 200000u);
    EXPECT_EQ(Parse("A\r\n\x1A" + tail).unreadLines, 200000u);
}

TEST(ReadDocument, RefusesUtf16AndWarnsOfAUtf8Mark) {
    const std::string utf16 = "このファイルは UTF-16 のテキストです。";
    EXPECT_EQ(test::ErrorOf([] {
                  Parse(
                      std::string("\xFF\xFE"
                                  "A\0\r\0\n\0",
                                  8));
              }),
              utf16);
    EXPECT_EQ(test::ErrorOf([] { Parse(std::string("\xFE\xFF\0A", 4)); }), utf16);
    // Without a byte order mark: a NUL at every other byte.
    const std::string ascii = "\x07Height376\r\nA@00@\r\n";
    std::string le;
    std::string be;
    for (char c : ascii) {
        le += std::string{c, '\0'};
        be += std::string{'\0', c};
    }
    EXPECT_EQ(test::ErrorOf([&] { Parse(le); }), utf16);
    EXPECT_EQ(test::ErrorOf([&] { Parse(be); }), utf16);
    test::TempDir dir;
    test::WriteBytes(dir.file("utf16.bnv"), le);
    EXPECT_EQ(test::ErrorOf([&] { ReadDocument(dir.file("utf16.bnv"), {}); }), utf16);

    // NUL bytes alone are no sign of UTF-16: a file of nothing else is no text at all, and a
    // document saved with them in its captions reads as ever.
    EXPECT_EQ(test::ErrorOf([] { Parse(std::string(8, '\0')); }),
              "このファイルは文書ではありません（バイナリファイル）。");
    Document doc;
    AddTopic(doc, nullptr, std::string("\0a\0b\0c\0d\0e\0f\0g\0h", 16), 0, kBuiltInTopicImages);
    for (int i = 0; i < 5; ++i) {
        AddTopic(doc, nullptr, std::string("\0x", 2), 0, kBuiltInTopicImages);
    }
    EXPECT_EQ(Parse(SerializeDocument(doc, {}, true)).document->topicCount(), 6u);

    ReadResult utf8 = Parse(
        "\xEF\xBB\xBF"
        "A\r\n");
    EXPECT_TRUE(utf8.utf8);
    EXPECT_EQ(utf8.document->first()->caption,
              "\xEF\xBB\xBF"
              "A");  // nothing is dropped
    EXPECT_EQ(ReadWarnings(utf8),
              std::vector<std::string>{
                  "このファイルは UTF-8 のテキストのようです。文字化けする場合があります。"});
}

TEST(ReadDocument, KeepsOnlyCaptionsAndItemsUnlessAskedForTheFileImage) {
    // Several MB, so that the block comes from the system and gives pages back: indents,
    // icon suffixes, geometry lines, empty and one-byte forms, Items before the first Topic,
    // then a 0x1A. Once with CR LF and once with LF alone (read whole before it is parsed).
    for (std::string end : {"\r\n", "\n"}) {
        std::string bytes = "\x08" + Sjis("□") + "orphan" + end + "\x07Height77" + end;
        for (int i = 0; bytes.size() < (6 << 20); ++i) {
            std::string tabs(static_cast<size_t>(i % 4), '\t');
            bytes += tabs + "topic " + std::to_string(i) + "@0" + std::to_string(i % 8) + "@" + end;
            bytes += tabs + "\t\x08" + Sjis(i % 2 ? "■" : "□") + "item " + std::to_string(i) + end;
            bytes += tabs + "\t\x08" + end + tabs + "\x08x" + end;
            if (i % 1000 == 0) {
                bytes += "\x07Width" + std::to_string(i) + end;
            }
        }
        bytes += "last" + end + "\t\x08" + Sjis("■") + "end\x1A" + "after" + end + "more" + end;
        test::TempDir dir;
        test::WriteBytes(dir.file("doc.bnv"), bytes);
        ReadOptions image;
        image.keepFileImage = true;
        ReadResult kept = ReadDocument(dir.file("doc.bnv"), image);
        ReadResult packed = ReadDocument(dir.file("doc.bnv"), {});
        EXPECT_EQ(Contents(*packed.document), Contents(*kept.document));
        EXPECT_EQ(packed.unreadLines, kept.unreadLines);
        EXPECT_EQ(packed.unreadLines, 3u);
        EXPECT_EQ(packed.geometry.height, 77);
        EXPECT_EQ(packed.geometry.width, kept.geometry.width);
        EXPECT_EQ(packed.document->lastTopLevel()->items[0].stored(), Sjis("■") + "end");
        // The indents, suffixes, line ends and geometry lines take no room.
        EXPECT_GE(kept.document->texts().bytesHeld(), bytes.size());
        EXPECT_LT(packed.document->texts().bytesHeld(), bytes.size() * 4 / 5);
        // Changed afterwards, both save the same bytes.
        for (ReadResult* read : {&kept, &packed}) {
            Topic* t = read->document->first()->nextSibling();
            t->items[0].setText("changed");
            t->items.insert(1, Sjis("■"), "new");
            t->setCaption("renamed");
        }
        EXPECT_EQ(SerializeDocument(*packed.document, {}, false),
                  SerializeDocument(*kept.document, {}, false));
    }
}

}  // namespace
}  // namespace brenvale

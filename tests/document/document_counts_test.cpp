#include "document/document_counts.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <random>

#include "common/error.h"
#include "document/document_reader.h"
#include "document/example_document.h"
#include "document/item.h"
#include "document/text_store.h"
#include "support/walked_counts.h"

namespace brenvale {

void PrintTo(const DocumentCounts& c, std::ostream* out) {
    *out << "{topics " << c.topics << ", items " << c.items << ", unchecked " << c.unchecked
         << ", depth " << c.depth << ", unread " << c.unreadLines << ", utf8 " << c.utf8 << "}";
}

namespace {

using test::Sjis;

// The counts fn gives, or the text of the Error it throws.
template <typename Fn>
std::string Outcome(Fn&& fn) {
    try {
        return testing::PrintToString(fn());
    } catch (const Error& e) {
        return std::string("error: ") + e.what();
    }
}

std::vector<ListKindOptions> EveryListKind() {
    std::vector<ListKindOptions> all;
    for (bool separators : {true, false}) {
        for (bool noBox : {true, false}) {
            ListKindOptions list;
            list.separatorItems = separators;
            list.noBoxItems = noBox;
            all.push_back(list);
        }
    }
    return all;
}

// The counts of bytes in pieces of several sizes agree with reading them whole; returns them
// with the default list settings.
DocumentCounts ExpectAgrees(const std::string& bytes) {
    for (const ListKindOptions& list : EveryListKind()) {
        std::string read =
            Outcome([&] { return test::WalkedCounts(ParseDocument(bytes, {}), list); });
        for (size_t piece : {size_t{1}, size_t{2}, size_t{3}, size_t{5}, size_t{64}, kCountPiece}) {
            EXPECT_EQ(Outcome([&] { return CountDocumentBytes(bytes, list, piece); }), read)
                << "piece " << piece << ", separators " << list.separatorItems << ", no-box "
                << list.noBoxItems << ", bytes " << testing::PrintToString(bytes);
        }
    }
    try {
        return CountDocumentBytes(bytes, {});
    } catch (const Error&) {
        return {};
    }
}

DocumentCounts Counts(size_t topics, size_t items, size_t unchecked, size_t depth,
                      size_t unread = 0) {
    return {topics, items, unchecked, depth, unread, false};
}

const std::string kOpen = "\x08" + Sjis("□");
const std::string kDone = "\x08" + Sjis("■");

TEST(DocumentCounts, CountsTopicsItemsAndLevelsAsTheReaderPlacesThem) {
    EXPECT_EQ(ExpectAgrees(test::ExampleFileBytes()), Counts(3, 5, 2, 1));
    EXPECT_EQ(ExpectAgrees(""), Counts(0, 0, 0, 0));
    // Geometry lines are no Topics; the geometry byte after a TAB is a caption's.
    EXPECT_EQ(ExpectAgrees("\x07Height1\r\n\x07x\r\nA\r\n\t\x07"
                           "B\r\n"),
              Counts(2, 0, 0, 1));
    // Items go to the last Topic whatever their TABs.
    EXPECT_EQ(ExpectAgrees("A\r\n\t\tB\r\n" + kOpen + "x\r\n\t\t\t" + kDone + "y\r\n"),
              Counts(2, 2, 1, 1));
    // The first Topic is on the top level; a line climbs at most to the top level; a line
    // with more TABs goes one level down whatever their number.
    EXPECT_EQ(ExpectAgrees("\t\tA\r\n\t\t\tB\r\n\t\t\t\t\t\t\tC\r\n\tD\r\n\t\t\tE\r\n"),
              Counts(5, 0, 0, 2));
    EXPECT_EQ(ExpectAgrees("A\r\n\tB\r\n\t\tC\r\n\t\t\tD\r\n\tE\r\n\t\tF\r\nG\r\n\tH\r\n"),
              Counts(8, 0, 0, 3));
    // Empty lines and lines of TABs alone are Topics; an empty last line is none, a last
    // line without its end is one.
    EXPECT_EQ(ExpectAgrees("A\r\n\r\n\t\t\r\n\r\n"), Counts(4, 0, 0, 1));
    EXPECT_EQ(ExpectAgrees("A\r\nB"), Counts(2, 0, 0, 0));
    EXPECT_EQ(ExpectAgrees("A\r\n" + kOpen + "x"), Counts(1, 1, 1, 0));
    // In a file that starts as a document, NUL bytes are bytes like any other; in any other
    // file they say it is no text at all.
    EXPECT_EQ(ExpectAgrees(std::string("\x07Top1\r\n\0\r\n\t\0\r\n\x08\0\0\0\r\n", 20)),
              Counts(2, 1, 1, 1));
    EXPECT_EQ(Outcome([] { return CountDocumentBytes(std::string("\0\r\n", 3), {}); }),
              "error: このファイルは文書ではありません（バイナリファイル）。");
}

TEST(DocumentCounts, EndsLinesAsTheReaderDoes) {
    // An LF after a CR belongs to the line end; another LF starts the next line's bytes, so
    // that line is a Topic even when an Item byte follows.
    EXPECT_EQ(ExpectAgrees("A\r\n\n" + kOpen + "x\r\n"), Counts(2, 0, 0, 0));
    EXPECT_EQ(ExpectAgrees("A\r\r\n\r" + kOpen + "x\r"), Counts(3, 1, 1, 0));
    EXPECT_EQ(ExpectAgrees("\nA\r\n"), Counts(1, 0, 0, 0));
    // Without any CR an LF ends a line, each LF one.
    EXPECT_EQ(ExpectAgrees("A\n\tB\n\t" + kOpen + "x\n\nC"), Counts(4, 1, 1, 1));
    // One CR anywhere, even after a 0x1A, keeps LF an ordinary byte.
    EXPECT_EQ(ExpectAgrees("A\nB\n\x1A\r"), Counts(1, 0, 0, 0));
}

TEST(DocumentCounts, CountsTheLinesTheReaderLeavesOut) {
    // Items before the first Topic.
    EXPECT_EQ(ExpectAgrees(kOpen + "x\r\n\t" + kOpen + "y\r\nA\r\n" + kOpen + "z\r\n"),
              Counts(1, 1, 1, 0, 2));
    // A 0x1A ends the text: the rest of its line and the lines after it are unread.
    EXPECT_EQ(ExpectAgrees("A\r\nB\x1A"
                           "bc\r\nD\r\n\r\nE"),
              Counts(2, 0, 0, 0, 4));
    EXPECT_EQ(ExpectAgrees("A\r\n" + kOpen + "x\x1A\x1A\x1A"), Counts(1, 1, 1, 0));
    EXPECT_EQ(ExpectAgrees("A\r\n\x1A\r\n"), Counts(1, 0, 0, 0));
    EXPECT_EQ(ExpectAgrees("A\r\n\r\x1A\nB"), Counts(2, 0, 0, 0, 1));
    EXPECT_EQ(ExpectAgrees("A\n\x1A\nB\nC\n"), Counts(1, 0, 0, 0, 2));
    EXPECT_EQ(ExpectAgrees("\x1A" + kOpen + "x\r\nA\r\n"), Counts(0, 0, 0, 0, 2));
}

TEST(DocumentCounts, CountsOpenItemsWithTheListSettings) {
    const std::string bytes = "A\r\n" + kDone + "done\r\n" + kOpen + "open\r\n" + kOpen + "-\r\n" +
                              kOpen + "-note\r\n" + kDone + "-\r\n" + "\x08\r\n" + "\x08\x81\r\n" +
                              "\x08" + "ab-\r\n" + "\x08\x81\xA1\r\n";
    // Open: "open", the empty and the one-byte stored forms; "-" and "ab-" are separators,
    // "-note" has no box.
    EXPECT_EQ(ExpectAgrees(bytes), Counts(1, 9, 3, 0));
    ListKindOptions list;
    list.separatorItems = false;  // "-" has no box either
    EXPECT_EQ(CountDocumentBytes(bytes, list).unchecked, 3u);
    list.noBoxItems = false;  // every Item with a box
    EXPECT_EQ(CountDocumentBytes(bytes, list).unchecked, 6u);
    list.separatorItems = true;  // but for the separators
    EXPECT_EQ(CountDocumentBytes(bytes, list).unchecked, 4u);
}

TEST(DocumentCounts, RefusesUtf16AndNotesAUtf8Mark) {
    EXPECT_EQ(Outcome([] {
                  return CountDocumentBytes(std::string("\xFF\xFE"
                                                        "A\0\r\0\n\0",
                                                        8),
                                            {});
              }),
              "error: このファイルは UTF-16 のテキストです。");
    ExpectAgrees(std::string("A\0\r\0\n\0B\0\r\0\n\0", 12));
    EXPECT_TRUE(ExpectAgrees("\xEF\xBB\xBF"
                             "A\r\n")
                    .utf8);
}

// Random lines made of what the reader's rules turn on.
std::string RandomDocumentBytes(std::mt19937& rng) {
    static const char* kStarts[] = {"",      "\x07",     "\x08", "\x08\x81\xA1", "\x08\x81\xA0",
                                    "\x08-", "\x08\x81", "\x1A", "\x07Height9",  "\xEF\xBB\xBF"};
    static const char* kTexts[] = {"",   "-",  "-x",   "x",    "\x1A", "\t",
                                   "\n", "ab", "\x81", "\x08", "@03@"};
    static const char* kEnds[] = {"\r\n", "\r\n", "\r", "\n", "\r\r\n", "\n\r", "", "\x1A"};
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    std::string bytes;
    size_t lines = pick(12);
    bool lineFeeds = pick(3) == 0;  // a file of LF line ends, now and then with one CR
    for (size_t i = 0; i < lines; ++i) {
        bytes += std::string(pick(4) == 0 ? pick(6) : pick(2), '\t');
        bytes += kStarts[pick(std::size(kStarts))];
        for (size_t k = pick(3); k > 0; --k) {
            bytes += pick(4) == 0 ? std::string(1, '\0') : kTexts[pick(std::size(kTexts))];
        }
        std::string end = kEnds[pick(std::size(kEnds))];
        if (lineFeeds) {
            end = pick(20) == 0 ? "\r" : "\n";
        }
        bytes += end;
    }
    return bytes;
}

TEST(DocumentCounts, AgreesWithTheReaderOnRandomLines) {
    std::mt19937 rng(7);
    for (int i = 0; i < 10000; ++i) {
        std::string bytes = RandomDocumentBytes(rng);
        for (const ListKindOptions& list : EveryListKind()) {
            std::string read =
                Outcome([&] { return test::WalkedCounts(ParseDocument(bytes, {}), list); });
            size_t piece = 1 + rng() % (bytes.size() + 1);
            ASSERT_EQ(Outcome([&] { return CountDocumentBytes(bytes, list, piece); }), read)
                << "piece " << piece << ", bytes " << testing::PrintToString(bytes);
        }
    }
}

// A document of many lines of every kind, with lines crossing any piece boundary.
std::string LargeDocument(const std::string& lineEnd) {
    std::string bytes = "\x07Height40" + lineEnd;
    unsigned seed = 1;
    while (bytes.size() < (1500 << 10)) {
        seed = seed * 1103515245 + 12345;
        std::string tabs((seed >> 8) % 5, '\t');
        std::string text((seed >> 12) % 300, static_cast<char>('a' + seed % 26));
        switch (seed % 5) {
            case 0:
                bytes += tabs + text + "@0" + std::to_string(seed % 8) + "@" + lineEnd;
                break;
            case 1:
                bytes += tabs + kDone + text + lineEnd;
                break;
            case 2:
                bytes += tabs + kOpen + (seed % 7 == 0 ? "-" : text) + lineEnd;
                break;
            default:
                bytes += tabs + kOpen + "-" + text + lineEnd;
                break;
        }
    }
    return bytes;
}

TEST(DocumentCounts, CountsAFileInPiecesAsTheReaderReadsIt) {
    test::TempDir dir;
    const std::string path = dir.file("doc.bnv");
    for (const std::string& bytes :
         {LargeDocument("\r\n"), LargeDocument("\n"), LargeDocument("\n") + "\r",
          LargeDocument("\r\n") + "A\x1A" + LargeDocument("\r\n"), std::string("A\r\n"),
          std::string()}) {
        test::WriteBytes(path, bytes);
        DocumentCounts read = test::WalkedCounts(ReadDocument(path, {}), {});
        for (size_t piece : {size_t{100}, size_t{4096}, kCountPiece}) {
            EXPECT_EQ(CountDocument(path, {}, piece), read) << piece;
        }
    }
    // A CR after the first piece of LF lines ends them all: the count starts again.
    test::WriteBytes(path, "A\n" + LargeDocument("\n") + "\r");
    EXPECT_EQ(CountDocument(path, {}, 4096), Counts(1, 0, 0, 0));
}

TEST(DocumentCounts, RefusesWhatTheReaderRefusesWithItsTexts) {
    ::alarm(20);  // a read that waits ends the test program
    test::TempDir dir;
    const std::string fifo = dir.file("pipe.bnv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    test::WriteBytes(dir.file("utf16.bnv"), std::string("\xFF\xFE"
                                                        "A\0\r\0\n\0",
                                                        8));
    const std::string huge = dir.file("huge.bnv");
    test::WriteBytes(huge, "A\r\n");
    std::filesystem::resize_file(huge, TextStore::kMaxBytes);  // sparse: no disk is used
    for (const std::string& path : {fifo, std::string("/dev/zero"), dir.path(),
                                    dir.file("missing.bnv"), dir.file("utf16.bnv"), huge}) {
        std::string counted = Outcome([&] { return CountDocument(path, {}); });
        EXPECT_EQ(counted, Outcome([&] { return test::WalkedCounts(ReadDocument(path, {}), {}); }));
        EXPECT_TRUE(counted.starts_with("error: ")) << counted;
    }
    ::alarm(0);
}

}  // namespace
}  // namespace brenvale

#include "merge/flat_tree.h"

#include <gtest/gtest.h>

#include "common/error.h"
#include "document/document_reader.h"
#include "merge/document_merge.h"
#include "merge/edit_scenario.h"
#include "merge/outline.h"
#include "merge/sequence_diff.h"

namespace brenvale {
namespace {

using test::WriteBytes;

std::vector<std::string> Stored(const ItemList& items) {
    std::vector<std::string> out;
    for (size_t i = 0; i < items.size(); ++i) {
        out.emplace_back(items[i].stored());
    }
    return out;
}

TEST(FlatTree, DetachedReadsEveryListBackFromItsFile) {
    // The same lists with every kind of line end, geometry lines between Items, an LF inside
    // a text (an ordinary byte where CR ends lines), odd marks and a short stored form.
    const std::string lines[] = {
        "\x07Height300", "A@00@",   "\x08\x81\xA0one", "\x07Width20", "\t\t\x08\x81\xA1two",
        "\x08xyodd",     "\tB@03@", "\t\x08z",         "C@00@",       "\x08\x81\xA0last",
    };
    for (std::string end : {"\r\n", "\r", "\n"}) {
        std::string bytes;
        for (const std::string& line : lines) {
            bytes += line + end;
        }
        if (end == "\r\n") {
            bytes.insert(bytes.find("one") + 3, "\nstill one");  // LF inside the text
        }
        test::TempDir dir;
        WriteBytes(dir.file("doc"), bytes);
        ReadOptions image = test::KeepEveryIcon();
        image.keepFileImage = true;
        ReadResult read = ReadDocument(dir.file("doc"), image);
        TextKeys keys;
        FlatTree whole(*read.document, keys);
        FlatTree detached = FlatTree::Detached(*read.document, dir.file("doc"), keys);
        ASSERT_EQ(detached.size(), 3u);
        for (int32_t i = 0; i < 3; ++i) {
            EXPECT_EQ(detached.caption(i), whole.caption(i));
            EXPECT_EQ(detached.icon(i), whole.icon(i));
            EXPECT_TRUE(detached.sameItems(i, whole, i));
            EXPECT_EQ(Stored(detached.items(i)), Stored(whole.items(i)))
                << "line end " << end.size();
        }
        // A list read again after the file changed is refused, not taken.
        WriteBytes(dir.file("doc"), bytes.substr(0, bytes.find("two")) + "TWO" +
                                        bytes.substr(bytes.find("two") + 3));
        FlatTree again = FlatTree::Detached(*read.document, dir.file("doc"), keys);
        EXPECT_THROW(again.items(0), Error);
    }
}

TEST(FlatTree, MergingFilesGivesWhatMergingDocumentsGives) {
    test::TempDir dir;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        test::Scenario s(seed);
        s.make();
        WriteBytes(dir.file("base"), s.base.bytes());
        WriteBytes(dir.file("ours"), s.sides[0].bytes());
        WriteBytes(dir.file("theirs"), s.sides[1].bytes());
        auto b = ParseDocument(s.base.bytes(), test::KeepEveryIcon()).document;
        auto t = ParseDocument(s.sides[1].bytes(), test::KeepEveryIcon()).document;
        MergeResult inMemory = MergeDocuments(
            *b, ParseDocument(s.sides[0].bytes(), test::KeepEveryIcon()).document, *t);
        int reads = 0;
        MergedFile files = MergeDocumentFiles(
            dir.file("base"), dir.file("ours"), dir.file("theirs"), test::KeepEveryIcon(),
            [&](const std::string&, const ReadResult&) { ++reads; });
        EXPECT_EQ(reads, 3);
        ASSERT_EQ(test::OutlineOf(*files.merge.document), test::OutlineOf(*inMemory.document))
            << "seed " << seed;
        EXPECT_EQ(files.merge.conflicts.size(), inMemory.conflicts.size());
    }
}

}  // namespace
}  // namespace brenvale

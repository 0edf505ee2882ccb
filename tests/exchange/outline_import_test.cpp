// The outline an import fills: texts converted as they come, into blocks that a text whose
// references outgrow its UTF-8 must not overrun.
#include "exchange/outline_import.h"

#include <gtest/gtest.h>

#include "common/error.h"
#include "document/model.h"
#include "support/random_document.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::Sjis;

// The stored forms of the Items of the first Topic.
std::vector<std::string> Items(const Document& doc) {
    std::vector<std::string> out;
    const Topic& t = *doc.topLevel(0);
    for (size_t i = 0; i < t.items.size(); ++i) {
        out.push_back(std::string(t.items[i].stored()));
    }
    return out;
}

TEST(OutlineImport, TextsWhoseReferencesOutgrowTheirUtf8AndTheBlocksComeWhole) {
    // Blocks of the smallest size, and texts from one emoji to many times a block, handed in
    // one piece or several, with other characters between.
    std::vector<std::string> expected;
    OutlineImport outline(Sjis("x"));
    outline.reserve(0);
    outline.topic(0, 0, {1, 1});
    outline.exactText("t");
    for (size_t n : {1, 2, 7, 100, 455, 456, 457, 1000, 5000}) {
        for (int pieces : {1, 3}) {
            std::string utf8;
            std::string cp932 = Sjis("□");
            for (size_t i = 0; i < n; ++i) {
                utf8 += i % 3 == 0 ? "😀" : i % 3 == 1 ? "é" : "猫";
                cp932 += i % 3 == 0 ? "&#x1F600;" : i % 3 == 1 ? "&#xE9;" : Sjis("猫");
            }
            outline.item(0, false, {2, 1});
            // Pieces cut between characters, as a reader hands them.
            size_t cut = utf8.size() / 3;
            while (cut < utf8.size() && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80) {
                ++cut;
            }
            if (pieces == 1) {
                outline.text(utf8);
            } else {
                outline.text(std::string_view(utf8).substr(0, cut));
                outline.text("");
                outline.text(std::string_view(utf8).substr(cut));
            }
            expected.push_back(cp932);
        }
    }
    Document doc;
    outline.build(doc, kEveryIconIndex, "a.md");
    EXPECT_EQ(Items(doc), expected);
}

TEST(OutlineImport, BytesThatAreNotUtf8AfterManyReferencesAreFoundWhereTheyAre) {
    OutlineImport outline(Sjis("x"));
    outline.reserve(0);
    outline.item(OutlineImport::kNoTopic, false, {3, 7});
    std::string utf8;
    for (int i = 0; i < 600; ++i) {
        utf8 += "😀";
    }
    outline.text(utf8 + "\xFF" + "a\n" + "b\xC3");
    Document doc;
    try {
        outline.build(doc, kEveryIconIndex, "a.md");
        FAIL() << "no error";
    } catch (const Error& e) {
        // Each emoji is one column, and a line break in the text starts a line.
        EXPECT_EQ(std::string(e.what()),
                  "「a.md」を読み込めません。何も変更していません。\n"
                  "UTF-8 として読めないバイト: 0xFF (3 行 607 桁)、0xC3 (4 行 2 桁)");
    }
    EXPECT_TRUE(doc.empty());
}

}  // namespace
}  // namespace brenvale

#include "exchange/text_export.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/error.h"
#include "document/example_document.h"
#include "document/tree_clipboard.h"
#include "exchange/text_import.h"

namespace brenvale {
namespace {

using test::Sjis;

TEST(TextExport, WritesTheExampleByteForByte) {
    Document doc;
    test::BuildExample(doc);
    std::string expected =
        Sjis("仕事\r\n  ■報告書\r\n  □会議の準備\r\n  ----------\r\n  ※メモ\r\n") +
        Sjis("\t来週\r\n\t  □出張\r\nごみ箱\r\n");
    EXPECT_EQ(ExportText(doc, {}), expected);

    test::TempDir dir;
    WriteTextExport(doc, dir.file("a.txt"), {});
    EXPECT_EQ(test::ReadBytes(dir.file("a.txt")), expected);
}

TEST(TextExport, ShowsItemKindsAsTheSettingsSay) {
    Document doc;
    Topic& t = AddTopic(doc, nullptr, "t", 0, kBuiltInTopicImages);
    t.items.push_back(Item::Unchecked("-"));
    t.items.push_back(Item(Sjis("■"), "-ab"));
    t.items.push_back(Item::FromStored("xy  keep  "));
    ListKindOptions noKugiri{false, true, Sjis("○")};
    EXPECT_EQ(ExportText(doc, noKugiri),
              "t\r\n  " + Sjis("○") + "\r\n  " + Sjis("○") + "ab\r\n  xy  keep  \r\n");
    ListKindOptions neither{false, false, Sjis("※")};
    EXPECT_EQ(ExportText(doc, neither),
              "t\r\n  " + Sjis("□") + "-\r\n  " + Sjis("■") + "-ab\r\n  xy  keep  \r\n");
    EXPECT_EQ(ExportText(Document(), {}), "");
}

TEST(TextExport, ReplacesAFileLikeTheDocumentWriter) {
    test::TempDir dir;
    Document doc;
    test::BuildExample(doc);
    test::WriteBytes(dir.file("a.txt"), "old");
    std::filesystem::create_hard_link(dir.file("a.txt"), dir.file("b.txt"));
    WriteTextExport(doc, dir.file("a.txt"), {});
    EXPECT_EQ(test::ReadBytes(dir.file("b.txt")), ExportText(doc, {}));
}

TEST(TextExport, WritesUtf8WithLineFeeds) {
    Document doc;
    test::BuildExample(doc);
    std::string expected =
        "仕事\n  ■報告書\n  □会議の準備\n  ----------\n  ※メモ\n\t来週\n\t  □出張\nごみ箱\n";
    EXPECT_EQ(ExportText(doc, {}, TextEncoding::Utf8), expected);
    test::TempDir dir;
    WriteTextExport(doc, dir.file("a.txt"), {}, TextEncoding::Utf8);
    EXPECT_EQ(test::ReadBytes(dir.file("a.txt")), expected);
}

TEST(TextExport, RefusesUtf8ForBytesWithoutACharacterAndLeavesTheFileAlone) {
    Document doc;
    Topic& t = AddTopic(doc, nullptr, Sjis("仕事"), 0, kBuiltInTopicImages);
    t.items.push_back(Item::Unchecked("ok"));
    t.items.push_back(Item::Unchecked("a\x80"));
    AddTopic(doc, nullptr, "b\xFD", 0, kBuiltInTopicImages);
    test::TempDir dir;
    test::WriteBytes(dir.file("a.txt"), "old");
    try {
        WriteTextExport(doc, dir.file("a.txt"), {}, TextEncoding::Utf8);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("読めないバイトのある箇所: トピック「仕事」の 2 "
                                             "番目の項目、トピック「b\xEF\xBF\xBD」"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_EQ(test::ReadBytes(dir.file("a.txt")), "old");
    EXPECT_NO_THROW(ExportText(doc, {}));  // CP932 keeps the bytes as they are
}

TEST(TextImport, ConvertsUtf8ForThePasteKeepingEveryCharacterOrNamesBytesThatAreNotUtf8) {
    FileBlock block = Utf8TextToCp932("\xEF\xBB\xBF仕事\r\n\t来週😀\n", "a.txt");
    Document doc;
    PasteTreeBlock(doc, nullptr, std::move(block.block), block.size, kEveryIconIndex);
    ASSERT_EQ(doc.topicCount(), 2u);
    EXPECT_EQ(doc.first()->caption.view(), Sjis("仕事"));
    EXPECT_EQ(doc.first()->child(0)->caption.view(), Sjis("来週") + "&#x1F600;");

    // An Item line whose first character CP932 cannot hold keeps it whole, as text.
    block = Utf8TextToCp932("買い物\n\t\b✓ 牛乳\n", "c.txt");
    Document items;
    PasteTreeBlock(items, nullptr, std::move(block.block), block.size, kEveryIconIndex);
    ASSERT_EQ(items.first()->items.size(), 1u);
    EXPECT_FALSE(items.first()->items[0].checked());
    EXPECT_EQ(items.first()->items[0].text(), "&#x2713; " + Sjis("牛乳"));

    std::string text = "a\nb😀c\r\n\tx\xE9y\r\xFF\xFF\xFF\xFF\xFF\xFF\n";
    try {
        Utf8TextToCp932(text, "b.txt");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "「b.txt」を読み込めません。何も変更していません。\n"
                  "UTF-8 として読めないバイト: 0xE9 (3 行 3 桁)、0xFF (4 行 1 桁)、0xFF (4 行 2 "
                  "桁)、0xFF (4 行 3 桁)、0xFF (4 行 4 桁)\n"
                  "ほかに 2 箇所あります。");
    }
    EXPECT_EQ(PlaceInText("ab\r\ncd", 5).line, 2u);
    EXPECT_EQ(PlaceInText("ab\r\ncd", 5).column, 2u);
}

}  // namespace
}  // namespace brenvale

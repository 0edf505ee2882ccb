#include "document/text_export.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "document/example_document.h"

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

}  // namespace
}  // namespace brenvale

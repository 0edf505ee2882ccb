#include "document/document_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/error.h"
#include "document/document_reader.h"
#include "document/example_document.h"

namespace brenvale {
namespace {

using test::Sjis;

const DocumentGeometry kExampleGeometry{376, 573, 200, 300, 129};

TEST(WriteDocument, WritesTheExampleByteForByte) {
    test::TempDir dir;
    Document doc;
    test::BuildExample(doc);
    WriteDocument(doc, dir.file("a.bnv"), kExampleGeometry, {});
    EXPECT_EQ(test::ReadBytes(dir.file("a.bnv")), test::ExampleFileBytes());
}

TEST(WriteDocument, RoundTripsForeignMarksAndOddCaptions) {
    std::string bytes =
        "\x07Height1\r\n\x07Width2\r\n\x07Top3\r\n\x07Left4\r\n\x07TreeWidth5\r\n"
        "a@12@@00@\r\n\x08xyz\r\n\x08q\r\n\x08\r\nline\nfeed@07@\r\n\t@00@\r\n";
    ReadResult r = ParseDocument(bytes, {});
    EXPECT_EQ(SerializeDocument(*r.document, r.geometry.appliedTo({}), true), bytes);
}

TEST(WriteDocument, NeverWritesBytesThatWouldReadBackDifferently) {
    Document doc;
    Topic& t = AddTopic(doc, nullptr, "\x07geometry?", 0, kBuiltInTopicImages);
    t.items.push_back(Item::Unchecked("two\r\nlines\rand\x1Amore"));
    t.items.push_back(
        Item::FromStored("\x1A"
                         "x"));
    AddTopic(doc, nullptr, "\tdeeper?", 0, kBuiltInTopicImages);
    AddTopic(doc, nullptr, "\x08item?", 0, kBuiltInTopicImages);
    std::string bytes = SerializeDocument(doc, {}, false);
    ReadResult back = ParseDocument(bytes, {});
    ASSERT_EQ(back.document->topLevelCount(), 3u);
    const Topic* first = back.document->first();
    EXPECT_EQ(first->caption, "geometry?");
    ASSERT_EQ(first->items.size(), 2u);
    EXPECT_EQ(first->items[0].text(), "two\nlines\nandmore");
    EXPECT_EQ(first->items[1].stored(), Sjis("□"));
    EXPECT_EQ(back.document->topLevel(1)->caption, "deeper?");
    EXPECT_EQ(back.document->topLevel(2)->caption, "item?");
    EXPECT_EQ(SerializeDocument(*back.document, {}, false), bytes);
}

TEST(WriteDocument, TrimsItemTextsInFileAndMemoryOnlyWithSpRemv) {
    Document doc;
    Topic& t = AddTopic(doc, nullptr, "t", 0, kBuiltInTopicImages);
    t.items.push_back(Item::Unchecked("  a b  "));
    t.items.push_back(
        Item::Unchecked("\x81\x40"
                        "c "));
    std::string kept = SerializeDocument(doc, {}, false);
    EXPECT_NE(kept.find("  a b  \r\n"), std::string::npos);
    std::string trimmed = SerializeDocument(doc, {}, true);
    EXPECT_NE(trimmed.find("\x08" + Sjis("□") + "a b\r\n"), std::string::npos);
    EXPECT_EQ(t.items[0].text(), "a b");
    EXPECT_EQ(t.items[1].text(),
              "\x81\x40"
              "c");
}

TEST(WriteDocument, BacksUpThePreviousFileBesideItOrInAFolder) {
    test::TempDir dir;
    Document doc;
    test::BuildExample(doc);
    const std::string path = dir.file("a.bnv");
    test::WriteBytes(path, "previous");
    WriteOptions options;
    options.backup = true;
    WriteDocument(doc, path, {}, options);
    EXPECT_EQ(test::ReadBytes(dir.file("a.BAK")), "previous");

    std::filesystem::create_directory(dir.file("bak"));
    options.backupFolder = dir.file("bak");
    std::string second = test::ReadBytes(path);
    WriteDocument(doc, path, {}, options);
    EXPECT_EQ(test::ReadBytes(dir.file("bak/a.BAK")), second);

    // A backup folder that does not exist: the save stops before the document is touched.
    options.backupFolder = dir.file("none");
    test::WriteBytes(path, "old");
    try {
        WriteDocument(doc, path, {}, options);
        ADD_FAILURE() << "a save without its backup went on";
    } catch (const BackupError& e) {
        EXPECT_EQ(e.kind(), BackupError::Kind::NotMade);
        EXPECT_EQ(e.backupPath(), dir.file("none/a.BAK"));
        EXPECT_EQ(std::string(e.what()), "バックアップファイル「" + dir.file("none/a.BAK") +
                                             "」を作成できませんでした（No such file or "
                                             "directory）。");
        EXPECT_EQ(SaveWithoutBackupQuestion(e),
                  std::string(e.what()) + "バックアップなしで保存しますか？");
    }
    EXPECT_EQ(test::ReadBytes(path), "old");
    EXPECT_FALSE(std::filesystem::exists(dir.file("none")));

    // Asked again without a backup, the save goes through.
    options.backup = false;
    WriteDocument(doc, path, {}, options);
    EXPECT_NE(test::ReadBytes(path), "old");
}

TEST(WriteDocument, ADocumentNamedLikeItsBackupIsWrittenWithoutBackup) {
    test::TempDir dir;
    Document doc;
    test::BuildExample(doc);
    const std::string path = dir.file("a.BAK");
    test::WriteBytes(path, "previous");
    WriteOptions options;
    options.backup = true;
    WriteDocument(doc, path, kExampleGeometry, options);
    EXPECT_EQ(test::ReadBytes(path), test::ExampleFileBytes());
}

TEST(WriteDocument, SaysWhyWhenTheOldBackupCannotBeReplaced) {
    test::TempDir dir;
    Document doc;
    test::BuildExample(doc);
    test::WriteBytes(dir.file("a.bnv"), "previous");
    std::filesystem::create_directories(dir.file("a.BAK/inner"));
    WriteOptions options;
    options.backup = true;
    try {
        WriteDocument(doc, dir.file("a.bnv"), {}, options);
        ADD_FAILURE() << "the save went on";
    } catch (const BackupError& e) {
        EXPECT_EQ(e.kind(), BackupError::Kind::OldStays);
        EXPECT_EQ(std::string(e.what()), "古いバックアップファイル「" + dir.file("a.BAK") +
                                             "」を削除できないため保存できません。");
    }
    EXPECT_EQ(test::ReadBytes(dir.file("a.bnv")), "previous");
    EXPECT_TRUE(std::filesystem::exists(dir.file("a.BAK/inner")));
}

TEST(WriteDocument, AFailedWriteLeavesThePreviousFile) {
    test::TempDir dir;
    Document doc;
    test::BuildExample(doc);
    EXPECT_THROW(WriteDocument(doc, dir.file("none/a.bnv"), {}, {}), Error);
    EXPECT_THROW(WriteDocument(doc, dir.path(), {}, {}), Error);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path()));
}

TEST(WriteDocument, DropsALeadingBellOnlyWhereItWouldMakeAGeometryLine) {
    // Below the top level the TABs come first, so the byte comes back from an open.
    const std::string bytes =
        "\x07"
        "Top5\r\nA@00@\r\n\t\x07"
        "B@00@\r\n\t\t\x07\tC@00@\r\n";
    ReadResult read = ParseDocument(bytes, {});
    Topic* a = read.document->first();
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(a->hasChildren());
    Topic* b = a->child(0);
    EXPECT_EQ(b->caption,
              "\x07"
              "B");
    std::string saved = SerializeDocument(*read.document, kExampleGeometry, true);
    EXPECT_NE(saved.find("\r\n\t\x07"
                         "B@00@\r\n\t\t\x07\tC@00@\r\n"),
              std::string::npos);
    EXPECT_EQ(SerializeDocument(*ParseDocument(saved, {}).document, kExampleGeometry, true), saved);

    // On the top level it would be read as a geometry line and is taken out.
    a->caption =
        "\x07"
        "Top9";
    saved = SerializeDocument(*read.document, kExampleGeometry, true);
    EXPECT_NE(saved.find("\r\nTop9@00@\r\n"), std::string::npos);
    EXPECT_EQ(ParseDocument(saved, {}).document->first()->caption, "Top9");

    // A first Topic line with TABs is read as a top-level Topic: there the byte cannot stay.
    read = ParseDocument(
        "\t\x07"
        "bell@05@\r\n",
        {});
    EXPECT_EQ(read.document->first()->caption, "bell");
}

TEST(BackupName, FollowsTheBackupFolderSetting) {
    EXPECT_EQ(BackupName("/d/a.bnv", std::string(kOwnFolderToken)), "/d/a.BAK");
    EXPECT_EQ(BackupName("/d/a.tmp", std::string(kOwnFolderToken)), "/d/a.BAK");
    EXPECT_EQ(BackupName("/d/plan", "/b"), "/b/plan.BAK");
}

}  // namespace
}  // namespace brenvale

// What the reader and the counter make of files that are no documents of this program's:
// pictures, archives, programs and binary data are refused before anything is built, and
// UTF-8 text is told apart from CP932.
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "common/error.h"
#include "document/document_counts.h"
#include "document/document_reader.h"
#include "document/document_writer.h"
#include "document/example_document.h"
#include "support/error_of.h"
#include "support/foreign_files.h"

namespace brenvale {
namespace {

using test::Sjis;

TEST(FileKind, FilesOfOtherProgramsAreRefusedByTheReaderAndTheCounterAlike) {
    test::TempDir dir;
    std::string elf(4096, '\0');
    {
        // This test's own program.
        FILE* self = std::fopen("/proc/self/exe", "rb");
        ASSERT_NE(self, nullptr);
        elf.resize(std::fread(elf.data(), 1, elf.size(), self));
        std::fclose(self);
    }
    const std::pair<std::string, std::string> kFiles[] = {
        {"photo.png", test::PngBytes(40, 30)},
        {"photo.jpg", test::JpegBytes()},
        {"anim.gif", test::GifBytes()},
        {"manual.pdf", test::PdfBytes()},
        {"archive.zip", test::ZipBytes({{"a.txt", "hello"}})},
        {"letter.docx", test::OfficeBytes()},
        {"empty.zip", test::ZipBytes({})},
        {"notes.gz", test::GzipBytes("A\r\n")},
        {"program", elf},
        {"data.bin", std::string("AB\0CD\r\n", 7)},
    };
    const char* kKinds[] = {"PNG 画像",         "JPEG 画像",       "GIF 画像", "PDF 文書",
                            "ZIP 書庫",         "Office 文書",     "ZIP 書庫", "gzip 圧縮ファイル",
                            "ELF 実行ファイル", "バイナリファイル"};
    size_t i = 0;
    for (const auto& file : kFiles) {
        const std::string& name = file.first;
        const std::string& bytes = file.second;  // named, as lambdas below take it
        const std::string path = dir.file(name);
        test::WriteBytes(path, bytes);
        const std::string refusal = "「" + path + "」は文書ではありません（" + kKinds[i++] + "）。";
        EXPECT_EQ(test::ErrorOf([&] { ReadDocument(path, {}); }), refusal);
        EXPECT_EQ(test::ErrorOf([&] { CountDocument(path, {}, 3); }), refusal);
        EXPECT_EQ(test::ErrorOf([&] { PeekTextKind(path); }), refusal);
        EXPECT_EQ(test::ErrorOf([&] { ParseDocument(bytes, {}); }),
                  "このファイルは文書ではありません（" + std::string(kKinds[i - 1]) + "）。");
    }
}

TEST(FileKind, ADocumentIsReadWhateverItsBytesAfterTheGeometryLines) {
    // A document this program wrote starts with its geometry lines; a caption with a NUL, or
    // a caption that starts like a picture, does not make it something else.
    Document doc;
    AddTopic(doc, nullptr, std::string("a\0b", 3), 0, kBuiltInTopicImages);
    AddTopic(doc, nullptr, "\x89PNG", 0, kBuiltInTopicImages);
    AddTopic(doc, nullptr, "GIF89a", 0, kBuiltInTopicImages);
    std::string bytes = SerializeDocument(doc, {}, true);
    ReadResult read = ParseDocument(bytes, {});
    EXPECT_EQ(read.document->topicCount(), 3u);
    EXPECT_FALSE(read.utf8);
    test::TempDir dir;
    test::WriteBytes(dir.file("odd.bnv"), bytes);
    EXPECT_EQ(PeekTextKind(dir.file("odd.bnv")), TextKind::Document);
    EXPECT_EQ(CountDocument(dir.file("odd.bnv"), {}).topics, 3u);
    // A NUL further in than the start looked at is read as ever.
    std::string late = std::string(kTextKindSample, 'x') + "\r\n" + std::string("y\0z\r\n", 5);
    EXPECT_EQ(ParseDocument(late, {}).document->topicCount(), 2u);
}

TEST(FileKind, Utf8TextIsToldApartFromCp932) {
    test::TempDir dir;
    auto kindOf = [&](const std::string& bytes) {
        test::WriteBytes(dir.file("f"), bytes);
        std::optional<TextKind> kind = PeekTextKind(dir.file("f"));
        // The reader and the counter say the same.
        EXPECT_EQ(ReadDocument(dir.file("f"), {}).utf8, kind == TextKind::Utf8);
        EXPECT_EQ(CountDocument(dir.file("f"), {}, 5).utf8, kind == TextKind::Utf8);
        return kind;
    };
    const std::string markdown = "# 買い物\n\n- [ ] 牛乳\n- [x] パン\n";
    EXPECT_EQ(kindOf(markdown), TextKind::Utf8);
    EXPECT_EQ(kindOf("\xEF\xBB\xBF"
                     "A\r\n"),
              TextKind::Utf8);
    // The same text in CP932, and ASCII alone, are CP932.
    EXPECT_EQ(kindOf(Sjis(markdown)), TextKind::Cp932);
    EXPECT_EQ(kindOf("# shopping\n- [ ] milk\n"), TextKind::Cp932);
    // Half-width katakana in CP932 are single bytes that UTF-8 never has alone.
    EXPECT_EQ(kindOf(Sjis("ｱｲｳ") + "\r\n"), TextKind::Cp932);
    EXPECT_EQ(kindOf(test::ExampleFileBytes()), TextKind::Document);
    // A long UTF-8 text whose start ends in the middle of a character still reads as UTF-8.
    std::string longText = "x";
    while (longText.size() < 2 * kTextKindSample) {
        longText += "日本語のテキスト\n";
    }
    ASSERT_EQ(static_cast<unsigned char>(longText[kTextKindSample]) & 0xC0, 0x80u);
    EXPECT_EQ(kindOf(longText), TextKind::Utf8);
    // A document with UTF-8 captions, as a save of such a file writes it, is a document.
    EXPECT_EQ(kindOf(SerializeDocument(*ParseDocument(markdown, {}).document, {}, true)),
              TextKind::Document);
}

}  // namespace
}  // namespace brenvale

#include "exchange/exchange_format.h"

#include <gtest/gtest.h>

#include "document/example_document.h"
#include "document/read_checks.h"
#include "exchange/markdown_export.h"
#include "exchange/opml.h"
#include "exchange/text_export.h"
#include "support/error_of.h"
#include "support/foreign_files.h"
#include "support/random_document.h"

namespace brenvale {
namespace {

using test::Sjis;

std::string_view NameOf(const ExchangeFormat* format) {
    return format ? format->name : "none";
}

TEST(ExchangeFormat, OneLookupByExtensionAndByName) {
    for (auto [file, format] :
         std::vector<std::pair<std::string, std::string_view>>{{"a.md", "md"},
                                                               {"/x.y/A.MARKDOWN", "md"},
                                                               {"list.opml", "opml"},
                                                               {"list.Xml", "opml"},
                                                               {"a.txt", "txt"},
                                                               {"a.text", "txt"},
                                                               {"a.doc", "none"},
                                                               {"md", "none"},
                                                               {"folder.md/plain", "none"}}) {
        EXPECT_EQ(NameOf(FormatOfFileName(file)), format) << file;
    }
    for (auto [name, format] :
         std::vector<std::pair<std::string, std::string_view>>{{"md", "md"},
                                                               {"Markdown", "md"},
                                                               {"opml", "opml"},
                                                               {"txt", "txt"},
                                                               {"text", "txt"},
                                                               {"xml", "none"},
                                                               {"", "none"}}) {
        EXPECT_EQ(NameOf(FormatNamed(name)), format) << name;
    }
    EXPECT_EQ(EncodingNamed("Shift_JIS"), TextEncoding::Cp932);
    EXPECT_EQ(EncodingNamed("UTF8"), TextEncoding::Utf8);
    EXPECT_EQ(EncodingNamed("latin1"), std::nullopt);
}

// The dialogs offer every format in each of its encodings; the filter chosen is found again by
// its description, wherever it stands in the list.
TEST(ExchangeFormat, TheDialogsFiltersComeFromTheTableAndLeadBackToIt) {
    EXPECT_EQ(ExchangeDialogFilter(false),
              "Markdown (*.md)|*.md|OPML (*.opml)|*.opml|テキスト CP932 (*.txt)|*.txt|"
              "テキスト UTF-8 (*.txt)|*.txt");
    EXPECT_EQ(ExchangeDialogFilter(true),
              "Markdown (*.md *.markdown)|*.md|OPML (*.opml)|*.opml|テキスト CP932 (*.txt)|*.txt|"
              "テキスト UTF-8 (*.txt)|*.txt|すべてのファイル (*.*)|*.*");
    std::optional<FormatChoice> utf8 = ChoiceOfFilter("テキスト UTF-8 (*.txt)", true);
    ASSERT_TRUE(utf8);
    EXPECT_EQ(utf8->format->name, "txt");
    EXPECT_EQ(utf8->encoding, TextEncoding::Utf8);
    EXPECT_EQ(ChoiceOfFilter("Markdown (*.md *.markdown)", true)->format->name, "md");
    EXPECT_EQ(ChoiceOfFilter("Markdown (*.md)", false)->format->name, "md");
    EXPECT_FALSE(ChoiceOfFilter("すべてのファイル (*.*)", true));
    EXPECT_FALSE(ChoiceOfFilter("Markdown (*.md *.markdown)", false));
}

TEST(ExchangeFormat, TheFallbackCaptionIsTheFileName) {
    EXPECT_EQ(FallbackCaption("/tmp/x/買い物.md"), Sjis("買い物"));
    EXPECT_EQ(FallbackCaption("a.b.opml"), "a.b");
    EXPECT_EQ(FallbackCaption("😀.md"), "&#x1F600;");             // kept as the document keeps it
    EXPECT_EQ(FallbackCaption("a\xFF.md"), Sjis("インポート"));  // a name that is not UTF-8
}

// Every row writes a file that its own reader takes back (the structured formats to the same
// document), through the same functions the window and the tool use.
TEST(ExchangeFormat, EveryRowWritesAndReadsThroughTheTable) {
    test::RandomDocument random(4);
    Document doc;
    random.build(doc, 80, 9);
    test::TempDir dir;
    for (const ExchangeFormat& format : ExchangeFormats()) {
        for (TextEncoding encoding : format.encodings) {
            if (encoding == TextEncoding::Utf8 && format.encodings.size() > 1) {
                continue;  // the random texts hold bytes UTF-8 cannot show
            }
            std::string path = dir.file("out." + std::string(format.extensions.front()));
            WriteExportFile({&format, encoding}, doc, {}, "doc.bnv", path);
            ImportSource source(path);
            ImportedFile file = ReadImport({&format, encoding}, source);
            if (!file.outline) {
                EXPECT_EQ(test::ReadBytes(path), ExportText(doc, {}, encoding));
                EXPECT_EQ(std::string_view(file.lines.block.data(), file.lines.size),
                          test::ReadBytes(path));
                continue;
            }
            Document again;
            file.outline->build(again, kEveryIconIndex, source.name());
            EXPECT_EQ(test::Bytes(again), test::Bytes(doc)) << format.name;
        }
    }
}

// What is plainly no text is refused by every format in every encoding, from a file as from
// bytes, before anything is read: an import would otherwise make Topics of its bytes and say
// nothing (a picture through the text import, an archive padded with NULs through any).
TEST(ExchangeFormat, NoImportReadsWhatIsPlainlyNotText) {
    std::string tar = "list.txt" + std::string(92, '\0') + "0000644" + std::string(400, '\0');
    tar += "- [ ] 牛乳\n";
    std::string utf16;
    for (char c : std::string("# Shopping\n- [ ] milk\n")) {
        utf16 += std::string{c, '\0'};
    }
    const std::pair<std::string, std::string> files[] = {
        {test::PngBytes(8, 8), "PNG 画像"}, {test::GzipBytes("# a\n"), "gzip 圧縮ファイル"},
        {test::PdfBytes(), "PDF 文書"},     {tar, "バイナリファイル"},
        {utf16, "UTF-16 のテキスト"},
    };
    test::TempDir dir;
    const std::string path = dir.file("in.md");
    for (const auto& [bytes, kind] : files) {
        test::WriteBytes(path, bytes);
        const std::string refusal =
            "「in.md」を読み込めません。何も変更していません。\n"
            "インポートできるテキストのファイルではありません（" +
            kind + "）。";
        for (const ExchangeFormat& format : ExchangeFormats()) {
            for (TextEncoding encoding : format.encodings) {
                SCOPED_TRACE(std::string(format.name) + " " + kind);
                ImportSource fromFile(path);
                EXPECT_EQ(test::ErrorOf([&] {
                              ReadImport({&format, encoding}, fromFile);
                          }),
                          refusal);
                ImportSource fromBytes(bytes, "in.md", 3);
                EXPECT_EQ(test::ErrorOf([&] {
                              ReadImport({&format, encoding}, fromBytes);
                          }),
                          refusal);
            }
        }
    }
    // A stray NUL, as an export of a document holding one writes it, leaves a file text.
    std::string stray = "- [ ] a\n- [ ] b" + std::string(1, '\0') + "c\n" + std::string(200, 'x');
    ImportSource straySource(stray, "stray.md");
    EXPECT_NO_THROW(ReadImport({FormatNamed("md"), TextEncoding::Utf8}, straySource));
    // Only the start is judged, as the open judges a document: a NUL after it is read as text.
    std::string late = "a\n" + std::string(kTextKindSample, 'x') + '\0' + "\n";
    ImportSource source(late, "late.txt");
    ImportedFile file = ReadImport({FormatNamed("txt"), TextEncoding::Cp932}, source);
    EXPECT_EQ(file.lines.size, late.size());
}

}  // namespace
}  // namespace brenvale

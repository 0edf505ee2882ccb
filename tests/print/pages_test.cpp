#include <QBuffer>
#include <QGuiApplication>
#include <QPdfWriter>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "common/error.h"
#include "document/model.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "ui/print/check_list_pages.h"
#include "ui/print/pdf_export.h"

namespace brenvale {
namespace {

// Counts the steps a print reports, and stops it after `stopAfter` of them.
class CountingProgress : public PrintProgress {
public:
    explicit CountingProgress(uint64_t stopAfter = UINT64_MAX) : stopAfter_(stopAfter) {}
    bool step(uint64_t done, uint64_t total) override {
        EXPECT_EQ(done, last + 1);
        last = done;
        this->total = total;
        return done < stopAfter_;
    }
    uint64_t last = 0;
    uint64_t total = 0;

private:
    uint64_t stopAfter_;
};

struct Pdf {
    PaintResult result;
    std::string bytes;
};

Pdf Paint(const PrintJob& job, const PageOptions& options = {}) {
    Pdf pdf;
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(DefaultPageSize());
        pdf.result = PaintCheckLists(job, writer, options);
    }
    pdf.bytes = bytes.toStdString();
    return pdf;
}

// The pages a PDF holds, by its page objects.
size_t PageObjects(const std::string& pdf) {
    std::regex page("/Type\\s*/Page\\b(?!s)");
    return static_cast<size_t>(
        std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

PrintJob WholeDocument(const Document& doc) {
    PrintJob job;
    job.document = &doc;
    job.title = "test.bnv";
    return job;
}

// A tree as deep as it is long costs the pages no more than the same Topics side by side:
// the headings show a few levels and stop indenting, so the pages grow with the text only.
TEST(PrintedPages, ADeepTreeTakesNoMorePagesThanAFlatOne) {
    constexpr int kTopics = 1200;
    Document deep;
    Document flat;
    Topic* t = nullptr;
    for (int i = 0; i < kTopics; ++i) {
        std::string caption = "Topic number " + std::to_string(i);
        t = t ? &AddChildTopic(deep, t, caption, 0, kBuiltInTopicImages)
              : &AddTopic(deep, nullptr, caption, 0, kBuiltInTopicImages);
        t->items.push_back(Item::Unchecked("an item of the topic"));
        AddTopic(flat, nullptr, caption, 0, kBuiltInTopicImages)
            .items.push_back(Item::Unchecked("an item of the topic"));
    }
    CountingProgress progress;
    PageOptions options;
    options.progress = &progress;
    Pdf deepPdf = Paint(WholeDocument(deep), options);
    Pdf flatPdf = Paint(WholeDocument(flat));
    ASSERT_FALSE(deepPdf.result.cancelled);
    EXPECT_GT(flatPdf.result.pages, 10);
    EXPECT_LE(deepPdf.result.pages, flatPdf.result.pages + flatPdf.result.pages / 10 + 1);
    EXPECT_EQ(PageObjects(deepPdf.bytes), static_cast<size_t>(deepPdf.result.pages));
    // Every Topic and Item reported twice: laid out to count the pages, then painted.
    EXPECT_EQ(progress.total, 2u * 2 * kTopics);
    EXPECT_EQ(progress.last, progress.total);
}

// A preview paints only its first pages, but counts them all for the footers.
TEST(PrintedPages, APreviewPaintsOnlyItsFirstPages) {
    Document doc;
    Topic& t = AddTopic(doc, nullptr, "list", 0, kBuiltInTopicImages);
    for (int i = 0; i < 400; ++i) {
        t.items.push_back(Item::Unchecked("item " + std::to_string(i)));
    }
    PageOptions options;
    options.maxPages = 3;
    Pdf pdf = Paint(WholeDocument(doc), options);
    EXPECT_GT(pdf.result.pages, 5);
    EXPECT_EQ(PageObjects(pdf.bytes), 3u);
    EXPECT_EQ(PageObjects(Paint(WholeDocument(doc)).bytes), static_cast<size_t>(pdf.result.pages));
}

// A PDF stopped by its progress, or by an output that fails, leaves the file it was to
// replace as it was and nothing beside it; the failure is told.
TEST(PdfFile, StoppedOrFailingLeavesTheOldFileAlone) {
    Document doc;
    Topic& t = AddTopic(doc, nullptr, "list", 0, kBuiltInTopicImages);
    for (int i = 0; i < 300; ++i) {
        t.items.push_back(Item::Unchecked("item " + std::to_string(i)));
    }
    test::TempDir dir;
    const std::string path = dir.file("out.pdf");
    test::WriteBytes(path, "old");
    for (uint64_t stop : {uint64_t{5}, uint64_t{450}}) {  // while counting, while painting
        CountingProgress progress(stop);
        EXPECT_FALSE(WritePdf(WholeDocument(doc), path, &progress));
        EXPECT_EQ(progress.last, stop);
        EXPECT_EQ(test::ReadBytes(path), "old");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                                std::filesystem::directory_iterator()),
                  1);
    }
    size_t written = 0;
    CountingProgress progress;
    EXPECT_THROW(WritePdfTo(
                     WholeDocument(doc),
                     [&](std::string_view bytes) {
                         written += bytes.size();
                         if (written > 4000) {
                             throw Error("disk full");
                         }
                     },
                     &progress),
                 Error);
    EXPECT_LT(progress.last, progress.total);  // the pages stopped once the output failed
    CountingProgress whole;
    EXPECT_TRUE(WritePdf(WholeDocument(doc), path, &whole));
    EXPECT_TRUE(test::ReadBytes(path).starts_with("%PDF-"));
}

// A text too long to lay out at once is laid out in pieces; no piece ends inside a character
// reference, whose halves would be drawn as the ASCII they are spelt with.
TEST(PrintedPages, ALongTextOfCharactersBeyondCp932IsDrawnAsThoseCharacters) {
    if (std::system("command -v pdftotext >/dev/null") != 0) {
        GTEST_SKIP() << "poppler-utils is not installed (scripts/test.sh installs it)";
    }
    Document doc;
    Topic& t = AddTopic(doc, nullptr, "list", 0, kBuiltInTopicImages);
    std::string emoji;
    std::string accents = "x";  // the references start one byte later in their pieces
    for (int i = 0; i < 600; ++i) {
        emoji += "&#x1F600;";
        accents += "&#xE9;";
    }
    t.items.push_back(Item::Unchecked(emoji));
    t.items.push_back(Item::Unchecked(accents));
    test::TempDir dir;
    CountingProgress progress;
    ASSERT_TRUE(WritePdf(WholeDocument(doc), dir.file("out.pdf"), &progress));
    std::string text = test::RunCommand("pdftotext -enc UTF-8 '" + dir.file("out.pdf") + "' -");
    EXPECT_NE(text.find("\u00e9\u00e9"), std::string::npos) << text;
    EXPECT_EQ(text.find('#'), std::string::npos) << text;
    EXPECT_EQ(text.find('&'), std::string::npos) << text;
}

}  // namespace
}  // namespace brenvale

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

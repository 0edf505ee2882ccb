#include <gtest/gtest.h>

#include "common/error.h"
#include "editor_fixture.h"
#include "exchange/markdown_export.h"
#include "exchange/opml.h"
#include "exchange/text_export.h"
#include "support/error_of.h"
#include "support/foreign_files.h"

namespace brenvale {
namespace {

using test::Sjis;
using V = std::vector<std::string>;

class ExchangeCommands : public test::EditorTest {
protected:
    std::string WriteFile(const std::string& name, const std::string& bytes) {
        test::WriteBytes(dir.file(name), bytes);
        return dir.file(name);
    }
    void Import(const std::string& path, int filter) {
        host.dialogAnswers = {path};
        host.filterAnswers = {filter};
        editor.execute(CommandId::Import);
    }
    test::TempDir dir;
};

TEST_F(ExchangeCommands, ExportWritesTheFormatOfTheChosenFilter) {
    Build({"a:*x,-", "  b:-memo"});
    editor.session().setName(dir.file("list.bnv"));
    const ListKindOptions kinds;
    const std::string expected[] = {ExportMarkdown(editor.document(), kinds),
                                    ExportOpml(editor.document(), kinds, "list.bnv"),
                                    ExportText(editor.document(), kinds),
                                    ExportText(editor.document(), kinds, TextEncoding::Utf8)};
    for (int filter = 1; filter <= 4; ++filter) {
        std::string path = dir.file("out" + std::to_string(filter));
        host.dialogAnswers = {path};
        host.filterAnswers = {filter};
        editor.execute(CommandId::Export);
        EXPECT_EQ(test::ReadBytes(path), expected[filter - 1]) << filter;
    }
    // The dialog offers the document's name, which the chosen filter completes.
    EXPECT_EQ(host.dialogs.back().fileName, dir.file("list"));
    EXPECT_EQ(host.dialogs.back().title, "エクスポート");
    EXPECT_FALSE(editor.session().isModified());

    // An existing file is replaced only after the question.
    host.dialogAnswers = {dir.file("out1")};
    host.answers = {MessageAnswer::Cancel};
    editor.execute(CommandId::Export);
    EXPECT_EQ(test::ReadBytes(dir.file("out1")), expected[0]);
}

TEST_F(ExchangeCommands, AnImportAddsTopicsAtTheEndAsOneUndoStep) {
    Build({"a:x", "b"});
    editor.tree().selectTopic(Find("a"));
    Import(WriteFile("in.md", "# 家\n- [x] 牛乳\n## 庭\n- 水やり\n# 車\n"), 1);
    EXPECT_EQ(Shape(), (V{"a/0", "b/0", Sjis("家") + "/0+", Sjis("庭") + "/1", Sjis("車") + "/0"}));
    // The first Topic that came in is shown.
    EXPECT_EQ(editor.selection().topic(), Find(Sjis("家")));
    EXPECT_EQ(Rows(), (V{Sjis("牛乳") + "*"}));
    EXPECT_TRUE(editor.session().isModified());
    test::ExpectTreeRowsRight(editor);
    editor.execute(CommandId::Undo);
    EXPECT_EQ(Shape(), (V{"a/0", "b/0"}));
    test::ExpectTreeRowsRight(editor);
    EXPECT_EQ(editor.selection().topic(), Find("a"));
    editor.execute(CommandId::Redo);
    EXPECT_EQ(Shape().size(), 5u);
}

TEST_F(ExchangeCommands, AnImportOfBytesThatAreNotUtf8ChangesNothing) {
    Build({"a:x"});
    std::string path = WriteFile("bad.md", "# ok\n- [ ] 猫😀\xFF\n");
    host.dialogAnswers = {path};
    host.filterAnswers = {1};
    try {
        editor.execute(CommandId::Import);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "「bad.md」を読み込めません。何も変更していません。\n"
                  "UTF-8 として読めないバイト: 0xFF (2 行 9 桁)");
    }
    EXPECT_EQ(Shape(), (V{"a/0"}));
    EXPECT_EQ(Rows(), (V{"x"}));
    EXPECT_FALSE(editor.session().isModified());
    // No step either: the one undo there is takes back the Topics built above.
    editor.execute(CommandId::Undo);
    EXPECT_TRUE(Shape().empty());
}

TEST_F(ExchangeCommands, APictureOrUtf16TextIsNotImportedAsText) {
    Build({"a:x"});
    const std::string png = WriteFile("photo.png", test::PngBytes(16, 16));
    // By the text filter (CP932), which reads any bytes at all as lines.
    EXPECT_EQ(test::ErrorOf([&] { Import(png, 3); }),
              "「photo.png」を読み込めません。何も変更していません。\n"
              "インポートできるテキストのファイルではありません（PNG 画像）。");
    // By its name as text, in UTF-16 with its byte order mark.
    const std::string utf16 = WriteFile("list.txt", std::string("\xFF\xFE"
                                                                "a\0\r\0\n\0",
                                                                8));
    EXPECT_EQ(test::ErrorOf([&] { Import(utf16, 1); }),
              "「list.txt」を読み込めません。何も変更していません。\n"
              "インポートできるテキストのファイルではありません（UTF-16 のテキスト）。");
    EXPECT_EQ(Shape(), (V{"a/0"}));
    EXPECT_EQ(Rows(), (V{"x"}));
    EXPECT_FALSE(editor.session().isModified());
}

TEST_F(ExchangeCommands, ImportsOpmlAndTextByFilterOrByName) {
    Build({"a"});
    Import(WriteFile("in.opml",
                     "<opml><body><outline text=\"x\"><outline text=\"y\" "
                     "_status=\"checked\"/></outline></body></opml>"),
           2);
    EXPECT_EQ(Shape(), (V{"a/0", "x/0"}));
    EXPECT_EQ(Rows(), (V{"y*"}));

    // Text is pasted line by line; a CP932 file that reads as UTF-8 makes the editor ask.
    std::string utf8 = WriteFile("u.txt", "親\n\t子\n");
    host.answers = {MessageAnswer::Yes};
    Import(utf8, 3);
    EXPECT_EQ(host.messages.back().text,
              "「u.txt」は UTF-8 のテキストのようです。\nUTF-8 として読み込みますか？");
    EXPECT_EQ(Shape().back(), Sjis("子") + "/1");
    EXPECT_EQ(editor.selection().topic(), Find(Sjis("親")));
    Import(WriteFile("s.text", Sjis("シフト\r\n")), 5);  // by name: text, and CP932 by its bytes
    EXPECT_EQ(Shape().back(), Sjis("シフト") + "/0");
    Import(WriteFile("m.markdown", "# md\n"), 5);
    EXPECT_EQ(Shape().back(), "md/0");

    size_t before = Shape().size();
    host.answers = {MessageAnswer::Ok};
    Import(WriteFile("x.doc", "# no"), 5);
    EXPECT_EQ(host.messages.back().text,
              "「x.doc」の形式が拡張子から分かりません。\nファイルの種類で形式を選んでください。");
    host.answers = {MessageAnswer::Ok};
    Import(WriteFile("empty.md", "\n\n"), 1);
    EXPECT_EQ(host.messages.back().text, "「empty.md」には読み込めるトピックも項目もありません。");
    EXPECT_EQ(Shape().size(), before);
}

TEST_F(ExchangeCommands, PrintAndPdfAskWhatToPrintFirst) {
    Build({"a:x", "  b:y"});
    editor.tree().selectTopic(Find("b"));
    editor.session().setName(dir.file("list.bnv"));

    host.cancelPrint = true;
    editor.execute(CommandId::Print);
    editor.execute(CommandId::ExportPdf);
    EXPECT_EQ(host.windowCommands, (V{"print options", "print options"}));

    host.cancelPrint = false;
    host.printGrey = true;
    editor.execute(CommandId::Print);
    ASSERT_EQ(host.printed.size(), 1u);
    EXPECT_EQ(host.printed[0].topic, Find("b"));
    EXPECT_TRUE(host.printed[0].greyChecked);
    EXPECT_EQ(host.printed[0].title, "list.bnv");

    host.printWholeDocument = true;
    host.dialogAnswers = {dir.file("out.pdf")};
    editor.execute(CommandId::ExportPdf);
    EXPECT_EQ(host.dialogs.back().fileName, dir.file("list.pdf"));
    EXPECT_EQ(host.windowCommands.back(), "pdf " + dir.file("out.pdf"));
    EXPECT_EQ(host.printed.back().topic, nullptr);
    EXPECT_EQ(host.printed.back().document, &editor.document());
}

// A PDF the user stops is said to be stopped; one that runs out of memory, and a print preview
// that does, is told of and leaves the document and its unsaved changes as they were.
TEST_F(ExchangeCommands, APdfStoppedOrOutOfMemoryLeavesTheDocumentAsItWas) {
    Build({"a:x", "  b:y"});
    editor.session().setName(dir.file("list.bnv"));
    editor.tree().selectTopic(Find("b"));
    Type("unsaved");
    editor.execute(CommandId::ListAdd);
    ASSERT_TRUE(editor.session().isModified());
    const std::vector<std::string> shape = Shape();
    const std::vector<std::string> rows = Rows();

    host.onPdf = [] { return false; };
    host.dialogAnswers = {dir.file("out.pdf")};
    editor.execute(CommandId::ExportPdf);
    EXPECT_EQ(editor.hintText(), "PDF の書き出しを中止しました。「out.pdf」は書き出していません");
    EXPECT_TRUE(host.messages.empty());

    host.onPdf = []() -> bool { throw std::bad_alloc(); };
    host.dialogAnswers = {dir.file("out.pdf")};
    host.answers = {MessageAnswer::Ok};
    editor.execute(CommandId::ExportPdf);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text,
              "メモリが足りません。PDF の書き出しを中止しました（文書はそのままです）。");
    EXPECT_EQ(host.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(Shape(), shape);
    EXPECT_EQ(Rows(), rows);
    EXPECT_TRUE(editor.session().isModified());
}

TEST_F(ExchangeCommands, ExportPrintAndPdfNeedTopicsImportDoesNot) {
    editor.files().start({});
    for (CommandId id :
         {CommandId::Export, CommandId::Print, CommandId::ExportPdf, CommandId::Import}) {
        EXPECT_TRUE(editor.isEnabled(id));
    }
    while (!editor.document().empty()) {
        editor.tree().selectTopic(editor.document().first());
        host.answers.push_back(MessageAnswer::Ok);
        editor.execute(CommandId::DelTree);
    }
    for (CommandId id : {CommandId::Export, CommandId::Print, CommandId::ExportPdf}) {
        EXPECT_FALSE(editor.isEnabled(id));
    }
    EXPECT_TRUE(editor.isEnabled(CommandId::Import));
}

// The file's own extension names its format whatever filter the dialog shows (Markdown by
// default): an OPML file is read as OPML, not as one Item of XML.
TEST_F(ExchangeCommands, TheFormatComesFromTheExtensionBeforeTheFilter) {
    Build({"a"});
    const std::string opml =
        "<opml><body><outline text=\"x\"><outline text=\"y\" _status=\"checked\"/></outline>"
        "</body></opml>";
    Import(WriteFile("in.opml", opml), 1);
    EXPECT_EQ(Shape(), (V{"a/0", "x/0"}));
    EXPECT_EQ(Rows(), (V{"y*"}));
    Import(WriteFile("list.MD", "# md\n- [x] z\n"), 2);
    EXPECT_EQ(Shape().back(), "md/0");
    // A name that names no format takes the filter's.
    Import(WriteFile("outline.data", opml), 2);
    EXPECT_EQ(Shape().back(), "x/0");
    EXPECT_EQ(Shape().size(), 4u);
}

// After an export, a PDF or an import the hint panel says what was written or read, and where.
TEST_F(ExchangeCommands, TheHintSaysWhatWasWrittenOrReadAndWhere) {
    Build({"a:x"});
    editor.session().setName(dir.file("list.bnv"));
    host.dialogAnswers = {dir.file("out.opml")};
    host.filterAnswers = {2};
    editor.execute(CommandId::Export);
    EXPECT_EQ(editor.hintText(), "「" + dir.file("out.opml") + "」に書き出しました");

    host.printWholeDocument = true;
    host.dialogAnswers = {dir.file("out.pdf")};
    editor.execute(CommandId::ExportPdf);
    EXPECT_EQ(editor.hintText(), "「" + dir.file("out.pdf") + "」に PDF を書き出しました");

    Import(WriteFile("in.md", "# b\n"), 1);
    EXPECT_EQ(editor.hintText(), "「" + dir.file("in.md") + "」を読み込みました");
    Import(WriteFile("in.txt", "c\n"), 3);
    EXPECT_EQ(editor.hintText(), "「" + dir.file("in.txt") + "」を読み込みました");

    // Nothing written, nothing said.
    editor.setHint("");
    host.dialogAnswers = {std::nullopt};
    editor.execute(CommandId::Export);
    host.answers = {MessageAnswer::Ok};
    Import(WriteFile("empty.md", ""), 1);
    EXPECT_EQ(editor.hintText(), "");
}

}  // namespace
}  // namespace brenvale

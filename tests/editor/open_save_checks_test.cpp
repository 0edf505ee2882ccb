// What open and save do with files that are not what they seem: a picture opens nothing, a
// Markdown file is offered for import, a document read in part is not saved over unasked, and
// a save that cannot be written offers another name.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/error.h"
#include "editor_fixture.h"
#include "support/file_size_limit.h"
#include "support/foreign_files.h"
#include "support/read_only_file.h"
#include "support/read_only_folder.h"

namespace brenvale {
namespace {

using test::Sjis;
using V = std::vector<std::string>;

class OpenSaveChecks : public test::EditorTest {
protected:
    std::string WriteFile(const std::string& name, const std::string& bytes) {
        test::WriteBytes(dir.file(name), bytes);
        return dir.file(name);
    }
    // A modified document on a file of its own.
    std::string OpenModified() {
        std::string path = WriteFile("plan.bnv", "A@00@\r\n");
        editor.files().openDocument(path);
        editor.editTextChanged(EditBox::Tree, "B");
        return path;
    }
    std::vector<std::string> Recent() {
        std::vector<std::string> out;
        for (std::string_view path : editor.session().recentFiles().paths()) {
            out.emplace_back(path);
        }
        return out;
    }
    test::TempDir dir;
};

TEST_F(OpenSaveChecks, APictureOpensNothingAndAsksNothing) {
    const std::string plan = OpenModified();
    const std::string png = WriteFile("photo.png", test::PngBytes(64, 48));
    try {
        editor.files().openDocument(png);
        ADD_FAILURE() << "a picture was opened";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "「" + png + "」は文書ではありません（PNG 画像）。");
    }
    // No save question came before the refusal; the document, its name and the recent list
    // are as they were, and a save still goes to the document's own file.
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(Shape(), V{"B/0"});
    EXPECT_EQ(editor.session().fileName(), plan);
    EXPECT_TRUE(editor.session().isModified());
    EXPECT_EQ(Recent(), V{plan});
    editor.execute(CommandId::Save);
    EXPECT_EQ(test::ReadBytes(png), test::PngBytes(64, 48));
    EXPECT_NE(test::ReadBytes(plan).find("B@00@"), std::string::npos);

    // Dropped or named at the start, it is refused the same way.
    EXPECT_THROW(editor.files().filesDropped({png}), Error);
    EXPECT_EQ(editor.session().fileName(), plan);
}

TEST_F(OpenSaveChecks, AUtf8MarkdownFileIsOfferedForImport) {
    const std::string plan = OpenModified();
    const std::string md = WriteFile("shopping.md", "# 買い物\n- [ ] 牛乳\n- [x] パン\n");
    const std::string question = "「" + md +
                                 "」は文書ではなく、Markdown のファイルのようです。\n"
                                 "開いている文書にインポートしますか？\n\n"
                                 "文書として開くと、文字化けしたり一部しか読み込まれなかったりし"
                                 "ます。";
    // Cancel: nothing at all.
    host.answers = {MessageAnswer::Cancel};
    editor.files().openDocument(md);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, question);
    EXPECT_EQ(host.messages[0].buttons, MessageButtons::ImportOpenCancel);
    EXPECT_EQ(Shape(), V{"B/0"});

    // Import: its Topics join the open document as one step that undo takes back, with no
    // save question; the document keeps its name and the Markdown file is no recent document.
    host.answers = {MessageAnswer::Import};
    editor.files().openDocument(md);
    EXPECT_EQ(Shape(), (V{"B/0", Sjis("買い物") + "/0"}));
    editor.tree().selectTopic(Find(Sjis("買い物")));
    EXPECT_EQ(Rows(), (V{Sjis("牛乳"), Sjis("パン") + "*"}));
    EXPECT_EQ(editor.session().fileName(), plan);
    EXPECT_EQ(Recent(), V{plan});
    editor.execute(CommandId::Undo);
    EXPECT_EQ(Shape(), V{"B/0"});

    // Open as a document: the save question, then the file as CP932 lines, without a second
    // word about UTF-8.
    host.messages.clear();
    host.answers = {MessageAnswer::Open, MessageAnswer::No};
    editor.files().openDocument(md);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(editor.session().fileName(), md);
    EXPECT_EQ(editor.document().topicCount(), 3u);
}

TEST_F(OpenSaveChecks, ANameOrAUtf8TextSaysWhatToImportAs) {
    editor.files().start({});
    struct Case {
        std::string name;
        std::string bytes;
        std::string format;  // in the question; empty: no question
    };
    const Case cases[] = {
        {"list.txt", Sjis("仕事\r\n\t会議\r\n"), "テキスト"},
        {"list.opml", "<opml version=\"2.0\"><body><outline text=\"x\"/></body></opml>", "OPML"},
        {"notes.bnv", "メモ\n", "UTF-8 のテキスト"},
        {"notes2.bnv", Sjis("メモ") + "\r\n", ""},
        // A document saved under a text name is a document.
        {"saved.txt", "\x07Height376\r\n" + Sjis("仕事") + "@00@\r\n", ""},
    };
    for (const Case& c : cases) {
        host.messages.clear();
        host.answers = {MessageAnswer::Cancel};
        editor.files().openDocument(WriteFile(c.name, c.bytes));
        if (c.format.empty()) {
            EXPECT_TRUE(host.messages.empty()) << c.name;
            EXPECT_EQ(editor.session().fileName(), dir.file(c.name));
            host.answers.clear();
        } else {
            ASSERT_EQ(host.messages.size(), 1u) << c.name;
            EXPECT_EQ(host.messages[0].text.find("」は文書ではなく、" + c.format + " のファイル"),
                      dir.file(c.name).size() + 3)
                << c.name;
        }
    }
}

TEST_F(OpenSaveChecks, AnImportAtTheStartGoesIntoANewDocument) {
    const std::string md = WriteFile("todo.md", "- [ ] 電話する\n");
    host.answers = {MessageAnswer::Import};
    editor.files().start({md});
    EXPECT_EQ(Shape(), V{"todo/0"});
    EXPECT_EQ(Rows(), V{Sjis("電話する")});
    EXPECT_TRUE(editor.session().untitled());
    EXPECT_EQ(editor.session().fileName(), "無題.bnv");
    EXPECT_TRUE(editor.session().isModified());
    EXPECT_TRUE(Recent().empty());
}

TEST_F(OpenSaveChecks, ADocumentReadInPartIsNotSavedOverUnasked) {
    const std::string tail = "\x1A" + Sjis("後半") + "\r\n";
    const std::string bytes = "A@00@\r\n" + tail;
    const std::string path = WriteFile("cut.bnv", bytes);
    host.answers = {MessageAnswer::Ok};  // the warning of the unread lines
    editor.files().openDocument(path);
    editor.editTextChanged(EditBox::Tree, "B");
    const std::string question = "「" + path +
                                 "」は一部しか読み込まれていません。上書きすると読み込まれなかっ"
                                 "た部分は失われます。上書きしますか？";

    // Cancel writes nothing.
    host.messages.clear();
    host.answers = {MessageAnswer::Cancel};
    editor.execute(CommandId::Save);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, question);
    EXPECT_EQ(host.messages[0].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(test::ReadBytes(path), bytes);
    EXPECT_TRUE(editor.session().isModified());

    // No: Save As; cancelling its dialog writes nothing either.
    host.answers = {MessageAnswer::No};
    host.dialogAnswers = {std::nullopt};
    editor.execute(CommandId::Save);
    EXPECT_EQ(host.dialogs.back().fileName, path);
    EXPECT_EQ(test::ReadBytes(path), bytes);

    // The close's save asks too.
    host.answers = {MessageAnswer::Yes, MessageAnswer::Cancel};
    EXPECT_FALSE(editor.files().closeQuery());
    EXPECT_EQ(test::ReadBytes(path), bytes);

    // Yes overwrites; the next save has nothing left to lose and asks nothing.
    host.messages.clear();
    host.answers = {MessageAnswer::Yes};
    editor.execute(CommandId::Save);
    EXPECT_EQ(test::ReadBytes(path).find(Sjis("後半")), std::string::npos);
    editor.editTextChanged(EditBox::Tree, "C");
    editor.execute(CommandId::Save);
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_NE(test::ReadBytes(path).find("C@00@"), std::string::npos);
}

TEST_F(OpenSaveChecks, SaveAsElsewhereAndReadingWholeLeaveNothingToAskAbout) {
    const std::string path = WriteFile("cut.bnv",
                                       "A@00@\r\n\x1A"
                                       "rest\r\n");
    host.answers = {MessageAnswer::Ok};
    editor.files().openDocument(path);
    editor.editTextChanged(EditBox::Tree, "B");
    host.dialogAnswers = {dir.file("other.bnv")};
    editor.execute(CommandId::SaveName);
    editor.editTextChanged(EditBox::Tree, "C");
    editor.execute(CommandId::Save);  // no question: other.bnv holds everything
    EXPECT_NE(test::ReadBytes(dir.file("other.bnv")).find("C@00@"), std::string::npos);
    EXPECT_EQ(test::ReadBytes(path),
              "A@00@\r\n\x1A"
              "rest\r\n");
}

TEST_F(OpenSaveChecks, AutoSaveOverADocumentReadInPartWritesTheCopyInstead) {
    Settings settings;
    settings.autoSave = AutoSaveMode::OverDocument;
    settings.confirmAutoSave = false;
    editor.setSettings(settings);
    const std::string bytes =
        "A@00@\r\n\x1A"
        "rest\r\n";
    const std::string path = WriteFile("cut.bnv", bytes);
    host.answers = {MessageAnswer::Ok};
    editor.files().openDocument(path);
    editor.editTextChanged(EditBox::Tree, "B");
    editor.files().autoSaveTick();
    EXPECT_EQ(test::ReadBytes(path), bytes);
    EXPECT_NE(test::ReadBytes(dir.file("cut.tmp")).find("B@00@"), std::string::npos);
    EXPECT_EQ(editor.hintText(),
              "「cut.bnv」は一部しか読み込まれていないため、「cut.tmp」に自動保存しました");
    EXPECT_TRUE(editor.session().isModified());
    EXPECT_TRUE(host.timer.enabled);
}

TEST_F(OpenSaveChecks, ASaveThatCannotBeWrittenOffersAnotherName) {
    const std::string path = OpenModified();
    auto expectOffer = [&](const std::string& what) {
        ASSERT_FALSE(host.messages.empty()) << what;
        const test::FakeHost::Message& m = host.messages.back();
        EXPECT_EQ(m.buttons, MessageButtons::SaveAsCancel) << what;
        EXPECT_EQ(m.kind, MessageKind::Error) << what;
        EXPECT_EQ(m.text.rfind("ファイル ", 0), 0u) << m.text;
        EXPECT_NE(m.text.find("「別名で保存」で別の場所に保存できます。"), std::string::npos)
            << m.text;
    };
    {
        // A full disk, as a file size limit makes it.
        test::FileSizeLimit limit(4);
        host.answers = {MessageAnswer::Cancel};
        editor.execute(CommandId::Save);
        expectOffer("full");
        EXPECT_TRUE(editor.session().isModified());
        EXPECT_EQ(test::ReadBytes(path), "A@00@\r\n");
    }
    {
        // A read-only file: 別名で保存 goes on to the dialog and the other file.
        test::ReadOnlyFile readOnly(path);
        if (!readOnly.ok()) {
            GTEST_SKIP() << "no way to make a read-only file here";
        }
        host.answers = {MessageAnswer::SaveAs};
        host.dialogAnswers = {dir.file("copy.bnv")};
        editor.execute(CommandId::Save);
        expectOffer("read-only file");
        EXPECT_FALSE(editor.session().isModified());
        EXPECT_EQ(editor.session().fileName(), dir.file("copy.bnv"));
        EXPECT_NE(test::ReadBytes(dir.file("copy.bnv")).find("B@00@"), std::string::npos);
    }
    // A read-only folder, through Save As: the close that asked for the save stops when the
    // offer is cancelled.
    test::ReadOnlyFolder folder(dir.file("locked"));
    if (!folder.ok()) {
        GTEST_SKIP() << "no way to make a read-only folder here";
    }
    editor.editTextChanged(EditBox::Tree, "C");
    host.answers = {MessageAnswer::Yes, MessageAnswer::Cancel};
    host.messages.clear();
    editor.session().setName(dir.file("locked/new.bnv"));
    EXPECT_FALSE(editor.files().closeQuery());
    expectOffer("read-only folder");
    EXPECT_FALSE(std::filesystem::exists(dir.file("locked/new.bnv")));
}

}  // namespace
}  // namespace brenvale

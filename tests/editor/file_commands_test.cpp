#include <gtest/gtest.h>

#include "common/error.h"
#include "editor_fixture.h"
#include "exchange/text_export.h"
#include "support/read_only_file.h"

namespace brenvale {
namespace {

using test::Sjis;
using V = std::vector<std::string>;

class FileCommands : public test::EditorTest {
protected:
    std::string SaveQuestion(const std::string& name) {
        return "ファイル " + name + "\nの内容が変更されています。\n変更を保存しますか？";
    }
    std::string WriteFile(const std::string& name, const std::string& bytes) {
        test::WriteBytes(dir.file(name), bytes);
        return dir.file(name);
    }
    test::TempDir dir;
};

TEST_F(FileCommands, NewMakesTheTwoStartingTopics) {
    editor.files().start({});
    EXPECT_EQ(Shape(),
              (V{std::string(kNewTopicCaption) + "/0", std::string(kTrashCaption) + "/0"}));
    EXPECT_EQ(editor.selection().topic(), editor.document().first());
    EXPECT_EQ(editor.document().lastTopLevel()->icon, kIconTrash);
    EXPECT_EQ(editor.selection().text(EditBox::Tree), kNewTopicCaption);
    EXPECT_EQ(editor.list().rowCount(), 0u);
    EXPECT_FALSE(editor.session().isModified());
    EXPECT_TRUE(editor.session().untitled());
    EXPECT_EQ(editor.session().fileName(), "無題.bnv");
    EXPECT_EQ(editor.session().title(), "無題.bnv - Brenvale");
    EXPECT_EQ(host.timer.enabled, false);
}

TEST_F(FileCommands, TheSaveQuestionGuardsNewOpenAndClose) {
    editor.files().start({});
    editor.files().closeQuery();  // unchanged: no question
    EXPECT_TRUE(host.messages.empty());
    editor.execute(CommandId::AddTree);

    host.answers = {MessageAnswer::Cancel};
    editor.execute(CommandId::NewOpen);
    EXPECT_EQ(host.messages.back().text, SaveQuestion("無題.bnv"));
    EXPECT_EQ(host.messages.back().kind, MessageKind::Warning);
    EXPECT_EQ(editor.document().topicCount(), 3u);
    host.answers = {MessageAnswer::Cancel};
    EXPECT_FALSE(editor.files().closeQuery());

    host.answers = {MessageAnswer::No};
    editor.execute(CommandId::NewOpen);
    EXPECT_EQ(editor.document().topicCount(), 2u);
    EXPECT_FALSE(editor.session().isModified());

    // Yes on a new document asks for a name; cancelling that stops the close.
    editor.execute(CommandId::AddTree);
    host.answers = {MessageAnswer::Yes};
    host.dialogAnswers = {std::nullopt};
    EXPECT_FALSE(editor.files().closeQuery());
    EXPECT_EQ(host.dialogs.back().fileName, "無題.bnv");
    EXPECT_EQ(host.dialogs.back().defaultExtension, "bnv");
    host.answers = {MessageAnswer::Yes};
    host.dialogAnswers = {dir.file("saved.bnv")};
    EXPECT_TRUE(editor.files().closeQuery());
    EXPECT_FALSE(editor.session().isModified());
}

TEST_F(FileCommands, SaveOfANewDocumentAsksForANameAndCancelChangesNothing) {
    editor.files().start({});
    editor.execute(CommandId::AddTree);
    host.dialogAnswers = {std::nullopt};
    editor.execute(CommandId::Save);
    EXPECT_TRUE(editor.session().isModified());  // not saved
    EXPECT_TRUE(editor.session().isModified());
    EXPECT_TRUE(editor.session().untitled());

    host.geometry = {400, 600, 10, 20, 150};
    host.dialogAnswers = {dir.file("a.bnv")};
    editor.execute(CommandId::Save);
    EXPECT_TRUE(FileExists(editor.session().fileName()));
    EXPECT_FALSE(editor.session().isModified());
    EXPECT_EQ(editor.session().fileName(), dir.file("a.bnv"));
    EXPECT_EQ(editor.session().recentFiles().paths(), V{dir.file("a.bnv")});
    std::string bytes = test::ReadBytes(dir.file("a.bnv"));
    EXPECT_EQ(bytes.substr(0, 12), "\x07Height400\r\n");
}

TEST_F(FileCommands, SaveAsAsksBeforeOverwriting) {
    editor.files().start({});
    std::string existing = WriteFile("old.bnv", "old");
    host.dialogAnswers = {existing};
    host.answers = {MessageAnswer::Cancel};
    editor.execute(CommandId::SaveName);
    EXPECT_EQ(host.messages.back().text,
              "old.bnv\nこのファイルは既に存在します。\n\n上書きしますか？");
    EXPECT_EQ(test::ReadBytes(existing), "old");
    EXPECT_TRUE(editor.session().untitled());
    host.dialogAnswers = {existing};
    host.answers = {MessageAnswer::Ok};
    editor.execute(CommandId::SaveName);
    EXPECT_NE(test::ReadBytes(existing), "old");
    EXPECT_EQ(editor.session().title(), existing + " - Brenvale");
}

TEST_F(FileCommands, OpenReadsTheFileAndAppliesItsGeometry) {
    std::string path =
        WriteFile("a.bnv", "\x07Width700\r\nA@03@\r\n\x08" + Sjis("■") + "x\r\n\tB\r\n");
    editor.files().openDocument(path);
    EXPECT_EQ(Shape(), (V{"A/0+", "B/1"}));
    EXPECT_EQ(Rows(), V{"x*"});
    EXPECT_EQ(editor.selection().text(EditBox::Tree), "A");
    EXPECT_EQ(editor.session().fileName(), path);
    EXPECT_FALSE(editor.session().untitled());
    EXPECT_FALSE(editor.session().isModified());
    ASSERT_EQ(host.applied.size(), 1u);
    EXPECT_EQ(host.applied[0].width, 700);
    EXPECT_TRUE(host.applied[0].sawGeometryLine);
    EXPECT_EQ(editor.session().recentFiles().paths(), V{path});
}

TEST_F(FileCommands, OpeningTheOpenFileWhenChangedAsksAndReloads) {
    std::string path = WriteFile("a.bnv", "A\r\n");
    editor.files().openDocument(path);
    editor.editTextChanged(EditBox::Tree, "changed");
    host.answers = {MessageAnswer::No};
    editor.files().openDocument(path);
    EXPECT_EQ(host.messages.back().text, SaveQuestion(path));
    EXPECT_EQ(editor.document().first()->caption, "A");
    EXPECT_FALSE(editor.session().isModified());
}

// A path where nothing is is told at once, whether it came from the open dialog or elsewhere:
// no question about the changes comes first, and they stay.
TEST_F(FileCommands, AMissingFileIsToldBeforeAnyQuestion) {
    editor.files().start({});
    editor.execute(CommandId::AddTree);
    std::string missing = dir.file("gone.bnv");
    size_t topics = editor.document().topicCount();
    host.dialogAnswers = {missing};
    host.answers = {MessageAnswer::Ok};
    editor.execute(CommandId::Open);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages.back().text, "ファイル " + missing + "が見つかりません。");
    host.answers = {MessageAnswer::Ok};
    editor.files().openDocument(missing);
    EXPECT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages.back().kind, MessageKind::Error);
    EXPECT_TRUE(editor.session().isModified());
    EXPECT_EQ(editor.document().topicCount(), topics);
}

TEST_F(FileCommands, AMissingOrUnreadableFileLeavesTheDocumentAsItWas) {
    editor.files().start({});
    editor.execute(CommandId::AddTree);
    host.answers = {MessageAnswer::No, MessageAnswer::Ok};
    editor.files().openDocument(dir.file("missing.bnv"));
    EXPECT_EQ(host.messages.back().text,
              "ファイル " + dir.file("missing.bnv") + "が見つかりません。");
    EXPECT_EQ(host.messages.back().kind, MessageKind::Error);
    EXPECT_EQ(editor.document().topicCount(), 3u);

    // A file that exists but fails to read (reading this one at offset 0 is an I/O error).
    host.answers = {MessageAnswer::No};
    EXPECT_THROW(editor.files().openDocument("/proc/self/mem"), Error);
    EXPECT_EQ(editor.document().topicCount(), 3u);
    EXPECT_TRUE(editor.session().isModified());

    // A folder is there, and is said to be a folder.
    host.answers = {MessageAnswer::No};
    size_t shown = host.messages.size();
    try {
        editor.files().openDocument(dir.path());
        ADD_FAILURE() << "a folder was opened";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "「" + dir.path() + "」はフォルダです。");
    }
    EXPECT_EQ(host.messages.size(), shown + 1);  // only the save question
    EXPECT_EQ(editor.document().topicCount(), 3u);
}

TEST_F(FileCommands, ACommandLineOfThreeFilesOpensOneAndLaunchesTwo) {
    std::string a = WriteFile("a.bnv", "A\r\n");
    editor.files().start({a, dir.file("b c.bnv"), dir.file("c.bnv")});
    EXPECT_EQ(editor.session().fileName(), a);
    EXPECT_EQ(host.launched, (V{dir.file("b c.bnv"), dir.file("c.bnv")}));
}

TEST_F(FileCommands, AMissingFirstArgumentLeavesNoDocumentThatSavesAsSaveAs) {
    host.answers = {MessageAnswer::Ok};
    editor.files().start({dir.file("missing.bnv")});
    EXPECT_EQ(editor.session().fileName(), "");
    EXPECT_EQ(editor.session().title(), "Brenvale");
    EXPECT_FALSE(editor.isEnabled(CommandId::SaveText));
    editor.execute(CommandId::AddTree);
    host.dialogAnswers = {std::nullopt};
    editor.execute(CommandId::Save);
    EXPECT_EQ(host.dialogs.back().fileName, "");
    EXPECT_TRUE(editor.session().isModified());  // not saved
}

TEST_F(FileCommands, DroppedFilesOpenTheFirstWholeAndLaunchTheRest) {
    std::string folder = dir.file(std::string(120, 'x') + "/" + std::string(120, 'y'));
    std::filesystem::create_directories(folder);
    std::string path = folder + "/a.bnv";  // longer than 254 bytes in all
    test::WriteBytes(path, "A\r\n");
    ASSERT_GT(path.size(), 254u);
    editor.files().filesDropped({path, dir.file("other.bnv")});
    EXPECT_EQ(editor.session().fileName(), path);
    EXPECT_EQ(host.launched, V{dir.file("other.bnv")});
}

TEST_F(FileCommands, TheRecentListKeepsTenEntriesMostRecentFirst) {
    std::vector<std::string> paths;
    for (int i = 0; i < 11; ++i) {
        paths.push_back(WriteFile("f" + std::to_string(i) + ".bnv", "A\r\n"));
        editor.files().openDocument(paths.back());
    }
    const RecentFiles& recent = editor.session().recentFiles();
    ASSERT_EQ(recent.size(), 10u);
    EXPECT_EQ(recent.paths().front(), paths[10]);
    EXPECT_EQ(recent.caption(0), "&0 " + paths[10]);
    EXPECT_EQ(recent.caption(9), "&9 " + paths[1]);

    editor.session().addRecentFile(paths[3]);  // listed already: moves up
    EXPECT_EQ(recent.paths().front(), paths[3]);
    EXPECT_EQ(recent.size(), 10u);

    // Letter case makes another file here: it gets its own entry, and each opens its own file.
    std::string other = WriteFile("F3.BNV", "Other\r\n");
    editor.session().addRecentFile(other);
    ASSERT_EQ(recent.size(), 10u);
    EXPECT_EQ(recent.paths()[0], other);
    EXPECT_EQ(recent.paths()[1], paths[3]);
    editor.files().fileRecentClick(1);
    EXPECT_EQ(editor.session().fileName(), paths[3]);
    EXPECT_EQ(editor.document().first()->caption, "A");
    editor.files().fileRecentClick(1);
    EXPECT_EQ(editor.session().fileName(), other);
    EXPECT_EQ(editor.document().first()->caption, "Other");

    host.answers = {MessageAnswer::Cancel, MessageAnswer::Ok};
    editor.files().fileRecentDelClick();
    EXPECT_EQ(host.messages.back().text,
              "ファイルの履歴を削除（クリア）します。\nよろしいですか？");
    EXPECT_EQ(recent.size(), 10u);
    editor.files().fileRecentDelClick();
    EXPECT_EQ(recent.size(), 0u);
}

TEST_F(FileCommands, AVanishedRecentFileSaysSoAndStaysListed) {
    std::string path = WriteFile("a.bnv", "A\r\n");
    editor.files().openDocument(path);
    std::filesystem::remove(path);
    host.answers = {MessageAnswer::Ok};
    editor.files().fileRecentClick(0);
    EXPECT_EQ(host.messages.back().kind, MessageKind::Error);
    EXPECT_EQ(editor.session().recentFiles().size(), 1u);
}

TEST_F(FileCommands, TheTitleShowsAShortenedPathWhenActive) {
    Settings settings;
    editor.setSettings(settings);
    editor.session().setTitleMeasure(
        [](std::string_view s) { return static_cast<int>(s.size()) * 10; });
    std::string path = WriteFile("a.bnv", "A\r\n");
    editor.files().openDocument(path);
    EXPECT_EQ(editor.session().title(),
              ShortenPathToWidth(
                  path, [](std::string_view s) { return static_cast<int>(s.size()) * 10; }, 200) +
                  " - Brenvale");
    host.applicationActive = false;
    editor.session().updateTitle();
    EXPECT_EQ(editor.session().title(), "a.bnv - Brenvale");
    settings.titleShowsPath = false;
    host.applicationActive = true;
    editor.setSettings(settings);
    editor.session().updateTitle();
    EXPECT_EQ(editor.session().title(), "a.bnv - Brenvale");
}

TEST_F(FileCommands, AFileThatMayNotBeWrittenSaysSoInTheTitle) {
    Settings settings;
    settings.titleShowsPath = false;
    editor.setSettings(settings);
    std::string path = WriteFile("a.bnv", "A\r\n");
    {
        test::ReadOnlyFile locked(path);
        if (!locked.ok()) {
            GTEST_SKIP() << "no way to make a read-only file here";
        }
        editor.files().openDocument(path);
        EXPECT_EQ(editor.session().title(), "a.bnv [読み取り専用] - Brenvale");
    }
    // Writable again: the title follows at its next update (the window's activation).
    editor.session().updateTitle();
    EXPECT_EQ(editor.session().title(), "a.bnv - Brenvale");
    // A file that went is none that may not be written: Save makes it again.
    std::remove(path.c_str());
    editor.session().updateTitle();
    EXPECT_EQ(editor.session().title(), "a.bnv - Brenvale");
}

TEST_F(FileCommands, SavingTrimsTheVisibleListAndKeepsTheSelectedRow) {
    std::string path =
        WriteFile("a.bnv", "A\r\n\x08" + Sjis("□") + " x \r\n\x08" + Sjis("□") + "y\r\n");
    editor.files().openDocument(path);
    editor.selectRow(1);
    editor.editTextChanged(EditBox::Tree, "B");
    editor.execute(CommandId::Save);
    EXPECT_EQ(Rows(), (V{"x", "y"}));
    EXPECT_EQ(editor.list().selectedRow(), 1);
}

TEST_F(FileCommands, TheExportUsesItsOwnDialogSettingsAndChangesNothingElse) {
    editor.files().start({});
    host.dialogAnswers = {dir.file("out.txt")};
    editor.execute(CommandId::SaveText);
    const FileDialogOptions& d = host.dialogs.back();
    EXPECT_EQ(d.fileName, "無題.txt");
    EXPECT_EQ(d.defaultExtension, "txt");
    EXPECT_EQ(d.filterIndex, 3);
    EXPECT_EQ(d.title, "テキスト形式で保存");
    EXPECT_EQ(test::ReadBytes(dir.file("out.txt")), ExportText(editor.document(), {}));
    EXPECT_FALSE(editor.session().isModified());
    EXPECT_EQ(editor.session().recentFiles().size(), 0u);
    EXPECT_EQ(editor.session().title(), "無題.bnv - Brenvale");

    host.dialogAnswers = {dir.file("out.txt")};
    host.answers = {MessageAnswer::Cancel};
    editor.execute(CommandId::SaveText);
    EXPECT_EQ(host.messages.back().text,
              "out.txt\nこのファイルは既に存在します。\n\n上書きしますか？");
    // The dialog's last filter writes the same text in UTF-8.
    host.dialogAnswers = {dir.file("utf8.txt")};
    host.filterAnswers = {4};
    editor.execute(CommandId::SaveText);
    EXPECT_EQ(test::ReadBytes(dir.file("utf8.txt")),
              ExportText(editor.document(), {}, TextEncoding::Utf8));

    editor.execute(CommandId::AddTree);
    host.dialogAnswers = {std::nullopt};
    editor.execute(CommandId::SaveName);
    EXPECT_EQ(host.dialogs.back().defaultExtension, "bnv");
    EXPECT_EQ(host.dialogs.back().filterIndex, 1);
}

TEST_F(FileCommands, ABackupThatCannotBeMadeAsksBeforeTheDocumentIsReplaced) {
    std::string path = WriteFile("a.bnv", "A@00@\r\n");
    Settings settings;
    settings.backup = true;
    settings.backupFolder = dir.file("missing");
    editor.setSettings(settings);
    editor.files().openDocument(path);
    editor.editTextChanged(EditBox::Tree, "B");

    // No: nothing is written, the document stays modified, and the close does not go on.
    host.answers = {MessageAnswer::No};
    editor.execute(CommandId::Save);
    ASSERT_EQ(host.messages.size(), 1u);
    const std::string backup = dir.file("missing") + "/a.BAK";
    EXPECT_EQ(host.messages[0].text.rfind(
                  "バックアップファイル「" + backup + "」を作成できませんでした（", 0),
              0u)
        << host.messages[0].text;
    EXPECT_NE(host.messages[0].text.find("）。バックアップなしで保存しますか？"),
              std::string::npos);
    EXPECT_EQ(host.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(test::ReadBytes(path), "A@00@\r\n");
    EXPECT_TRUE(editor.session().isModified());
    host.answers = {MessageAnswer::Yes, MessageAnswer::No};
    EXPECT_FALSE(editor.files().closeQuery());
    EXPECT_EQ(test::ReadBytes(path), "A@00@\r\n");

    // Yes: saved without a backup.
    host.answers = {MessageAnswer::Yes};
    editor.execute(CommandId::Save);
    EXPECT_NE(test::ReadBytes(path).find("B@00@"), std::string::npos);
    EXPECT_FALSE(editor.session().isModified());
    EXPECT_FALSE(std::filesystem::exists(backup));

    // An old backup that cannot be replaced says why, and offers the same choice.
    settings.backupFolder = std::string(kOwnFolderToken);
    editor.setSettings(settings);
    std::filesystem::create_directories(dir.file("a.BAK/inner"));
    editor.editTextChanged(EditBox::Tree, "C");
    host.messages.clear();
    host.answers = {MessageAnswer::Yes};
    editor.execute(CommandId::Save);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text.rfind("古いバックアップファイル「" + dir.file("a.BAK") +
                                              "」を削除できないため保存できません。",
                                          0),
              0u)
        << host.messages[0].text;
    EXPECT_NE(test::ReadBytes(path).find("C@00@"), std::string::npos);
}

TEST_F(FileCommands, OpeningSaysWhatWasNotRead) {
    // Lines after a 0x1A, and an Item before the first Topic.
    std::string path =
        WriteFile("cut.bnv", "\x08" + Sjis("□") + "lost\r\nA\r\n\x1A" + "B\r\nC\r\n");
    host.answers = {MessageAnswer::Ok};
    editor.files().openDocument(path);
    EXPECT_EQ(Shape(), V{"A/0"});
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(
        host.messages[0].text,
        "このファイルの一部（3 行）は読み込まれませんでした。保存するとその部分は失われます。");
    EXPECT_EQ(host.messages[0].kind, MessageKind::Warning);
    // A UTF-8 mark: the user is asked first whether it is a document at all; opened as one,
    // it says nothing more.
    host.messages.clear();
    host.answers = {MessageAnswer::Open};
    editor.files().openDocument(WriteFile("utf8.bnv",
                                          "\xEF\xBB\xBF"
                                          "A\r\n"));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].text.find("UTF-8"), std::string::npos);
    EXPECT_EQ(host.messages[0].buttons, MessageButtons::ImportOpenCancel);
    // A UTF-16 file is refused, and the document stays.
    EXPECT_THROW(editor.files().openDocument(WriteFile("utf16.bnv", std::string("\xFF\xFE"
                                                                                "A\0\r\0",
                                                                                6))),
                 Error);
    EXPECT_EQ(editor.session().fileName(), dir.file("utf8.bnv"));
}

}  // namespace
}  // namespace brenvale

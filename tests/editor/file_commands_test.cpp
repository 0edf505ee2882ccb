#include <gtest/gtest.h>

#include "common/error.h"
#include "document/text_export.h"
#include "editor_fixture.h"

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
    editor.Start({});
    EXPECT_EQ(Shape(),
              (V{std::string(kNewTopicCaption) + "/0", std::string(kTrashCaption) + "/0"}));
    EXPECT_EQ(editor.selectedTopic(), editor.document().first());
    EXPECT_EQ(editor.document().lastTopLevel()->icon, kIconTrash);
    EXPECT_EQ(editor.treeEditText(), kNewTopicCaption);
    EXPECT_EQ(editor.rowCount(), 0u);
    EXPECT_FALSE(editor.isModified());
    EXPECT_TRUE(editor.document().untitled);
    EXPECT_EQ(editor.document().fileName, "無題.bnv");
    EXPECT_EQ(editor.title(), "無題.bnv - Brenvale");
    EXPECT_EQ(host.timer.enabled, false);
}

TEST_F(FileCommands, TheSaveQuestionGuardsNewOpenAndClose) {
    editor.Start({});
    editor.CloseQuery();  // unchanged: no question
    EXPECT_TRUE(host.messages.empty());
    editor.AddTreeExecute();

    host.answers = {MessageAnswer::Cancel};
    editor.NewOpenExecute();
    EXPECT_EQ(host.messages.back().text, SaveQuestion("無題.bnv"));
    EXPECT_EQ(host.messages.back().kind, MessageKind::Warning);
    EXPECT_EQ(editor.document().topicCount(), 3u);
    host.answers = {MessageAnswer::Cancel};
    EXPECT_FALSE(editor.CloseQuery());

    host.answers = {MessageAnswer::No};
    editor.NewOpenExecute();
    EXPECT_EQ(editor.document().topicCount(), 2u);
    EXPECT_FALSE(editor.isModified());

    // Yes on a new document asks for a name; cancelling that stops the close.
    editor.AddTreeExecute();
    host.answers = {MessageAnswer::Yes};
    host.dialogAnswers = {std::nullopt};
    EXPECT_FALSE(editor.CloseQuery());
    EXPECT_EQ(host.dialogs.back().fileName, "無題.bnv");
    EXPECT_EQ(host.dialogs.back().defaultExtension, "bnv");
    host.answers = {MessageAnswer::Yes};
    host.dialogAnswers = {dir.file("saved.bnv")};
    EXPECT_TRUE(editor.CloseQuery());
    EXPECT_FALSE(editor.isModified());
}

TEST_F(FileCommands, SaveOfANewDocumentAsksForANameAndCancelChangesNothing) {
    editor.Start({});
    editor.AddTreeExecute();
    host.dialogAnswers = {std::nullopt};
    editor.SaveExecute();
    EXPECT_FALSE(editor.saveSucceeded());
    EXPECT_TRUE(editor.isModified());
    EXPECT_TRUE(editor.document().untitled);

    host.geometry = {400, 600, 10, 20, 150};
    host.dialogAnswers = {dir.file("a.bnv")};
    editor.SaveExecute();
    EXPECT_TRUE(editor.saveSucceeded());
    EXPECT_FALSE(editor.isModified());
    EXPECT_EQ(editor.document().fileName, dir.file("a.bnv"));
    EXPECT_EQ(editor.recentFiles().paths(), V{dir.file("a.bnv")});
    std::string bytes = test::ReadBytes(dir.file("a.bnv"));
    EXPECT_EQ(bytes.substr(0, 12), "\x07Height400\r\n");
}

TEST_F(FileCommands, SaveAsAsksBeforeOverwriting) {
    editor.Start({});
    std::string existing = WriteFile("old.bnv", "old");
    host.dialogAnswers = {existing};
    host.answers = {MessageAnswer::Cancel};
    editor.SaveNameExecute();
    EXPECT_EQ(host.messages.back().text,
              "old.bnv\nこのファイルは既に存在します。\n\n上書きしますか？");
    EXPECT_EQ(test::ReadBytes(existing), "old");
    EXPECT_TRUE(editor.document().untitled);
    host.dialogAnswers = {existing};
    host.answers = {MessageAnswer::Ok};
    editor.SaveNameExecute();
    EXPECT_NE(test::ReadBytes(existing), "old");
    EXPECT_EQ(editor.title(), existing + " - Brenvale");
}

TEST_F(FileCommands, OpenReadsTheFileAndAppliesItsGeometry) {
    std::string path =
        WriteFile("a.bnv", "\x07Width700\r\nA@03@\r\n\x08" + Sjis("■") + "x\r\n\tB\r\n");
    editor.OpenDocument(path);
    EXPECT_EQ(Shape(), (V{"A/0+", "B/1"}));
    EXPECT_EQ(Rows(), V{"x*"});
    EXPECT_EQ(editor.treeEditText(), "A");
    EXPECT_EQ(editor.document().fileName, path);
    EXPECT_FALSE(editor.document().untitled);
    EXPECT_FALSE(editor.isModified());
    ASSERT_EQ(host.applied.size(), 1u);
    EXPECT_EQ(host.applied[0].width, 700);
    EXPECT_TRUE(host.applied[0].sawGeometryLine);
    EXPECT_EQ(editor.recentFiles().paths(), V{path});
}

TEST_F(FileCommands, OpeningTheOpenFileWhenChangedAsksAndReloads) {
    std::string path = WriteFile("a.bnv", "A\r\n");
    editor.OpenDocument(path);
    editor.TreeEditChanged("changed");
    host.answers = {MessageAnswer::No};
    editor.OpenDocument(path);
    EXPECT_EQ(host.messages.back().text, SaveQuestion(path));
    EXPECT_EQ(editor.document().first()->caption, "A");
    EXPECT_FALSE(editor.isModified());
}

TEST_F(FileCommands, AMissingOrUnreadableFileLeavesTheDocumentAsItWas) {
    editor.Start({});
    editor.AddTreeExecute();
    host.answers = {MessageAnswer::No, MessageAnswer::Ok};
    editor.OpenDocument(dir.file("missing.bnv"));
    EXPECT_EQ(host.messages.back().text,
              "ファイル " + dir.file("missing.bnv") + "が見つかりません。");
    EXPECT_EQ(host.messages.back().kind, MessageKind::Error);
    EXPECT_EQ(editor.document().topicCount(), 3u);

    // A file that exists but fails to read (reading this one at offset 0 is an I/O error).
    host.answers = {MessageAnswer::No};
    EXPECT_THROW(editor.OpenDocument("/proc/self/mem"), Error);
    EXPECT_EQ(editor.document().topicCount(), 3u);
    EXPECT_TRUE(editor.isModified());

    // A folder is there, and is said to be a folder.
    host.answers = {MessageAnswer::No};
    size_t shown = host.messages.size();
    try {
        editor.OpenDocument(dir.path());
        ADD_FAILURE() << "a folder was opened";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "「" + dir.path() + "」はフォルダです。");
    }
    EXPECT_EQ(host.messages.size(), shown + 1);  // only the save question
    EXPECT_EQ(editor.document().topicCount(), 3u);
}

TEST_F(FileCommands, ACommandLineOfThreeFilesOpensOneAndLaunchesTwo) {
    std::string a = WriteFile("a.bnv", "A\r\n");
    editor.Start({a, dir.file("b c.bnv"), dir.file("c.bnv")});
    EXPECT_EQ(editor.document().fileName, a);
    EXPECT_EQ(host.launched, (V{dir.file("b c.bnv"), dir.file("c.bnv")}));
}

TEST_F(FileCommands, AMissingFirstArgumentLeavesNoDocumentThatSavesAsSaveAs) {
    host.answers = {MessageAnswer::Ok};
    editor.Start({dir.file("missing.bnv")});
    EXPECT_EQ(editor.document().fileName, "");
    EXPECT_EQ(editor.title(), "Brenvale");
    EXPECT_FALSE(editor.isEnabled(CommandId::SaveText));
    editor.AddTreeExecute();
    host.dialogAnswers = {std::nullopt};
    editor.SaveExecute();
    EXPECT_EQ(host.dialogs.back().fileName, "");
    EXPECT_FALSE(editor.saveSucceeded());
}

TEST_F(FileCommands, DroppedFilesOpenTheFirstWholeAndLaunchTheRest) {
    std::string folder = dir.file(std::string(120, 'x') + "/" + std::string(120, 'y'));
    std::filesystem::create_directories(folder);
    std::string path = folder + "/a.bnv";  // longer than 254 bytes in all
    test::WriteBytes(path, "A\r\n");
    ASSERT_GT(path.size(), 254u);
    editor.FilesDropped({path, dir.file("other.bnv")});
    EXPECT_EQ(editor.document().fileName, path);
    EXPECT_EQ(host.launched, V{dir.file("other.bnv")});
}

TEST_F(FileCommands, TheRecentListKeepsTenEntriesMostRecentFirst) {
    std::vector<std::string> paths;
    for (int i = 0; i < 11; ++i) {
        paths.push_back(WriteFile("f" + std::to_string(i) + ".bnv", "A\r\n"));
        editor.OpenDocument(paths.back());
    }
    const RecentFiles& recent = editor.recentFiles();
    ASSERT_EQ(recent.size(), 10u);
    EXPECT_EQ(recent.paths().front(), paths[10]);
    EXPECT_EQ(recent.caption(0), "&0 " + paths[10]);
    EXPECT_EQ(recent.caption(9), "&9 " + paths[1]);

    editor.AddRecentFile(paths[3]);  // listed already: moves up
    EXPECT_EQ(recent.paths().front(), paths[3]);
    EXPECT_EQ(recent.size(), 10u);

    // Letter case makes another file here: it gets its own entry, and each opens its own file.
    std::string other = WriteFile("F3.BNV", "Other\r\n");
    editor.AddRecentFile(other);
    ASSERT_EQ(recent.size(), 10u);
    EXPECT_EQ(recent.paths()[0], other);
    EXPECT_EQ(recent.paths()[1], paths[3]);
    editor.FileRecentClick(1);
    EXPECT_EQ(editor.document().fileName, paths[3]);
    EXPECT_EQ(editor.document().first()->caption, "A");
    editor.FileRecentClick(1);
    EXPECT_EQ(editor.document().fileName, other);
    EXPECT_EQ(editor.document().first()->caption, "Other");

    host.answers = {MessageAnswer::Cancel, MessageAnswer::Ok};
    editor.FileRecentDelClick();
    EXPECT_EQ(host.messages.back().text,
              "ファイルの履歴を削除（クリア）します。\nよろしいですか？");
    EXPECT_EQ(recent.size(), 10u);
    editor.FileRecentDelClick();
    EXPECT_EQ(recent.size(), 0u);
}

TEST_F(FileCommands, AVanishedRecentFileSaysSoAndStaysListed) {
    std::string path = WriteFile("a.bnv", "A\r\n");
    editor.OpenDocument(path);
    std::filesystem::remove(path);
    host.answers = {MessageAnswer::Ok};
    editor.FileRecentClick(0);
    EXPECT_EQ(host.messages.back().kind, MessageKind::Error);
    EXPECT_EQ(editor.recentFiles().size(), 1u);
}

TEST_F(FileCommands, TheTitleShowsAShortenedPathWhenActive) {
    Settings settings;
    editor.setSettings(settings);
    editor.setTitleMeasure([](std::string_view s) { return static_cast<int>(s.size()) * 10; });
    std::string path = WriteFile("a.bnv", "A\r\n");
    editor.OpenDocument(path);
    EXPECT_EQ(editor.title(),
              ShortenPathToWidth(
                  path, [](std::string_view s) { return static_cast<int>(s.size()) * 10; }, 200) +
                  " - Brenvale");
    host.applicationActive = false;
    editor.UpdateTitle();
    EXPECT_EQ(editor.title(), "a.bnv - Brenvale");
    settings.titleShowsPath = false;
    host.applicationActive = true;
    editor.setSettings(settings);
    editor.UpdateTitle();
    EXPECT_EQ(editor.title(), "a.bnv - Brenvale");
}

TEST_F(FileCommands, SavingTrimsTheVisibleListAndKeepsTheSelectedRow) {
    std::string path =
        WriteFile("a.bnv", "A\r\n\x08" + Sjis("□") + " x \r\n\x08" + Sjis("□") + "y\r\n");
    editor.OpenDocument(path);
    editor.SelectRow(1);
    editor.TreeEditChanged("B");
    editor.SaveExecute();
    EXPECT_EQ(Rows(), (V{"x", "y"}));
    EXPECT_EQ(editor.selectedRow(), 1);
}

TEST_F(FileCommands, TheExportUsesItsOwnDialogSettingsAndChangesNothingElse) {
    editor.Start({});
    host.dialogAnswers = {dir.file("out.txt")};
    editor.SaveTextExecute();
    const FileDialogOptions& d = host.dialogs.back();
    EXPECT_EQ(d.fileName, "無題.txt");
    EXPECT_EQ(d.defaultExtension, "txt");
    EXPECT_EQ(d.filterIndex, 3);
    EXPECT_EQ(d.title, "テキスト形式で保存");
    EXPECT_EQ(test::ReadBytes(dir.file("out.txt")), ExportText(editor.document(), {}));
    EXPECT_FALSE(editor.isModified());
    EXPECT_EQ(editor.recentFiles().size(), 0u);
    EXPECT_EQ(editor.title(), "無題.bnv - Brenvale");

    host.dialogAnswers = {dir.file("out.txt")};
    host.answers = {MessageAnswer::Cancel};
    editor.SaveTextExecute();
    EXPECT_EQ(host.messages.back().text,
              "out.txt\nこのファイルは既に存在します。\n\n上書きしますか？");

    editor.AddTreeExecute();
    host.dialogAnswers = {std::nullopt};
    editor.SaveNameExecute();
    EXPECT_EQ(host.dialogs.back().defaultExtension, "bnv");
    EXPECT_EQ(host.dialogs.back().filterIndex, 1);
}

}  // namespace
}  // namespace brenvale

#include <gtest/gtest.h>

#include "common/error.h"
#include "document/backup_copy.h"
#include "editor_fixture.h"

namespace brenvale {
namespace {

class AutoSave : public test::EditorTest {
protected:
    void Mode(int mode, bool confirmAutoSave = true,
              std::string tempFolder =
                  "\x81\xA6"
                  "File") {
        Settings settings;
        settings.autoSave = static_cast<AutoSaveMode>(mode);
        settings.confirmAutoSave = confirmAutoSave;
        settings.tempFolder = std::move(tempFolder);
        editor.setSettings(settings);
        editor.setProgramFolder(dir.file("program"));
        std::filesystem::create_directory(dir.file("program"));
    }
    std::string OpenSample() {
        std::string path = dir.file("a.bnv");
        test::WriteBytes(path, "A\r\n");
        editor.OpenDocument(path);
        return path;
    }
    test::TempDir dir;
};

TEST_F(AutoSave, TheTimerRunsOnlyWhileModifiedAndAutoSaveIsOn) {
    Mode(1);
    editor.Start({});
    editor.AddTreeExecute();
    EXPECT_FALSE(host.timer.enabled);
    Mode(2);
    editor.AddTreeExecute();
    EXPECT_TRUE(host.timer.enabled);
    EXPECT_EQ(host.timer.interval, 600000);
    int starts = host.timer.starts;
    editor.AddTreeExecute();  // later edits do not push the tick back
    EXPECT_EQ(host.timer.starts, starts);
    editor.setAutoSaveInterval(0);  // a period of 0 never fires
    EXPECT_FALSE(host.timer.enabled);
}

TEST_F(AutoSave, ModeTwoWritesATemporaryCopyBesideTheDocument) {
    Mode(2);
    std::string path = OpenSample();
    editor.TreeEditChanged("B");
    editor.AutoSaveTick();
    std::string copy = test::ReadBytes(dir.file("a.tmp"));
    EXPECT_EQ(copy.substr(copy.size() - 7), "B@00@\r\n");
    EXPECT_EQ(test::ReadBytes(path), "A\r\n");
    EXPECT_TRUE(editor.isModified());
    EXPECT_EQ(editor.title(), path + " - Brenvale");
    EXPECT_TRUE(host.timer.enabled);
}

TEST_F(AutoSave, ModeTwoUsesTheTemporaryFolderOrTheProgramFolderForANewDocument) {
    std::filesystem::create_directory(dir.file("tmp"));
    Mode(2, true, dir.file("tmp"));
    OpenSample();
    editor.TreeEditChanged("B");
    editor.AutoSaveTick();
    EXPECT_TRUE(std::filesystem::exists(dir.file("tmp/a.tmp")));

    Mode(2);
    editor.SetModified(false);
    editor.NewOpenExecute();
    editor.AddTreeExecute();
    editor.AutoSaveTick();
    EXPECT_TRUE(std::filesystem::exists(dir.file("program/無題.tmp")));
}

TEST_F(AutoSave, ATickDoesNothingWithoutChangesOrWhileADialogIsActive) {
    Mode(2);
    OpenSample();
    editor.AutoSaveTick();
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.tmp")));
    editor.TreeEditChanged("B");
    host.mainWindowActive = false;
    editor.AutoSaveTick();
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.tmp")));
    EXPECT_TRUE(host.timer.enabled);
}

TEST_F(AutoSave, AFailedCopyLeavesTheTimerOff) {
    Mode(2, true, dir.file("no-such-folder"));
    OpenSample();
    editor.TreeEditChanged("B");
    EXPECT_THROW(editor.AutoSaveTick(), Error);
    EXPECT_FALSE(host.timer.enabled);
    editor.TreeEditChanged("C");
    EXPECT_TRUE(host.timer.enabled);
}

TEST_F(AutoSave, ModeThreeAsksAndNoAsksAgainLater) {
    Mode(3);
    std::string path = OpenSample();
    editor.TreeEditChanged("B");
    host.answers = {MessageAnswer::No};
    editor.AutoSaveTick();
    EXPECT_EQ(host.messages.back().text,
              "指定時間が経過しました。\nファイルを上書き保存してもよろしいですか？");
    EXPECT_EQ(host.messages.back().buttons, MessageButtons::YesNo);
    EXPECT_TRUE(editor.isModified());
    EXPECT_TRUE(host.timer.enabled);
    host.answers = {MessageAnswer::Yes};
    editor.AutoSaveTick();
    EXPECT_FALSE(editor.isModified());
    EXPECT_NE(test::ReadBytes(path).find("B@00@"), std::string::npos);
}

TEST_F(AutoSave, ModeThreeWithoutQuestionSavesAndANewDocumentAsksForAName) {
    Mode(3, false);
    editor.Start({});
    editor.AddTreeExecute();
    host.dialogAnswers = {std::nullopt};
    editor.AutoSaveTick();
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(editor.isModified());
    EXPECT_TRUE(host.timer.enabled);  // a cancelled Save As is no error
}

TEST_F(AutoSave, ModeThreeEndsTheTickWhenTheBackupCannotBeMade) {
    Mode(3, false);
    Settings settings = editor.settings();
    settings.backup = true;
    editor.setSettings(settings);
    std::string path = OpenSample();
    std::filesystem::create_directories(dir.file("a.BAK/inner"));  // cannot be replaced
    editor.TreeEditChanged("B");
    // The error goes to the window's error report, as any failed save's does.
    EXPECT_THROW(editor.AutoSaveTick(), BackupError);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(editor.isModified());
    EXPECT_EQ(test::ReadBytes(path), "A\r\n");
    EXPECT_FALSE(host.timer.enabled);
    editor.TreeEditChanged("C");  // the next change switches it on again
    EXPECT_TRUE(host.timer.enabled);
}

// A host that lets the auto-save timer tick in the middle of a write.
class TickDuringWrite : public test::FakeHost {
public:
    DocumentGeometry CurrentGeometry() override {
        ++writes;
        if (editor && writes == 1) {
            editor->AutoSaveTick();
        }
        return {};
    }
    Editor* editor = nullptr;
    int writes = 0;
};

TEST(AutoSaveTick, NeverStartsWhileAWriteIsGoingOn) {
    test::TempDir dir;
    TickDuringWrite host;
    Settings settings;
    settings.autoSave = AutoSaveMode::TempCopy;
    Editor editor(host, settings);
    host.editor = &editor;
    test::WriteBytes(dir.file("a.bnv"), "A\r\n");
    editor.OpenDocument(dir.file("a.bnv"));
    editor.TreeEditChanged("B");
    editor.SaveExecute();
    EXPECT_EQ(host.writes, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.tmp")));
    EXPECT_FALSE(editor.isModified());
}

}  // namespace
}  // namespace brenvale

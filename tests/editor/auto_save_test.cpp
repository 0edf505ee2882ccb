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
        editor.session().setProgramFolder(dir.file("program"));
        std::filesystem::create_directory(dir.file("program"));
    }
    std::string OpenSample() {
        std::string path = dir.file("a.bnv");
        test::WriteBytes(path, "A\r\n");
        editor.files().openDocument(path);
        return path;
    }
    test::TempDir dir;
};

TEST_F(AutoSave, TheTimerRunsOnlyWhileModifiedAndAutoSaveIsOn) {
    Mode(1);
    editor.files().start({});
    editor.execute(CommandId::AddTree);
    EXPECT_FALSE(host.timer.enabled);
    Mode(2);
    editor.execute(CommandId::AddTree);
    EXPECT_TRUE(host.timer.enabled);
    EXPECT_EQ(host.timer.interval, 600000);
    int starts = host.timer.starts;
    editor.execute(CommandId::AddTree);  // later edits do not push the tick back
    EXPECT_EQ(host.timer.starts, starts);
    editor.session().setAutoSaveInterval(0);  // a period of 0 never fires
    EXPECT_FALSE(host.timer.enabled);
}

TEST_F(AutoSave, ModeTwoWritesATemporaryCopyBesideTheDocument) {
    Mode(2);
    std::string path = OpenSample();
    editor.editTextChanged(EditBox::Tree, "B");
    editor.files().autoSaveTick();
    std::string copy = test::ReadBytes(dir.file("a.tmp"));
    EXPECT_EQ(copy.substr(copy.size() - 7), "B@00@\r\n");
    EXPECT_EQ(test::ReadBytes(path), "A\r\n");
    EXPECT_TRUE(editor.session().isModified());
    EXPECT_EQ(editor.session().title(), path + " - Brenvale");
    EXPECT_TRUE(host.timer.enabled);
}

TEST_F(AutoSave, ModeTwoUsesTheTemporaryFolderOrTheProgramFolderForANewDocument) {
    std::filesystem::create_directory(dir.file("tmp"));
    Mode(2, true, dir.file("tmp"));
    OpenSample();
    editor.editTextChanged(EditBox::Tree, "B");
    editor.files().autoSaveTick();
    EXPECT_TRUE(std::filesystem::exists(dir.file("tmp/a.tmp")));

    Mode(2);
    editor.session().setModified(false);
    editor.execute(CommandId::NewOpen);
    editor.execute(CommandId::AddTree);
    editor.files().autoSaveTick();
    EXPECT_TRUE(std::filesystem::exists(dir.file("program/無題.tmp")));
}

TEST_F(AutoSave, ATickDoesNothingWithoutChangesOrWhileADialogIsActive) {
    Mode(2);
    OpenSample();
    editor.files().autoSaveTick();
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.tmp")));
    editor.editTextChanged(EditBox::Tree, "B");
    host.mainWindowActive = false;
    editor.files().autoSaveTick();
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.tmp")));
    EXPECT_TRUE(host.timer.enabled);
}

TEST_F(AutoSave, AFailedCopyLeavesTheTimerOff) {
    Mode(2, true, dir.file("no-such-folder"));
    OpenSample();
    editor.editTextChanged(EditBox::Tree, "B");
    EXPECT_THROW(editor.files().autoSaveTick(), Error);
    EXPECT_FALSE(host.timer.enabled);
    editor.editTextChanged(EditBox::Tree, "C");
    EXPECT_TRUE(host.timer.enabled);
}

TEST_F(AutoSave, ModeThreeAsksAndNoAsksAgainLater) {
    Mode(3);
    std::string path = OpenSample();
    editor.editTextChanged(EditBox::Tree, "B");
    host.answers = {MessageAnswer::No};
    editor.files().autoSaveTick();
    EXPECT_EQ(host.messages.back().text,
              "指定時間が経過しました。\nファイルを上書き保存してもよろしいですか？");
    EXPECT_EQ(host.messages.back().buttons, MessageButtons::YesNo);
    EXPECT_TRUE(editor.session().isModified());
    EXPECT_TRUE(host.timer.enabled);
    host.answers = {MessageAnswer::Yes};
    editor.files().autoSaveTick();
    EXPECT_FALSE(editor.session().isModified());
    EXPECT_NE(test::ReadBytes(path).find("B@00@"), std::string::npos);
}

TEST_F(AutoSave, ModeThreeWithoutQuestionSavesAndANewDocumentAsksForAName) {
    Mode(3, false);
    editor.files().start({});
    editor.execute(CommandId::AddTree);
    host.dialogAnswers = {std::nullopt};
    editor.files().autoSaveTick();
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(editor.session().isModified());
    EXPECT_TRUE(host.timer.enabled);  // a cancelled Save As is no error
}

TEST_F(AutoSave, ABackupThatCannotBeMadeSkipsTheTickWithAHint) {
    for (int mode : {2, 3}) {
        Mode(mode, false);
        Settings settings = editor.settings();
        settings.backup = true;
        editor.setSettings(settings);
        std::string path = OpenSample();
        test::WriteBytes(dir.file("a.tmp"), "old copy");
        // An old backup that cannot be replaced: of the document, and of the copy.
        std::filesystem::create_directories(dir.file("a.BAK/inner"));
        editor.editTextChanged(EditBox::Tree, "B");
        editor.files().autoSaveTick();
        EXPECT_TRUE(host.messages.empty()) << mode;  // nobody is asked in the middle of typing
        EXPECT_TRUE(editor.session().isModified());
        EXPECT_EQ(test::ReadBytes(path), "A\r\n");
        EXPECT_EQ(test::ReadBytes(dir.file("a.tmp")), "old copy");
        EXPECT_NE(editor.hintText().find("a.BAK"), std::string::npos) << editor.hintText();
        EXPECT_NE(editor.hintText().find("自動保存しませんでした"), std::string::npos);
        // The next tick tries again.
        EXPECT_TRUE(host.timer.enabled);
        std::filesystem::remove_all(dir.file("a.BAK"));
        editor.session().setModified(false);
    }
}

// A host that lets the auto-save timer tick in the middle of a write.
class TickDuringWrite : public test::FakeHost {
public:
    DocumentGeometry CurrentGeometry() override {
        ++writes;
        if (editor && writes == 1) {
            editor->files().autoSaveTick();
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
    editor.files().openDocument(dir.file("a.bnv"));
    editor.editTextChanged(EditBox::Tree, "B");
    editor.execute(CommandId::Save);
    EXPECT_EQ(host.writes, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.tmp")));
    EXPECT_FALSE(editor.session().isModified());
}

}  // namespace
}  // namespace brenvale

// The files a document keeps beside it and the program keeps for it (backup, auto-save copy,
// recovery copy and its info) met as a named pipe, a link or another user's folder: each is
// refused with its reason, and nothing waits.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "common/error.h"
#include "editor/recovery_folder.h"
#include "editor/recovery_store.h"
#include "editor_fixture.h"
#include "support/unprivileged.h"

namespace brenvale {
namespace {

namespace fs = std::filesystem;

const std::string kPipe = "名前付きパイプで、通常のファイルではありません";

class CompanionFiles : public test::EditorTest {
protected:
    // A write that waits for a pipe's reader ends the test program instead of hanging it.
    CompanionFiles() { ::alarm(30); }
    ~CompanionFiles() override { ::alarm(0); }

    void Open(bool backup, AutoSaveMode autoSave) {
        test::WriteBytes(path, "Plan\r\n\x08\x81\xA0one\r\n");
        Settings settings;
        settings.backup = backup;
        settings.autoSave = autoSave;
        editor.setSettings(settings);
        editor.files().openDocument(path);
        editor.editTextChanged(EditBox::Tree, "Edited");
    }
    void Pipe(const std::string& at) { ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0); }

    test::TempDir dir;
    std::string path = dir.file("plan.bnv");
};

TEST_F(CompanionFiles, APipeAsTheBackupIsReportedBeforeTheDocumentIsTouched) {
    Open(true, AutoSaveMode::Off);
    Pipe(dir.file("plan.BAK"));
    host.answers = {MessageAnswer::No};
    editor.execute(CommandId::Save);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "バックアップファイル「" + dir.file("plan.BAK") +
                                         "」を作成できませんでした（" + kPipe +
                                         "）。バックアップなしで保存しますか？");
    EXPECT_EQ(test::ReadBytes(path), "Plan\r\n\x08\x81\xA0one\r\n");
    EXPECT_TRUE(editor.session().isModified());

    // Without the backup the document is saved, and the pipe stays a pipe.
    host.answers = {MessageAnswer::Yes};
    editor.execute(CommandId::Save);
    EXPECT_FALSE(editor.session().isModified());
    EXPECT_TRUE(fs::is_fifo(dir.file("plan.BAK")));
}

TEST_F(CompanionFiles, APipeAsTheAutoSaveCopyIsReportedAndTheCopyOfItsBackupIsNotMade) {
    Open(true, AutoSaveMode::TempCopy);
    Pipe(dir.file("plan.tmp"));
    try {
        editor.files().autoSaveTick();
        ADD_FAILURE() << "the copy was written";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "ファイル " + dir.file("plan.tmp") + " に書き込めません。\n" + kPipe);
    }
    EXPECT_TRUE(fs::is_fifo(dir.file("plan.tmp")));
    EXPECT_FALSE(fs::exists(dir.file("plan.BAK")));
    EXPECT_TRUE(editor.session().isModified());
}

TEST_F(CompanionFiles, RecoveryFilesAreNeverAPipeOrALink) {
    RecoveryStore store(dir.file("recovery"));
    Pipe(store.copyPath());
    try {
        store.WriteCopy("A@00@\r\n", {});
        ADD_FAILURE() << "the copy was written";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(kPipe), std::string::npos) << e.what();
    }
    fs::remove(store.copyPath());
    fs::remove(store.infoPath());
    // A link planted as the info: what it names stays as it was.
    const std::string target = dir.file("target.txt");
    test::WriteBytes(target, "mine");
    fs::create_symlink(target, store.infoPath());
    EXPECT_THROW(store.WriteCopy("A@00@\r\n", {}), Error);
    EXPECT_EQ(test::ReadBytes(target), "mine");
    EXPECT_FALSE(store.HasCopy());

    fs::remove(store.infoPath());
    store.WriteCopy("A@00@\r\n", {});
    EXPECT_EQ(test::ReadBytes(store.copyPath()), "A@00@\r\n");
}

TEST_F(CompanionFiles, ARecoveryFolderOthersMayEnterIsNotUsed) {
    auto refusal = [](const std::string& folder) -> std::string {
        try {
            RecoveryStore store(folder);
        } catch (const Error& e) {
            return e.what();
        }
        return "used";
    };
    const std::string open = dir.file("open");
    fs::create_directory(open);
    ::chmod(open.c_str(), 0777);
    EXPECT_EQ(refusal(open), "復元用のフォルダー " + open +
                                 " を使えません。\nほかのユーザーも使えるフォルダーです。");
    const std::string link = dir.file("link");
    fs::create_directory_symlink(dir.file("own"), link);
    fs::create_directory(dir.file("own"));
    ::chmod(dir.file("own").c_str(), 0700);
    EXPECT_EQ(refusal(link),
              "復元用のフォルダー " + link + " を使えません。\nシンボリックリンクです。");
    EXPECT_EQ(refusal(dir.file("own")), "used");

    if (!test::IsRoot()) {
        GTEST_SKIP() << "another user's folder needs root to make";
    }
    const std::string foreign = dir.file("foreign");
    fs::create_directory(foreign);
    ::chmod(foreign.c_str(), 0700);
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(
        test::Unprivileged([&] { return refusal(foreign); }),
        "復元用のフォルダー " + foreign + " を使えません。\nほかのユーザーのフォルダーです。");
}

}  // namespace
}  // namespace brenvale

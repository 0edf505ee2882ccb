// Another program saves the document's file while this editor's save of it runs: its version
// is never replaced without the question a change found before the save gets.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>

#include "common/system_calls.h"
#include "document/document_writer.h"
#include "editor_fixture.h"
#include "support/editor_test_access.h"
#include "support/other_process.h"

namespace brenvale {
namespace {

// Runs fn once, at the first fsync of a save: the new bytes are complete, the old file is
// still in place.
class AtFirstSync : public SystemCalls {
public:
    std::function<void()> fn;
    int fsync(int fd) override {
        if (fn) {
            std::exchange(fn, nullptr)();
        }
        return SystemCalls::fsync(fd);
    }
};

class SaveRace : public test::EditorTest {
protected:
    SaveRace() {
        test::WriteBytes(path, "Plan\r\n\x08\x81\xA0mine\r\n");
        editor.files().openDocument(path);
        editor.editTextChanged(EditBox::Tree, "Edited");
    }
    // Another program's safe save: a new file renamed over the document by a process of its
    // own.
    void OtherProgramSaves() {
        test::WriteBytes(path + ".new", theirs);
        ASSERT_EQ(test::RunProcess({"mv", path + ".new", path}), 0);
    }
    std::string Question() const {
        return "「" + path + "」は他のプログラムによって変更されています。上書きしますか？";
    }
    std::string Serialized() {
        return SerializeDocument(EditorTestAccess::document(editor), host.geometry, true);
    }

    test::TempDir dir;
    std::string path = dir.file("plan.bnv");
    const std::string theirs = "Theirs\r\n\x08\x81\xA0theirs\r\n";
    AtFirstSync race;
};

TEST_F(SaveRace, AVersionSavedWhileTheBytesAreWrittenIsAskedAbout) {
    ScopedSystemCalls calls(race);
    race.fn = [&] { OtherProgramSaves(); };
    host.answers = {MessageAnswer::Cancel};
    editor.execute(CommandId::Save);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, Question());
    EXPECT_EQ(host.messages[0].buttons, MessageButtons::YesMergeNoCancel);
    EXPECT_EQ(test::ReadBytes(path), theirs);
    EXPECT_TRUE(editor.session().isModified());
    // Nothing of the stopped save is left beside the file.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);

    // Asked again while the second save runs: Yes overwrites only the version it was asked
    // about, so a newer one is asked about once more.
    race.fn = [&] {
        test::WriteBytes(path + ".new", "Newer\r\n");
        test::RunProcess({"mv", path + ".new", path});
    };
    host.answers = {MessageAnswer::Yes, MessageAnswer::Cancel};
    editor.execute(CommandId::Save);
    EXPECT_EQ(host.messages.size(), 3u);
    EXPECT_EQ(test::ReadBytes(path), "Newer\r\n");

    host.answers = {MessageAnswer::Yes};
    editor.execute(CommandId::Save);
    EXPECT_EQ(test::ReadBytes(path), Serialized());
    EXPECT_FALSE(editor.session().isModified());
}

TEST_F(SaveRace, AVersionSavedBeforeTheBackupIsMadeIsAskedAboutAndNoBackupIsMade) {
    Settings settings = editor.settings();
    settings.backup = true;
    editor.setSettings(settings);
    // The busy cursor comes up just before the backup is made.
    host.onBusy = [&] {
        host.onBusy = nullptr;
        OtherProgramSaves();
    };
    host.answers = {MessageAnswer::Cancel};
    editor.execute(CommandId::Save);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, Question());
    EXPECT_EQ(test::ReadBytes(path), theirs);
    EXPECT_FALSE(std::filesystem::exists(dir.file("plan.BAK")));
}

TEST_F(SaveRace, AutoSaveOverTheDocumentWritesItsCopyInstead) {
    Settings settings = editor.settings();
    settings.autoSave = AutoSaveMode::OverDocument;
    settings.confirmAutoSave = false;
    editor.setSettings(settings);
    std::string mine = Serialized();
    ScopedSystemCalls calls(race);
    race.fn = [&] { OtherProgramSaves(); };
    editor.files().autoSaveTick();
    EXPECT_TRUE(host.messages.empty());  // nobody is asked in the middle of typing
    EXPECT_EQ(test::ReadBytes(path), theirs);
    EXPECT_EQ(test::ReadBytes(dir.file("plan.tmp")), mine);
    EXPECT_TRUE(editor.session().isModified());
    EXPECT_NE(editor.hintText().find("plan.tmp"), std::string::npos);
}

// The same without forcing the moment: a save of a big document, and another program, already
// running, that renames its version over the file as soon as it is told the save has begun
// (with the busy cursor). Whenever its rename lands, its version is never replaced without a
// question.
TEST_F(SaveRace, AnotherProgramSavingDuringARealSaveIsNeverOverwrittenUnasked) {
    std::string bytes = "Big\r\n";
    for (int i = 0; i < 400000; ++i) {
        bytes += "\x08\x81\xA0item " + std::to_string(i) + "\r\n";
    }
    test::WriteBytes(path, bytes);
    host.answers = {MessageAnswer::No};  // the save question of the open
    editor.files().openDocument(path);
    editor.editTextChanged(EditBox::Tree, "Edited");
    test::WriteBytes(path + ".new", theirs);
    const size_t asked = host.messages.size();

    // It says it is ready by making a file, then waits for its cue on its input.
    const std::string ready = dir.file("ready");
    const std::string command =
        "exec perl -e 'open(F, \">\", $ARGV[2]); close(F); <STDIN>; rename($ARGV[0], $ARGV[1]) "
        "or exit 1' '" +
        path + ".new' '" + path + "' '" + ready + "'";
    FILE* other = ::popen(command.c_str(), "w");
    ASSERT_NE(other, nullptr);
    while (!std::filesystem::exists(ready)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    host.answers = {MessageAnswer::Cancel};
    auto start = std::chrono::steady_clock::now();
    host.onBusy = [&] {
        host.onBusy = nullptr;
        std::fputs("go\n", other);
        std::fflush(other);
    };
    editor.execute(CommandId::Save);
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(::pclose(other), 0);
    const bool questioned = host.messages.size() > asked;
    std::printf(
        "[ race     ] the save took %lld ms; the other program's version was %s\n",
        static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()),
        questioned ? "asked about" : "saved after it");
    EXPECT_EQ(test::ReadBytes(path), theirs);
    if (!questioned) {
        // Its rename came after the save: the document's bytes were written, then replaced.
        EXPECT_FALSE(editor.session().isModified());
        host.answers.clear();
    }
}

}  // namespace
}  // namespace brenvale

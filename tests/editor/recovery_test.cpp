#include <gtest/gtest.h>

#include <filesystem>

#include "common/check_mark.h"
#include "common/error.h"
#include "document/document_writer.h"
#include "recovery_fixture.h"
#include "support/editor_test_access.h"

namespace brenvale {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

class Recovery : public ::testing::Test {
protected:
    Recovery() { test::WriteBytes(dir.file("plan.bnv"), kPlan); }

    std::string Folder() const { return dir.file("state/brenvale/recovery"); }
    std::unique_ptr<test::RecoveringEditor> Instance(Settings settings = {}) {
        return std::make_unique<test::RecoveringEditor>(Folder(), &now, std::move(settings));
    }
    // Moves the clock to the armed tick and runs it.
    void Tick(test::RecoveringEditor& e) {
        ASSERT_GE(e.host.recoveryDelay, 0) << "the timer is not armed";
        now += milliseconds(e.host.recoveryDelay);
        e.editor.files().recoveryTick();
    }
    // Ticks until the timer rests: the copy that was due is on disk.
    void CopyWritten(test::RecoveringEditor& e) {
        for (int i = 0; i < 100 && e.host.recoveryDelay >= 0; ++i) {
            e.copy().WaitForWrite();
            Tick(e);
        }
        EXPECT_EQ(e.host.recoveryDelay, -1);
        EXPECT_TRUE(e.copy().store().HasCopy());
    }
    std::string CopyBytes(test::RecoveringEditor& e) {
        return test::ReadBytes(e.copy().store().copyPath());
    }
    // An instance that edited the plan, had its copy written and went without a normal
    // close: what a save of its edited document would have written, and where its copy is.
    struct Gone {
        std::string saved;
        std::string copy;
    };
    Gone GoneAfterEditing(const std::string& file) {
        auto gone = Instance();
        if (!gone->copy().store().OtherCopies().empty()) {
            gone->host.answers.push_back(MessageAnswer::Cancel);  // not now
        }
        gone->editor.files().start(file.empty() ? std::vector<std::string>{}
                                                : std::vector<std::string>{file});
        gone->editor.editTextChanged(EditBox::Tree, test::Sjis("計画（改）"));
        gone->editor.editTextChanged(EditBox::List, "  spaced  ");
        gone->editor.execute(CommandId::ListAdd);
        CopyWritten(*gone);
        return {
            SerializeDocument(EditorTestAccess::document(gone->editor), gone->host.geometry, true),
            gone->copy().store().copyPath()};
    }
    void ExpectRestored(test::RecoveringEditor& e, const std::string& saved) {
        EXPECT_EQ(SerializeDocument(EditorTestAccess::document(e.editor), e.host.geometry, true),
                  saved);
        EXPECT_TRUE(e.editor.session().isModified());
        EXPECT_TRUE(e.editor.isEnabled(CommandId::Save));
    }

    static constexpr const char* kPlan =
        "\x07Height376\r\n\x07Width573\r\n\x07Top200\r\n\x07Left300\r\n\x07TreeWidth129\r\n"
        "Plan@00@\r\n\x08\x81\xA0one\r\n\x08\x81\xA1two\r\n\tChild@03@\r\n";

    test::TempDir dir;
    RecoveryTime now = RecoveryClock::now();
};

TEST_F(Recovery, ChangesAreCopiedAFewSecondsAfterTheLastOneAndAtMostEveryThirtySeconds) {
    auto e = Instance();
    e->editor.files().start({dir.file("plan.bnv")});
    EXPECT_EQ(e->host.recoveryDelay, -1);
    e->editor.editTextChanged(EditBox::Tree, "P");
    EXPECT_EQ(e->host.recoveryDelay, 3000);
    int arms = e->host.recoveryArms;
    now += milliseconds(2000);
    e->editor.editTextChanged(EditBox::Tree, "Pl");
    e->editor.editTextChanged(EditBox::Tree, "Pla");
    EXPECT_EQ(e->host.recoveryArms, arms) << "each keystroke armed the timer again";
    now += milliseconds(1000);
    e->editor.files().recoveryTick();  // three seconds after the first key, but one after the last
    EXPECT_EQ(e->host.recoveryDelay, 2000);
    EXPECT_FALSE(e->copy().store().HasCopy());
    CopyWritten(*e);
    EXPECT_EQ(CopyBytes(*e), SerializeDocument(e->editor.document(), e->host.geometry));
    EXPECT_EQ(ParseRecoveryInfo(test::ReadBytes(e->copy().store().infoPath())).documentPath,
              dir.file("plan.bnv"));

    now += milliseconds(5000);
    e->editor.editTextChanged(EditBox::Tree, "Plan!");
    // Thirty seconds after the last copy (the poll of its write took a little of them).
    EXPECT_GT(e->host.recoveryDelay, 24000);
    EXPECT_LE(e->host.recoveryDelay, 25000);
    CopyWritten(*e);
    EXPECT_NE(CopyBytes(*e).find("Plan!@00@"), std::string::npos);
    EXPECT_EQ(test::ReadBytes(dir.file("plan.bnv")), kPlan);
}

TEST_F(Recovery, TheCopyKeepsTheDocumentAsItIsWithoutTrimmingIt) {
    auto e = Instance();
    e->editor.files().start({});
    e->editor.editTextChanged(EditBox::List, " a b ");
    e->editor.execute(CommandId::ListAdd);
    CopyWritten(*e);
    EXPECT_NE(CopyBytes(*e).find("\x08\x81\xA0 a b \r\n"), std::string::npos);
    EXPECT_EQ(e->editor.list().rowText(0), " a b ");
    EXPECT_EQ(ParseRecoveryInfo(test::ReadBytes(e->copy().store().infoPath())).documentPath,
              std::nullopt);
}

TEST_F(Recovery, SavingDiscardingAndClosingRemoveTheCopy) {
    auto e = Instance();
    e->editor.files().start({dir.file("plan.bnv")});
    auto edit = [&] {
        e->editor.execute(CommandId::AddTree);
        CopyWritten(*e);
    };
    edit();
    e->editor.execute(CommandId::Save);
    EXPECT_FALSE(e->copy().store().HasCopy());

    edit();
    e->host.answers.push_back(MessageAnswer::No);  // New, without saving
    e->editor.execute(CommandId::NewOpen);
    EXPECT_FALSE(e->copy().store().HasCopy());

    edit();
    e->host.answers.push_back(MessageAnswer::No);  // open, without saving
    e->editor.files().openDocument(dir.file("plan.bnv"));
    EXPECT_FALSE(e->copy().store().HasCopy());

    edit();
    e->host.answers.push_back(MessageAnswer::No);
    EXPECT_TRUE(e->editor.files().closeQuery());
    e->editor.session().windowClosed();
    EXPECT_FALSE(e->copy().store().HasCopy());
    e.reset();
    EXPECT_TRUE(test::FilesIn(Folder()).empty());
}

TEST_F(Recovery, ACopyStaysWhileTheChangesAreNotSavedOrDiscarded) {
    auto e = Instance();
    e->editor.files().start({dir.file("plan.bnv")});
    e->editor.execute(CommandId::AddTree);
    CopyWritten(*e);
    // The save cannot write, the open is cancelled, the close is cancelled.
    fs::remove(dir.file("plan.bnv"));
    fs::create_directory(dir.file("plan.bnv"));
    e->host.answers.push_back(MessageAnswer::Cancel);  // the offer of another name
    e->editor.execute(CommandId::Save);
    e->host.answers.push_back(MessageAnswer::Cancel);
    e->editor.execute(CommandId::NewOpen);
    e->host.answers.push_back(MessageAnswer::Cancel);
    EXPECT_FALSE(e->editor.files().closeQuery());
    EXPECT_TRUE(e->copy().store().HasCopy());
}

TEST_F(Recovery, TheAutoSaveTimerRunsAsWithoutIt) {
    Settings settings;
    settings.autoSave = AutoSaveMode::TempCopy;
    auto e = Instance(settings);
    test::FakeHost plainHost;
    Editor plain(plainHost, settings);
    // Each on a file of its own: a save over a file the other one saved would ask first.
    fs::copy_file(dir.file("plan.bnv"), dir.file("plain.bnv"));
    for (Editor* editor : {&e->editor, &plain}) {
        editor->files().start({dir.file(editor == &plain ? "plain.bnv" : "plan.bnv")});
        editor->editTextChanged(EditBox::Tree, "A");
        editor->editTextChanged(EditBox::Tree, "AB");
    }
    CopyWritten(*e);
    e->editor.execute(CommandId::Save);
    plain.execute(CommandId::Save);
    EXPECT_EQ(e->host.timer.starts, plainHost.timer.starts);
    EXPECT_EQ(e->host.timer.enabled, plainHost.timer.enabled);
    EXPECT_EQ(e->host.timer.interval, plainHost.timer.interval);
}

TEST_F(Recovery, TheNextStartRestoresTheCopyUnderItsNameWithoutTouchingTheFile) {
    std::string saved = GoneAfterEditing(dir.file("plan.bnv")).saved;
    auto next = Instance();
    next->host.answers.push_back(MessageAnswer::Yes);
    next->editor.files().start({});
    ASSERT_EQ(next->host.messages.size(), 1u);
    const std::string& question = next->host.messages[0].text;
    EXPECT_NE(question.find("復元しますか"), std::string::npos);
    EXPECT_NE(question.find(dir.file("plan.bnv")), std::string::npos);
    EXPECT_EQ(next->host.messages[0].buttons, MessageButtons::YesNoCancel);

    std::vector<std::string> rows;
    for (size_t r = 0; r < next->editor.list().rowCount(); ++r) {
        rows.emplace_back(next->editor.list().rowText(r));
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"one", "  spaced  ", "two"}));
    ExpectRestored(*next, saved);
    EXPECT_EQ(next->editor.session().fileName(), dir.file("plan.bnv"));
    EXPECT_FALSE(next->editor.session().untitled());
    EXPECT_EQ(next->editor.session().title(), dir.file("plan.bnv") + " - Brenvale");
    EXPECT_EQ(test::ReadBytes(dir.file("plan.bnv")), kPlan);
    // The copy is this instance's now: one copy, its own.
    EXPECT_EQ(test::FilesIn(Folder()),
              (std::set<std::string>{next->copy().store().id() + ".bnv",
                                     next->copy().store().id() + ".info",
                                     next->copy().store().id() + ".lock"}));
    next->editor.execute(CommandId::Save);
    EXPECT_EQ(test::ReadBytes(dir.file("plan.bnv")), saved);
    EXPECT_FALSE(next->copy().store().HasCopy());
}

TEST_F(Recovery, ARestoredCopyStandsOnTheVersionOfTheFileItWasMadeFrom) {
    std::string plan = dir.file("plan.bnv");
    std::string saved = GoneAfterEditing(plan).saved;
    // Meanwhile another program wrote the file: the restored edits do not overwrite that
    // version unasked.
    const std::string theirs = "Theirs\r\n";
    test::WriteBytes(plan, theirs);
    auto next = Instance();
    next->host.answers = {MessageAnswer::Yes, MessageAnswer::Cancel};
    next->editor.files().start({});
    next->editor.execute(CommandId::Save);
    ASSERT_EQ(next->host.messages.size(), 2u);
    EXPECT_EQ(next->host.messages[1].text,
              "「" + plan + "」は他のプログラムによって変更されています。上書きしますか？");
    EXPECT_EQ(test::ReadBytes(plan), theirs);
    next->host.answers = {MessageAnswer::Yes};
    next->editor.execute(CommandId::Save);
    EXPECT_EQ(test::ReadBytes(plan), saved);
}

TEST_F(Recovery, AnUntitledCopyIsRestoredUntitled) {
    std::string saved = GoneAfterEditing("").saved;
    auto next = Instance();
    next->host.answers.push_back(MessageAnswer::Yes);
    next->editor.files().start({});
    EXPECT_NE(next->host.messages.at(0).text.find("無題"), std::string::npos);
    ExpectRestored(*next, saved);
    EXPECT_TRUE(next->editor.session().untitled());
    EXPECT_EQ(next->editor.session().title(), "無題.bnv - Brenvale");
}

TEST_F(Recovery, DecliningDeletesTheCopyAndCancellingKeepsItForTheNextStart) {
    GoneAfterEditing("");
    auto later = Instance();
    later->host.answers.push_back(MessageAnswer::Cancel);
    later->editor.files().start({dir.file("plan.bnv")});
    EXPECT_EQ(later->editor.session().fileName(), dir.file("plan.bnv"));
    EXPECT_FALSE(later->editor.session().isModified());
    later->editor.session().windowClosed();
    later.reset();

    auto no = Instance();
    no->host.answers.push_back(MessageAnswer::No);
    no->editor.files().start({});
    EXPECT_EQ(no->editor.session().fileName(), "無題.bnv");
    EXPECT_FALSE(no->editor.session().isModified());
    EXPECT_EQ(test::FilesIn(Folder()), (std::set<std::string>{no->copy().store().id() + ".lock"}));
    no.reset();

    auto again = Instance();
    again->editor.files().start({});
    EXPECT_TRUE(again->host.messages.empty());
}

TEST_F(Recovery, ACopyThatCannotBeReadStaysAndTheStartGoesOn) {
    std::string copy;
    {
        RecoveryStore gone(Folder());
        copy = gone.copyPath();
        fs::create_directory(copy);  // read() fails on it
    }
    auto next = Instance();
    next->host.answers = {MessageAnswer::Yes, MessageAnswer::Ok};
    next->editor.files().start({dir.file("plan.bnv")});
    ASSERT_EQ(next->host.messages.size(), 2u);
    EXPECT_NE(next->host.messages[1].text.find("次の起動まで残します"), std::string::npos);
    EXPECT_EQ(next->editor.session().fileName(), dir.file("plan.bnv"));
    EXPECT_FALSE(next->editor.session().isModified());
    EXPECT_TRUE(fs::exists(copy));
}

TEST_F(Recovery, ARunningInstancesCopyIsNeitherOfferedNorTouched) {
    auto running = Instance();
    running->editor.files().start({});
    running->editor.execute(CommandId::AddTree);
    CopyWritten(*running);
    std::string bytes = CopyBytes(*running);

    auto other = Instance();
    other->editor.files().start({dir.file("plan.bnv")});
    EXPECT_TRUE(other->host.messages.empty());
    other->editor.execute(CommandId::AddTree);
    CopyWritten(*other);
    other->editor.execute(CommandId::Save);
    other->editor.session().windowClosed();
    other.reset();
    EXPECT_EQ(CopyBytes(*running), bytes);
    EXPECT_TRUE(running->copy().store().HasCopy());
}

TEST_F(Recovery, TheNewestCopyIsOfferedFirst) {
    Gone untitled = GoneAfterEditing("");
    Gone plan = GoneAfterEditing(dir.file("plan.bnv"));
    fs::last_write_time(untitled.copy, fs::file_time_type::clock::now() - std::chrono::hours(2));
    fs::last_write_time(plan.copy, fs::file_time_type::clock::now() - std::chrono::hours(1));
    auto next = Instance();
    next->host.answers = {MessageAnswer::No, MessageAnswer::Yes};
    next->editor.files().start({});
    ASSERT_EQ(next->host.messages.size(), 2u);
    EXPECT_NE(next->host.messages[0].text.find(dir.file("plan.bnv")), std::string::npos);
    EXPECT_NE(next->host.messages[1].text.find("無題"), std::string::npos);
    ExpectRestored(*next, untitled.saved);
    EXPECT_FALSE(fs::exists(plan.copy));
}

TEST_F(Recovery, AfterARestoreTheFilesOfTheCommandLineOpenInInstancesOfTheirOwn) {
    GoneAfterEditing(dir.file("plan.bnv"));
    auto next = Instance();
    next->host.answers = {MessageAnswer::Yes};
    next->editor.files().start({dir.file("plan.bnv"), dir.file("other.bnv")});
    EXPECT_TRUE(next->editor.session().isModified());
    // Not the restored one a second time.
    EXPECT_EQ(next->host.launched, (std::vector<std::string>{dir.file("other.bnv")}));
}

TEST_F(Recovery, AFailedCopyIsReportedOnceAndNotOverADialog) {
    auto e = Instance();
    e->editor.files().start({});
    fs::remove_all(Folder());
    e->editor.execute(CommandId::AddTree);
    e->host.mainWindowActive = false;
    Tick(*e);
    e->copy().WaitForWrite();
    Tick(*e);  // the failure is in, but a dialog is up
    EXPECT_TRUE(e->host.messages.empty());
    EXPECT_GT(e->host.recoveryDelay, 29000);

    e->host.mainWindowActive = true;
    e->host.answers.push_back(MessageAnswer::Ok);
    Tick(*e);  // tried again; the first failure is shown now
    ASSERT_EQ(e->host.messages.size(), 1u);
    EXPECT_NE(e->host.messages[0].text.find(Folder()), std::string::npos);
    EXPECT_EQ(e->host.messages[0].kind, MessageKind::Warning);
    e->copy().WaitForWrite();
    Tick(*e);
    EXPECT_EQ(e->host.messages.size(), 1u);

    fs::create_directories(Folder());
    CopyWritten(*e);
    EXPECT_EQ(e->host.messages.size(), 1u);
}

}  // namespace
}  // namespace brenvale

// Editors in processes of their own, killed or closed while they hold unsaved changes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "document/document_writer.h"
#include "editor/recovery_info.h"
#include "recovery_edits.h"
#include "recovery_fixture.h"
#include "support/editor_test_access.h"
#include "support/working_folder.h"

namespace brenvale {
namespace {

namespace fs = std::filesystem;

// A running recovery_child, talked to through its standard input and output.
class KillChild {
public:
    // folder: the working folder the child starts in (empty: this process's).
    KillChild(const std::string& stateHome, const std::string& document,
              const std::string& folder = {}) {
        int in[2], out[2];
        EXPECT_EQ(::pipe(in), 0);
        EXPECT_EQ(::pipe(out), 0);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            ::close(in[1]);
            ::close(out[0]);
            ::setenv("XDG_STATE_HOME", stateHome.c_str(), 1);
            if (!folder.empty() && ::chdir(folder.c_str()) != 0) {
                ::_exit(126);
            }
            if (document.empty()) {
                ::execl(RECOVERY_CHILD, RECOVERY_CHILD, nullptr);
            } else {
                ::execl(RECOVERY_CHILD, RECOVERY_CHILD, document.c_str(), nullptr);
            }
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        input_ = in[1];
        output_ = ::fdopen(out[0], "r");
    }
    ~KillChild() {
        if (pid_ > 0) {
            Kill();
        }
        ::close(input_);
        std::fclose(output_);
    }

    // The next line the child prints, without its line end.
    std::string Line() {
        char line[256];
        if (!std::fgets(line, sizeof line, output_)) {
            return "(ended)";
        }
        std::string text = line;
        if (!text.empty() && text.back() == '\n') {
            text.pop_back();
        }
        return text;
    }
    void Send(const std::string& command) {
        std::string line = command + "\n";
        EXPECT_EQ(::write(input_, line.data(), line.size()), static_cast<ssize_t>(line.size()));
    }
    void Kill() {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    int Wait() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int input_ = -1;
    FILE* output_ = nullptr;
};

class KilledEditor : public ::testing::Test {
protected:
    KilledEditor() { test::WriteBytes(Plan(), kPlan); }

    std::string Plan() const { return dir.file("plan.bnv"); }
    std::string StateHome() const { return dir.file("state"); }
    std::string Folder() const { return StateHome() + "/brenvale/recovery"; }
    std::set<std::string> Copies() const {
        std::set<std::string> copies;
        for (const std::string& name : test::FilesIn(Folder())) {
            if (name.size() > 4 && name.substr(name.size() - 4) == ".bnv") {
                copies.insert(name);
            }
        }
        return copies;
    }
    // What saving the plan after the recovery edits writes.
    std::string SavedAfterEdits() {
        test::FakeHost host;
        host.geometry = test::kRecoveryGeometry;
        Editor editor(host, Settings{});
        editor.files().openDocument(Plan());
        test::MakeRecoveryEdits(editor);
        return SerializeDocument(EditorTestAccess::document(editor), host.geometry, true);
    }
    // The next start in this process, answering the first question.
    std::unique_ptr<test::RecoveringEditor> NextStart(std::optional<MessageAnswer> answer) {
        auto next = std::make_unique<test::RecoveringEditor>(Folder(), nullptr);
        next->host.geometry = test::kRecoveryGeometry;
        if (answer) {
            next->host.answers.push_back(*answer);
        }
        next->editor.files().start({});
        return next;
    }

    static constexpr const char* kPlan =
        "\x07Height376\r\n\x07Width573\r\n\x07Top200\r\n\x07Left300\r\n\x07TreeWidth129\r\n"
        "Plan@00@\r\n\x08\x81\xA0one\r\n\x08\x81\xA1two\r\n\tChild@03@\r\n";

    test::TempDir dir;
};

TEST_F(KilledEditor, LeavesItsCopyAndTheNextStartRestoresTheExactDocument) {
    KillChild child(StateHome(), Plan());
    std::string copied = child.Line();
    ASSERT_EQ(copied.substr(0, 7), "copied ") << copied;
    child.Kill();
    std::string id = copied.substr(7);
    EXPECT_EQ(Copies(), std::set<std::string>{id + ".bnv"});

    auto next = NextStart(MessageAnswer::Yes);
    ASSERT_EQ(next->host.messages.size(), 1u);
    EXPECT_NE(next->host.messages[0].text.find(Plan()), std::string::npos);
    Editor& editor = next->editor;
    EXPECT_EQ(editor.session().fileName(), Plan());
    EXPECT_TRUE(editor.session().isModified());
    EXPECT_EQ(test::ReadBytes(Plan()), kPlan);
    EXPECT_EQ(SerializeDocument(EditorTestAccess::document(editor), test::kRecoveryGeometry, true),
              SavedAfterEdits());
    EXPECT_EQ(Copies(), std::set<std::string>{next->copy().store().id() + ".bnv"});
}

TEST_F(KilledEditor, ANormalCloseLeavesNothing) {
    KillChild child(StateHome(), Plan());
    ASSERT_EQ(child.Line().substr(0, 6), "copied");
    EXPECT_EQ(Copies().size(), 1u);
    child.Send("close");
    EXPECT_EQ(child.Wait(), 0);
    EXPECT_TRUE(test::FilesIn(Folder()).empty());
    auto next = NextStart(std::nullopt);
    EXPECT_TRUE(next->host.messages.empty());
}

TEST_F(KilledEditor, RunningInstancesNeverTakeOrTouchEachOthersCopies) {
    KillChild first(StateHome(), Plan());
    std::string copied = first.Line();
    ASSERT_EQ(copied.substr(0, 7), "copied ") << copied;
    std::string firstCopy = Folder() + "/" + copied.substr(7) + ".bnv";
    std::string bytes = test::ReadBytes(firstCopy);

    // A second process starts, copies, edits again and closes: it asked nothing.
    {
        KillChild second(StateHome(), "");
        EXPECT_EQ(second.Line().substr(0, 6), "copied");
        EXPECT_EQ(Copies().size(), 2u);
        second.Send("edit");
        EXPECT_EQ(second.Line(), "copied");
        second.Send("close");
        EXPECT_EQ(second.Wait(), 0);
    }
    // So does an editor in this process.
    {
        auto here = NextStart(std::nullopt);
        EXPECT_TRUE(here->host.messages.empty());
        here->editor.session().windowClosed();
    }
    EXPECT_EQ(Copies(), std::set<std::string>{fs::path(firstCopy).filename().string()});
    EXPECT_EQ(test::ReadBytes(firstCopy), bytes);

    first.Send("edit");
    EXPECT_EQ(first.Line(), "copied");
    first.Kill();
    auto next = NextStart(MessageAnswer::Yes);
    EXPECT_EQ(next->host.messages.size(), 1u);
    EXPECT_EQ(next->editor.document().topicCount(), 4u);
}

// An editor that opened the document by a relative name crashed; the next start runs in
// another folder, which holds another document of the same name.
TEST_F(KilledEditor, ACopyOfADocumentOpenedByARelativeNameGoesBackToThatFile) {
    fs::create_directory(dir.file("elsewhere"));
    const std::string other = dir.file("elsewhere/plan.bnv");
    const std::string otherBytes = "Other@00@\r\n";
    test::WriteBytes(other, otherBytes);
    KillChild child(StateHome(), "plan.bnv", dir.path());
    std::string copied = child.Line();
    ASSERT_EQ(copied.substr(0, 7), "copied ") << copied;
    child.Kill();
    const std::string info = Folder() + "/" + copied.substr(7) + ".info";
    EXPECT_EQ(ParseRecoveryInfo(test::ReadBytes(info)).documentPath, Plan());

    const std::string saved = SavedAfterEdits();
    test::WorkingFolder elsewhere(dir.file("elsewhere"));
    auto next = NextStart(MessageAnswer::Yes);
    Editor& editor = next->editor;
    EXPECT_EQ(editor.session().fileName(), Plan());
    editor.execute(CommandId::Save);
    EXPECT_EQ(test::ReadBytes(Plan()), saved);
    EXPECT_EQ(test::ReadBytes(other), otherBytes);
}

// A copy an older version recorded with the name as it was typed says nothing of its folder:
// it comes back without a name, and nothing is written until one is chosen.
TEST_F(KilledEditor, ACopyRecordedWithARelativeNameComesBackWithoutOne) {
    KillChild child(StateHome(), Plan());
    std::string copied = child.Line();
    ASSERT_EQ(copied.substr(0, 7), "copied ") << copied;
    child.Kill();
    test::WriteBytes(Folder() + "/" + copied.substr(7) + ".info",
                     "brenvale recovery 1\ndocument plan.bnv\n");
    test::WorkingFolder here(dir.path());
    auto next = NextStart(MessageAnswer::Yes);
    EXPECT_TRUE(next->editor.session().untitled());
    EXPECT_TRUE(next->editor.session().isModified());
    EXPECT_EQ(test::ReadBytes(Plan()), kPlan);
}

}  // namespace
}  // namespace brenvale

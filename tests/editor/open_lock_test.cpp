// One document open in two editors: the second one opening it is asked first, and only while
// the first really has it open (a closed or killed editor leaves no false question).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "editor/open_file_lock.h"
#include "editor/recovery_folder.h"
#include "editor_fixture.h"
#include "recovery_fixture.h"
#include "support/read_only_folder.h"
#include "support/unprivileged.h"

namespace brenvale {
namespace {

// A running open_child, talked to through its standard input and output.
class Child {
public:
    // inChild runs in the child before the editor starts (to set its environment).
    Child(const std::string& folder, const std::string& document,
          const std::function<void()>& inChild = {}) {
        int in[2], out[2];
        EXPECT_EQ(::pipe(in), 0);
        EXPECT_EQ(::pipe(out), 0);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            ::close(in[1]);
            ::close(out[0]);
            if (inChild) {
                inChild();
            }
            ::execl(OPEN_CHILD, OPEN_CHILD, folder.c_str(), document.c_str(), nullptr);
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        input_ = in[1];
        output_ = ::fdopen(out[0], "r");
    }
    ~Child() {
        if (pid_ > 0) {
            Kill();
        }
        ::close(input_);
        std::fclose(output_);
    }

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

class OpenLock : public test::EditorTest {
protected:
    OpenLock() {
        test::WriteBytes(path, "Plan\r\n\x08\x81\xA0one\r\n");
        editor.session().enableOpenLock(std::make_unique<OpenFileLock>(Folder()));
        editor.files().start({});
    }
    std::string Folder() const { return dir.file("runtime/brenvale"); }
    std::string Question() const {
        return "「" + path + "」は別のウィンドウで開かれています。このまま開きますか？";
    }
    // Opens the document answering the question (if one comes) with answer; whether it was
    // asked.
    bool OpenAnswering(MessageAnswer answer) {
        size_t before = host.messages.size();
        host.answers = {answer};
        editor.files().openDocument(path);
        bool asked = host.messages.size() > before;
        if (asked) {
            EXPECT_EQ(host.messages.back().text, Question());
            EXPECT_EQ(host.messages.back().buttons, MessageButtons::YesNo);
        } else {
            host.answers.clear();
        }
        return asked;
    }
    bool Opened() const { return editor.session().fileName() == path; }

    test::TempDir dir;
    std::string path = dir.file("plan.bnv");
};

TEST_F(OpenLock, TheSecondEditorIsAskedAndNoOpensNothing) {
    Child first(Folder(), path);
    ASSERT_EQ(first.Line(), "opened");
    EXPECT_TRUE(OpenAnswering(MessageAnswer::No));
    EXPECT_FALSE(Opened());
    EXPECT_TRUE(editor.session().untitled());

    EXPECT_TRUE(OpenAnswering(MessageAnswer::Yes));
    EXPECT_TRUE(Opened());
    // Both have it open now; the first saving it (a new file renamed over the old one) keeps
    // it marked as open there.
    editor.execute(CommandId::NewOpen);
    first.Send("save");
    ASSERT_EQ(first.Line(), "saved");
    EXPECT_TRUE(OpenAnswering(MessageAnswer::Yes));
    first.Send("close");
    EXPECT_EQ(first.Wait(), 0);
}

TEST_F(OpenLock, AfterTheFirstClosesNothingIsAskedAndNoLockFileIsLeft) {
    {
        Child first(Folder(), path);
        ASSERT_EQ(first.Line(), "opened");
        first.Send("close");
        EXPECT_EQ(first.Wait(), 0);
    }
    EXPECT_TRUE(test::FilesIn(Folder()).empty());
    EXPECT_FALSE(OpenAnswering(MessageAnswer::No));
    EXPECT_TRUE(Opened());
    EXPECT_EQ(test::FilesIn(Folder()).size(), 1u);
    // Opening it again here is no second window.
    EXPECT_FALSE(OpenAnswering(MessageAnswer::No));
    editor.session().windowClosed();
    EXPECT_TRUE(test::FilesIn(Folder()).empty());
}

TEST_F(OpenLock, AKilledFirstEditorLeavesNoFalseQuestion) {
    Child first(Folder(), path);
    ASSERT_EQ(first.Line(), "opened");
    first.Kill();
    EXPECT_FALSE(test::FilesIn(Folder()).empty());  // its lock file, no longer held
    EXPECT_FALSE(OpenAnswering(MessageAnswer::No));
    EXPECT_TRUE(Opened());
}

TEST_F(OpenLock, TwoEditorsOfOneProcessSeeEachOtherAndOnlyForTheSameFile) {
    test::FakeHost otherHost;
    Editor other(otherHost, Settings{});
    other.session().enableOpenLock(std::make_unique<OpenFileLock>(Folder()));
    other.files().openDocument(path);
    EXPECT_TRUE(otherHost.messages.empty());

    // Another name of the same file is the same file.
    std::string link = dir.file("link.bnv");
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
    host.answers = {MessageAnswer::No};
    editor.files().openDocument(link);
    EXPECT_EQ(host.messages.back().text,
              "「" + link + "」は別のウィンドウで開かれています。このまま開きますか？");
    std::string elsewhere = dir.file("other.bnv");
    test::WriteBytes(elsewhere, "Other\r\n");
    editor.files().openDocument(elsewhere);
    EXPECT_EQ(host.messages.size(), 1u);

    // The other editor moves on to a new document: the file is free again.
    other.execute(CommandId::NewOpen);
    EXPECT_FALSE(OpenAnswering(MessageAnswer::No));
}

TEST(OpenLockFolders, AreTheRuntimeFolderAndAlwaysTheFallback) {
    using V = std::vector<std::string>;
    EXPECT_EQ(OpenLockFolders("/run/user/7/", std::string("/state")),
              (V{"/run/user/7/brenvale", "/state"}));
    EXPECT_EQ(OpenLockFolders("relative", std::string("/state")), V{"/state"});
    EXPECT_EQ(OpenLockFolders("/run/user/7", std::nullopt), V{"/run/user/7/brenvale"});
    EXPECT_EQ(OpenLockFolders(nullptr, std::nullopt), V{});
}

// Two editors in processes of their own, with the environments a desktop gives them.
class OpenLockFallback : public OpenLock {
protected:
    std::string Runtime() const { return dir.file("runtime"); }
    std::string State() const { return dir.file("state"); }
    std::string Fallback() const { return *RecoveryFolder(State().c_str(), nullptr); }
    // The editor of this test with the folders it would take from the environment.
    void UseFolders(const char* runtime) {
        editor.session().enableOpenLock(
            std::make_unique<OpenFileLock>(OpenLockFolders(runtime, Fallback())));
    }
    // A child that takes its folders from an environment with or without a runtime folder.
    std::function<void()> Environment(bool withRuntime) const {
        std::string runtime = Runtime();
        std::string state = State();
        return [=] {
            ::setenv("XDG_STATE_HOME", state.c_str(), 1);
            if (withRuntime) {
                ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
            } else {
                ::unsetenv("XDG_RUNTIME_DIR");
            }
        };
    }
};

TEST_F(OpenLockFallback, EditorsMeetWhenOnlyOneHasARuntimeFolder) {
    ::mkdir(Runtime().c_str(), 0700);
    for (bool childHasRuntime : {false, true}) {
        SCOPED_TRACE(childHasRuntime ? "only the child has one" : "only this editor has one");
        editor.execute(CommandId::NewOpen);
        UseFolders(childHasRuntime ? nullptr : Runtime().c_str());
        Child first("--environment", path, Environment(childHasRuntime));
        ASSERT_EQ(first.Line(), "opened");
        EXPECT_TRUE(OpenAnswering(MessageAnswer::No));
        first.Send("close");
        EXPECT_EQ(first.Wait(), 0);
        EXPECT_FALSE(OpenAnswering(MessageAnswer::No));
    }
}

TEST_F(OpenLockFallback, EditorsMeetWhenTheRuntimeLockFolderIsReadOnly) {
    ::mkdir(Runtime().c_str(), 0700);
    ::mkdir((Runtime() + "/brenvale").c_str(), 0700);
    test::ReadOnlyFolder readOnly(Runtime() + "/brenvale");
    ASSERT_TRUE(readOnly.ok());
    UseFolders(Runtime().c_str());
    Child first("--environment", path, Environment(true));
    ASSERT_EQ(first.Line(), "opened");
    EXPECT_TRUE(OpenAnswering(MessageAnswer::Yes));
    EXPECT_TRUE(test::FilesIn(Runtime() + "/brenvale").empty());
    EXPECT_EQ(test::FilesIn(Fallback()).size(), 1u);
    // Marked where it could be, this editor says nothing about it.
    EXPECT_EQ(editor.hintText(), "");
}

TEST_F(OpenLock, ALockFolderNotPrivateToTheUserIsNotUsed) {
    // Open to everybody: another user could plant links or pipes in it.
    const std::string open = dir.file("open");
    ::mkdir(open.c_str(), 0700);
    ::chmod(open.c_str(), 0777);
    const std::string own = dir.file("own");
    OpenFileLock lock({open, own});
    EXPECT_EQ(lock.folders(), std::vector<std::string>{own});
    ASSERT_TRUE(lock.hold(1, 2));
    EXPECT_TRUE(test::FilesIn(open).empty());

    // Another user's folder, as that user finds it.
    if (!test::IsRoot()) {
        GTEST_SKIP() << "another user's folder needs root to make";
    }
    const std::string foreign = dir.file("foreign");
    ::mkdir(foreign.c_str(), 0777);
    ::chmod(foreign.c_str(), 0777);
    const std::string theirs = test::FolderForUnprivileged(dir.path(), "theirs");
    ::chmod(theirs.c_str(), 0700);
    std::string failure = test::Unprivileged([&]() -> std::string {
        OpenFileLock lock({foreign, theirs});
        if (lock.folders() != std::vector<std::string>{theirs}) {
            return "the foreign folder was used";
        }
        return lock.hold(3, 4) ? "" : "no lock: " + lock.failure();
    });
    EXPECT_EQ(failure, "");
    EXPECT_TRUE(test::FilesIn(foreign).empty());
}

TEST_F(OpenLock, ALinkOrAPipeAtALockFileIsNeverFollowedNorWaitedFor) {
    ::alarm(20);  // an open that waits for a pipe's writer ends the test program
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    // Planted where this document's lock file goes: a link to a file that does not exist.
    const std::string target = dir.file("planted-target");
    const std::string lockFile = OpenFileLock::lockPath(Folder(), st.st_dev, st.st_ino);
    ASSERT_EQ(::symlink(target.c_str(), lockFile.c_str()), 0);
    editor.files().openDocument(path);
    EXPECT_TRUE(Opened());
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_TRUE(std::filesystem::is_symlink(lockFile));
    // The document goes unmarked, and the hint panel says so once.
    const std::string hint = editor.hintText();
    EXPECT_EQ(
        hint.rfind("ロックファイルを作れないため、同じ文書を別のウィンドウで開いても知らせ", 0), 0u)
        << hint;
    EXPECT_NE(hint.find(lockFile), std::string::npos);

    // A pipe there is opened without waiting and not taken for a lock.
    std::filesystem::remove(lockFile);
    ASSERT_EQ(::mkfifo(lockFile.c_str(), 0600), 0);
    editor.setHint("|other");
    editor.execute(CommandId::NewOpen);
    editor.files().openDocument(path);
    EXPECT_TRUE(Opened());
    EXPECT_EQ(editor.hintText(), "other");  // said once already
    EXPECT_FALSE(editor.session().openLock()->heldElsewhere(st.st_dev, st.st_ino));
    ::alarm(0);
}

}  // namespace
}  // namespace brenvale

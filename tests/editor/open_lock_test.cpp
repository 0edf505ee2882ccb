// One document open in two editors: the second one opening it is asked first, and only while
// the first really has it open (a closed or killed editor leaves no false question).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "editor/open_file_lock.h"
#include "editor_fixture.h"
#include "recovery_fixture.h"

namespace brenvale {
namespace {

// A running open_child, talked to through its standard input and output.
class Child {
public:
    Child(const std::string& folder, const std::string& document) {
        int in[2], out[2];
        EXPECT_EQ(::pipe(in), 0);
        EXPECT_EQ(::pipe(out), 0);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            ::close(in[1]);
            ::close(out[0]);
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
        editor.start({});
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
        editor.openDocument(path);
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
    other.openDocument(path);
    EXPECT_TRUE(otherHost.messages.empty());

    // Another name of the same file is the same file.
    std::string link = dir.file("link.bnv");
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
    host.answers = {MessageAnswer::No};
    editor.openDocument(link);
    EXPECT_EQ(host.messages.back().text,
              "「" + link + "」は別のウィンドウで開かれています。このまま開きますか？");
    std::string elsewhere = dir.file("other.bnv");
    test::WriteBytes(elsewhere, "Other\r\n");
    editor.openDocument(elsewhere);
    EXPECT_EQ(host.messages.size(), 1u);

    // The other editor moves on to a new document: the file is free again.
    other.execute(CommandId::NewOpen);
    EXPECT_FALSE(OpenAnswering(MessageAnswer::No));
}

TEST(OpenLockFolder, IsInTheRuntimeFolderElseTheFallback) {
    EXPECT_EQ(OpenLockFolder("/run/user/7/", std::string("/state")), "/run/user/7/brenvale");
    EXPECT_EQ(OpenLockFolder("relative", std::string("/state")), "/state");
    EXPECT_EQ(OpenLockFolder(nullptr, std::nullopt), std::nullopt);
}

}  // namespace
}  // namespace brenvale

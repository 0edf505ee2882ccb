// brenvale-cli add on a document an editor has open: the editor follows the change as it
// follows any other program's write.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "editor/editor_fixture.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::Sjis;
using V = std::vector<std::string>;

class AddWhileOpen : public test::EditorTest {
protected:
    int Add(const std::string& topicPath, const std::string& text) {
        std::string command = std::string(BRENVALE_CLI) + " add --today 2026-12-24 '" + path +
                              "' '" + topicPath + "' '" + text + "' 2>/dev/null";
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    test::TempDir dir;
    std::string path = dir.file("todo.bnv");
};

TEST_F(AddWhileOpen, AnUnmodifiedDocumentShowsTheNewItemAndAModifiedOneAsks) {
    test::WriteBytes(path, Sjis("仕事\r\n\x08□報告書\r\n\t来週\r\n"));
    editor.files().openDocument(path);
    editor.tree().selectTopic(Find(Sjis("仕事")));
    ASSERT_EQ(Add("仕事", "見積り due:明日"), 0);
    EXPECT_TRUE(editor.files().checkDocumentFile());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(Rows(), (V{Sjis("報告書"), Sjis("見積り due:2026-12-25")}));
    EXPECT_EQ(Shape(), (V{Sjis("仕事/0+"), Sjis("来週/1")}));
    EXPECT_FALSE(editor.session().isModified());

    // With edits of its own, the editor asks before reading the file again.
    editor.editTextChanged(EditBox::Tree, Sjis("仕事2"));
    ASSERT_EQ(Add("家", "電球"), 0);
    host.answers = {MessageAnswer::Reload};
    EXPECT_TRUE(editor.files().checkDocumentFile());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(Shape(), (V{Sjis("仕事/0+"), Sjis("来週/1"), Sjis("家/0")}));
    editor.tree().selectTopic(Find(Sjis("家")));
    EXPECT_EQ(Rows(), V{Sjis("電球")});
}

}  // namespace
}  // namespace brenvale

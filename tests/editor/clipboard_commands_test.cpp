#include <gtest/gtest.h>

#include "editor_fixture.h"

namespace brenvale {
namespace {

using test::Sjis;
using V = std::vector<std::string>;

class ClipboardCommands : public test::EditorTest {};

TEST_F(ClipboardCommands, CopyAndPasteDuplicateASubtreeAtTheEndOfTheTopLevel) {
    Build({"a", "  deep:*x,y", "    deeper", "b"});
    editor.tree().selectTopic(Find("deep"));
    editor.execute(CommandId::TreeCopy);
    EXPECT_EQ(host.clipboard,
              "deep@00@\r\n\x08" + Sjis("■") + "x\r\n\x08" + Sjis("□") + "y\r\n\tdeeper@00@\r\n");
    EXPECT_FALSE(editor.session().isModified());
    editor.execute(CommandId::TreePaste);
    EXPECT_EQ(Shape(), (V{"a/0+", "deep/1+", "deeper/2", "b/0", "deep/0+", "deeper/1"}));
    EXPECT_EQ(editor.selection().topic(), editor.document().lastTopLevel());
    EXPECT_EQ(Rows(), (V{"x*", "y"}));
    EXPECT_EQ(editor.selection().text(EditBox::Tree), "deep");
    EXPECT_TRUE(editor.session().isModified());
    // The pastes (the fixture's and this one) tell of their new subtrees, not of a new tree.
    EXPECT_EQ(mirror.resets, 0);
}

TEST_F(ClipboardCommands, PastingPlainLinesMakesTopLevelTopicsAndShowsTheLast) {
    Build({"s"});
    host.clipboard = "A\r\nB";
    editor.execute(CommandId::TreePaste);
    EXPECT_EQ(Shape(), (V{"s/0", "A/0", "B/0"}));
    EXPECT_EQ(editor.selection().text(EditBox::Tree), "B");
}

TEST_F(ClipboardCommands, PastingAnIndentedLineAddsAChildOfTheSelectedTopic) {
    Build({"s:item"});
    host.clipboard = "\tX";
    editor.execute(CommandId::TreePaste);
    EXPECT_EQ(Shape(), (V{"s/0+", "X/1"}));
    EXPECT_EQ(editor.selection().topic(), Find("X"));
    EXPECT_EQ(editor.list().rowCount(), 0u);
}

TEST_F(ClipboardCommands, PastingWithoutTextBeepsAndChangesNothing) {
    Build({"s"});
    editor.execute(CommandId::TreePaste);
    EXPECT_EQ(host.beeps, 1);
    EXPECT_FALSE(editor.session().isModified());
}

TEST_F(ClipboardCommands, ACancelledCutKeepsTheTreeAndTheCopy) {
    Build({"a", "b"});
    host.answers = {MessageAnswer::Cancel};
    editor.execute(CommandId::TreeCut);
    EXPECT_EQ(host.clipboard, "b@00@\r\n");
    EXPECT_EQ(editor.document().topicCount(), 2u);
    host.answers = {MessageAnswer::Ok};
    editor.execute(CommandId::TreeCut);
    EXPECT_EQ(editor.document().topicCount(), 1u);
}

TEST_F(ClipboardCommands, KeysActByFocus) {
    Build({"t:a,b"});
    host.answers = {MessageAnswer::Ok};
    EXPECT_TRUE(editor.key(WindowKey::Copy, FocusArea::List));
    EXPECT_EQ(host.clipboard, "a");
    EXPECT_FALSE(editor.key(WindowKey::Copy, FocusArea::TreeEdit));
    EXPECT_TRUE(editor.key(WindowKey::Copy, FocusArea::Tree));
    EXPECT_EQ(host.clipboard.value().substr(0, 7), "t@00@\r\n");
    editor.key(WindowKey::Delete, FocusArea::List);
    EXPECT_EQ(Rows(), V{"b"});
    editor.key(WindowKey::F2, FocusArea::List);
    EXPECT_EQ(editor.selection().text(EditBox::List), "b");
    EXPECT_EQ(host.focus.back(), EditBox::List);
    editor.key(WindowKey::F2, FocusArea::Tree);
    EXPECT_EQ(host.focus.back(), EditBox::Tree);
    editor.key(WindowKey::Delete, FocusArea::Tree);
    EXPECT_TRUE(editor.document().empty());
    editor.key(WindowKey::Delete, FocusArea::Tree);  // nothing selected: DelTree beeps
    EXPECT_EQ(host.beeps, 1);
    host.clipboard.reset();
    EXPECT_TRUE(editor.key(WindowKey::Paste, FocusArea::Tree));
    EXPECT_EQ(host.beeps, 2);
    // Insert in the empty tree adds a Topic and puts its caption up for typing; elsewhere
    // the key is the control's own.
    EXPECT_FALSE(editor.key(WindowKey::Insert, FocusArea::TreeEdit));
    EXPECT_FALSE(editor.key(WindowKey::Insert, FocusArea::List));
    EXPECT_TRUE(editor.document().empty());
    EXPECT_TRUE(editor.key(WindowKey::Insert, FocusArea::Tree));
    EXPECT_EQ(Shape(), V{test::Sjis("新しいツリー") + "/0"});
    EXPECT_EQ(host.focus.back(), EditBox::Tree);
}

}  // namespace
}  // namespace brenvale

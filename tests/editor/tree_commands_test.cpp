#include <gtest/gtest.h>

#include "document/document_reader.h"
#include "document/document_writer.h"
#include "editor/icon_menu.h"
#include "editor_fixture.h"
#include "support/editor_test_access.h"

namespace brenvale {
namespace {

using test::Sjis;
using V = std::vector<std::string>;

class TreeCommands : public test::EditorTest {};

TEST_F(TreeCommands, AddTreeAppendsAtTheEndOfTheLevelAndFocusesTheRenameBox) {
    Build({"a", "b", "c", "d", "e"});
    editor.tree().selectTopic(Find("c"));
    editor.execute(CommandId::AddTree);
    std::string added(kNewTopicCaption);
    EXPECT_EQ(Shape(), (V{"a/0", "b/0", "c/0", "d/0", "e/0", added + "/0"}));
    EXPECT_EQ(editor.selection().topic()->caption, added);
    EXPECT_EQ(editor.selection().text(EditBox::Tree), added);
    EXPECT_EQ(host.focus, std::vector<EditBox>{EditBox::Tree});
    EXPECT_TRUE(editor.session().isModified());
    EXPECT_EQ(editor.list().rowCount(), 0u);
}

TEST_F(TreeCommands, AddingToAnEmptyTreeMakesOneTopLevelTopic) {
    EXPECT_FALSE(editor.isEnabled(CommandId::AddTreeChild));
    editor.execute(CommandId::AddTree);
    EXPECT_EQ(editor.document().topicCount(), 1u);
    EXPECT_EQ(editor.selection().topic()->icon, 0);
    EXPECT_TRUE(editor.isEnabled(CommandId::AddTreeChild));
}

TEST_F(TreeCommands, AddTreeChildRevealsTheNewTopicUnderACollapsedParent) {
    Build({"a", "  a1", "b"});
    Topic* a = Find("a");
    editor.tree().setTopicExpanded(a, false);
    editor.tree().selectTopic(a);
    editor.execute(CommandId::AddTreeChild);
    EXPECT_EQ(editor.selection().topic()->parent(), a);
    EXPECT_EQ(editor.selection().topic()->row(), 1u);
    EXPECT_TRUE(a->expanded);
}

TEST_F(TreeCommands, IndentMovesUnderThePreviousSiblingOrTheNext) {
    Build({"a", "b", "c"});
    editor.tree().selectTopic(Find("a"));
    editor.execute(CommandId::TreeRight);  // the first of several moves under the second
    EXPECT_EQ(Shape(), (V{"b/0+", "a/1", "c/0"}));
    EXPECT_EQ(editor.selection().topic(), Find("a"));
    EXPECT_TRUE(editor.session().isModified());
    EXPECT_FALSE(editor.isEnabled(CommandId::TreeRight));  // a has no siblings now
    EXPECT_TRUE(editor.isEnabled(CommandId::TreeLeft));
}

TEST_F(TreeCommands, IndentKeepsEveryOtherExpandedState) {
    Build({"a", "  a1", "    a11", "b", "  b1", "c"});
    editor.tree().setTopicExpanded(Find("a1"), false);
    editor.tree().setTopicExpanded(Find("b"), false);
    editor.tree().selectTopic(Find("c"));
    editor.execute(CommandId::TreeRight);
    // b was collapsed with children and is expanded to show c; a1 stays collapsed.
    EXPECT_EQ(Shape(), (V{"a/0+", "a1/1", "a11/2", "b/0+", "b1/1", "c/1"}));
    editor.tree().selectTopic(Find("a11"));
    EXPECT_TRUE(Find("a1")->expanded);
    editor.tree().setTopicExpanded(Find("a1"), false);
    editor.tree().selectTopic(Find("b1"));
    editor.execute(CommandId::TreeLeft);
    EXPECT_EQ(Shape(), (V{"a/0+", "a1/1", "a11/2", "b/0+", "c/1", "b1/0"}));
}

TEST_F(TreeCommands, AMoveChangesNoExpandedStateButThoseOfTheMovedTopicAndItsNewParent) {
    // x lost its child while collapsed; moving other Topics leaves it as it is.
    Build({"x", "  gone", "a", "b", "c"});
    editor.tree().selectTopic(Find("gone"));
    editor.tree().setTopicExpanded(Find("x"), false);
    host.answers = {MessageAnswer::Ok};
    editor.execute(CommandId::DelTree);
    editor.tree().selectTopic(Find("c"));
    editor.execute(CommandId::TreeUp);
    editor.execute(CommandId::TreeRight);  // into a, which had no children
    EXPECT_FALSE(Find("x")->expanded);
    EXPECT_TRUE(Find("a")->expanded);
    EXPECT_EQ(Shape(), (V{"x/0", "a/0+", "c/1", "b/0"}));
}

TEST_F(TreeCommands, IndentIntoAChildlessSiblingExpandsIt) {
    Build({"a", "b"});
    editor.tree().setTopicExpanded(Find("a"), false);
    editor.tree().selectTopic(Find("b"));
    editor.execute(CommandId::TreeRight);
    EXPECT_EQ(Shape(), (V{"a/0+", "b/1"}));
}

TEST_F(TreeCommands, OutdentPlacesTheTopicDirectlyAfterItsFormerParent) {
    Build({"p", "  x", "  y", "  z", "q"});
    editor.tree().selectTopic(Find("y"));
    editor.execute(CommandId::TreeLeft);
    EXPECT_EQ(Shape(), (V{"p/0+", "x/1", "z/1", "y/0", "q/0"}));
    EXPECT_FALSE(editor.isEnabled(CommandId::TreeLeft));
}

TEST_F(TreeCommands, MoveUpAndDownStayAmongSiblings) {
    Build({"a", "b", "  b1", "c", "d"});
    editor.tree().selectTopic(Find("c"));
    editor.execute(CommandId::TreeDown);
    EXPECT_EQ(Shape(), (V{"a/0", "b/0+", "b1/1", "d/0", "c/0"}));
    EXPECT_FALSE(editor.isEnabled(CommandId::TreeDown));
    EXPECT_TRUE(editor.session().isModified());
    editor.session().setModified(false);
    editor.execute(CommandId::TreeDown);  // already last: nothing moves, nothing is modified
    EXPECT_FALSE(editor.session().isModified());
    editor.execute(CommandId::TreeUp);
    editor.execute(CommandId::TreeUp);
    EXPECT_EQ(Shape(), (V{"a/0", "c/0", "b/0+", "b1/1", "d/0"}));
    EXPECT_EQ(editor.selection().topic(), Find("c"));
    editor.tree().selectTopic(Find("b1"));
    EXPECT_FALSE(editor.isEnabled(CommandId::TreeUp));
    EXPECT_FALSE(editor.isEnabled(CommandId::TreeDown));
    EXPECT_FALSE(editor.isEnabled(CommandId::TreeRight));
}

TEST_F(TreeCommands, DeleteAsksWithTheRightTextAndSelectsTheStatedNeighbour) {
    Build({"a", "b", "  b1", "  b2", "c"});
    editor.tree().selectTopic(Find("b"));
    host.answers = {MessageAnswer::Cancel};
    editor.execute(CommandId::DelTree);
    EXPECT_EQ(host.messages.back().text, "bから後ろの階層すべて削除されます。\nよろしいですか？");
    EXPECT_EQ(host.messages.back().kind, MessageKind::Information);
    EXPECT_EQ(host.messages.back().buttons, MessageButtons::OkCancel);
    EXPECT_EQ(editor.document().topicCount(), 5u);
    EXPECT_FALSE(editor.session().isModified());

    editor.tree().selectTopic(Find("b2"));  // last child: no next sibling, so its parent
    host.answers = {MessageAnswer::Ok};
    editor.execute(CommandId::DelTree);
    EXPECT_EQ(host.messages.back().text, "b2を削除します。\nよろしいですか？");
    EXPECT_EQ(editor.selection().topic(), Find("b"));
    EXPECT_TRUE(editor.session().isModified());

    host.answers = {MessageAnswer::Ok};
    editor.execute(CommandId::DelTree);  // b has a next sibling c
    EXPECT_EQ(editor.selection().topic(), Find("c"));
    host.answers = {MessageAnswer::Ok};
    editor.execute(CommandId::DelTree);  // the last top-level Topic: its previous sibling
    EXPECT_EQ(editor.selection().topic(), Find("a"));
    EXPECT_EQ(editor.selection().text(EditBox::Tree), "a");
}

TEST_F(TreeCommands, DeletingTheOnlyTopicEmptiesTheRenameBoxAndTheList) {
    Build({"a:x,y"});
    host.answers = {MessageAnswer::Ok};
    editor.execute(CommandId::DelTree);
    EXPECT_TRUE(editor.document().empty());
    EXPECT_EQ(editor.selection().topic(), nullptr);
    EXPECT_EQ(editor.selection().text(EditBox::Tree), "");
    EXPECT_EQ(editor.list().rowCount(), 0u);
    EXPECT_EQ(editor.list().selectedRow(), -1);
    editor.execute(CommandId::DelTree);
    EXPECT_EQ(host.beeps, 1);
    EXPECT_FALSE(editor.isEnabled(CommandId::SaveText));
}

TEST_F(TreeCommands, RenamesOnEveryKeystrokeAndKeepsWhatTheFileCanCarry) {
    Build({"a"});
    editor.editTextChanged(EditBox::Tree, "ab");
    EXPECT_EQ(editor.selection().topic()->caption, "ab");
    EXPECT_TRUE(editor.session().isModified());
    editor.editTextChanged(EditBox::Tree, "");
    EXPECT_EQ(editor.selection().topic()->caption, "");
    editor.session().setModified(false);
    editor.editTextChanged(EditBox::Tree, "");
    EXPECT_FALSE(editor.session().isModified());

    // A pasted tab in front would make the caption a deeper level in the file.
    editor.editTextChanged(EditBox::Tree, "\tname\x1A");
    EXPECT_EQ(editor.selection().topic()->caption, "name");
    EXPECT_EQ(editor.selection().text(EditBox::Tree), "name");
    Document& doc = EditorTestAccess::document(editor);
    ReadResult back = ParseDocument(SerializeDocument(doc, {}, true), {});
    EXPECT_EQ(back.document->first()->caption, "name");
}

TEST_F(TreeCommands, IconsChangeOnlyWhenDifferentAndTheTrashFollowsItsList) {
    Build({"a:x", "b"});
    editor.tree().selectTopic(Find("a"));
    editor.tree().iconMenuClick(1);
    EXPECT_FALSE(editor.session().isModified());
    editor.tree().iconMenuClick(kIconTrash);
    EXPECT_EQ(Find("a")->icon, kIconTrashFull);
    EXPECT_EQ(CheckedIconEntryFor(editor.selection().topic(), editor.userIconCount()), 1);
    EXPECT_TRUE(editor.session().isModified());
    editor.execute(CommandId::ListDel);
    EXPECT_EQ(Find("a")->icon, kIconTrash);
    editor.tree().iconMenuClick(kIconPencil);
    EXPECT_EQ(CheckedIconEntryFor(editor.selection().topic(), editor.userIconCount()), 4);
    EXPECT_EQ(Find("a")->selectedImage(), kIconPencil);
}

TEST(IconMenu, ListsUserIconsAndMatchesTheirEntries) {
    std::vector<IconMenuEntry> entries = IconMenuEntries(3);
    ASSERT_EQ(entries.size(), 8u);
    EXPECT_EQ(entries[0].caption, "フォルダ");
    EXPECT_EQ(entries[0].tag, 1);
    EXPECT_EQ(entries[0].hint,
              "アイコン変更...|選択されているツリーのアイコンを『フォルダ』アイコンに変更します");
    EXPECT_EQ(entries[6].caption, "ユーザー アイコン 02");
    EXPECT_EQ(entries[6].tag, 9);
    EXPECT_EQ(entries[6].barImage, kBuiltInBarImages + 1);
    EXPECT_EQ(CheckedIconEntry(9, entries.size()), 6);
    EXPECT_EQ(CheckedIconEntry(12, entries.size()), -1);
    EXPECT_EQ(CheckedIconEntry(kIconMissing, entries.size()), -1);
    EXPECT_EQ(CheckedIconEntry(kIconTrashFull, entries.size()), 1);

    std::set<std::string> present = {"/p/Icon01.ico", "/p/Icon02.ico", "/p/Icon04.ico"};
    std::vector<std::string> found =
        ScanUserIcons("/p", [&](const std::string& f) { return present.count(f) > 0; });
    EXPECT_EQ(found, (V{"/p/Icon01.ico", "/p/Icon02.ico"}));
}

TEST(UserIcons, ATopicGivenAUserIconStoresItsIndex) {
    test::FakeHost host;
    Editor editor(host, Settings{}, 3);
    editor.execute(CommandId::AddTree);
    editor.tree().iconMenuClick(IconMenuEntries(3)[6].tag);
    EXPECT_EQ(editor.selection().topic()->icon, 9);
    EXPECT_EQ(editor.topicImageCount(), 11);
}

}  // namespace
}  // namespace brenvale

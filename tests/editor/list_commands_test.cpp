#include <gtest/gtest.h>

#include "document/document_reader.h"
#include "document/document_writer.h"
#include "editor_fixture.h"
#include "support/editor_test_access.h"

namespace brenvale {
namespace {

using V = std::vector<std::string>;

class ListCommands : public test::EditorTest {};

TEST_F(ListCommands, AddInsertsAfterTheSelectedRowOrAtTheEnd) {
    Build({"t:a,b,c,d,e"});
    editor.selectRow(2);
    Type("x");
    editor.execute(CommandId::ListAdd);
    EXPECT_EQ(Rows(), (V{"a", "b", "c", "x", "d", "e"}));
    EXPECT_EQ(editor.list().selectedRow(), 3);
    EXPECT_EQ(editor.selection().text(EditBox::List), "");
    EXPECT_TRUE(editor.session().isModified());
    editor.selectRow(-1);
    Type("y");
    editor.execute(CommandId::ListAdd);
    EXPECT_EQ(Rows().back(), "y");
    EXPECT_EQ(editor.list().selectedRow(), 6);
}

TEST_F(ListCommands, EnterInAnEmptyEntryBoxDoesNothing) {
    Build({"t"});
    editor.execute(CommandId::ListAdd);
    EXPECT_EQ(editor.list().rowCount(), 0u);
    EXPECT_EQ(host.beeps, 0);
    EXPECT_FALSE(editor.session().isModified());
}

TEST_F(ListCommands, AddingWithoutATopicAsksForOneFirst) {
    Type("x");
    host.answers = {MessageAnswer::Ok, MessageAnswer::Ok};
    editor.execute(CommandId::ListAdd);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "先にツリーを作成して下さい。");
    EXPECT_EQ(host.messages[0].kind, MessageKind::Information);
    EXPECT_EQ(host.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(editor.selection().text(EditBox::List), "x");
    editor.execute(CommandId::ListAddLine);
    EXPECT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(editor.list().rowCount(), 0u);
    EXPECT_FALSE(editor.session().isModified());
}

TEST_F(ListCommands, SplitAddAnsweredYesAddsEachPieceInOrder) {
    Build({"t:a,b"});
    editor.selectRow(0);
    for (const char* text : {"x\r\ny\r\nz", "x\r\ny\r\nz\r\n"}) {
        host.answers = {MessageAnswer::Yes};
        Type(text);
        editor.execute(CommandId::ListAdd);
        EXPECT_EQ(host.messages.back().text,
                  "改行文字が含まれています。\nそれぞれ別々のチェックリストを作成しますか？");
        EXPECT_EQ(host.messages.back().buttons, MessageButtons::YesNoCancel);
        EXPECT_EQ(editor.selection().text(EditBox::List), "");
        mirror.check();
    }
    EXPECT_EQ(Rows(), (V{"a", "x", "y", "z", "x", "y", "z", "b"}));
    EXPECT_EQ(editor.list().selectedRow(), 6);
    host.answers = {MessageAnswer::Yes};
    Type("p\r\n\r\nq");
    editor.execute(CommandId::ListAdd);
    EXPECT_EQ(editor.list().rowCount(), 10u);
}

TEST_F(ListCommands, SplitAddAnsweredNoKeepsOneItemThatSavesAsShown) {
    Build({"t"});
    host.answers = {MessageAnswer::No};
    Type("a\r\nb");
    editor.execute(CommandId::ListAdd);
    ASSERT_EQ(editor.list().rowCount(), 1u);
    // The line break is kept as a lone LF, which the document file carries unchanged.
    EXPECT_EQ(editor.list().rowText(0), "a\nb");
    ReadResult back =
        ParseDocument(SerializeDocument(EditorTestAccess::document(editor), {}, true), {});
    EXPECT_EQ(back.document->first()->items[0].text(), "a\nb");
}

TEST_F(ListCommands, SplitAddCancelledChangesNothing) {
    Build({"t:a"});
    host.answers = {MessageAnswer::Cancel};
    Type("a\r\nb");
    editor.execute(CommandId::ListAdd);
    EXPECT_EQ(Rows(), V{"a"});
    EXPECT_EQ(editor.selection().text(EditBox::List), "a\r\nb");
    EXPECT_FALSE(editor.session().isModified());
}

TEST_F(ListCommands, DeleteSelectsTheRowAboveOrTheFirst) {
    Build({"t:a,b,c"});
    editor.selectRow(0);
    Type("keep?");
    editor.execute(CommandId::ListDel);
    EXPECT_EQ(Rows(), (V{"b", "c"}));
    EXPECT_EQ(editor.list().selectedRow(), 0);
    EXPECT_EQ(editor.selection().text(EditBox::List), "");
    editor.selectRow(1);
    editor.execute(CommandId::ListDel);
    EXPECT_EQ(editor.list().selectedRow(), 0);
    editor.execute(CommandId::ListDel);
    EXPECT_EQ(editor.list().rowCount(), 0u);
    EXPECT_EQ(editor.list().selectedRow(), -1);
    editor.execute(CommandId::ListDel);
    EXPECT_TRUE(editor.session().isModified());
}

TEST_F(ListCommands, MovesKeepCheckedFlagsAndStopAtTheEnds) {
    Build({"t:a,*b,c"});
    editor.selectRow(1);
    editor.execute(CommandId::ListMoveUp);
    EXPECT_EQ(Rows(), (V{"b*", "a", "c"}));
    EXPECT_EQ(editor.list().selectedRow(), 0);
    EXPECT_FALSE(editor.isEnabled(CommandId::ListMoveUp));
    editor.execute(CommandId::ListMoveUp);
    EXPECT_EQ(Rows(), (V{"b*", "a", "c"}));
    editor.selectRow(2);
    EXPECT_FALSE(editor.isEnabled(CommandId::ListMoveDown));
    editor.selectRow(0);
    editor.execute(CommandId::ListMoveDown);
    editor.execute(CommandId::ListMoveDown);
    EXPECT_EQ(Rows(), (V{"a", "c", "b*"}));
    EXPECT_EQ(editor.list().selectedRow(), 2);
}

TEST_F(ListCommands, ReEditAndReplaceUncheckTheItem) {
    Build({"t:a,*-b"});
    editor.selectRow(1);
    editor.execute(CommandId::ListReEdit);
    EXPECT_EQ(editor.selection().text(EditBox::List), "-b");
    EXPECT_EQ(host.focus, std::vector<EditBox>{EditBox::List});
    EXPECT_FALSE(editor.session().isModified());
    Type("-b2");
    editor.execute(CommandId::ListReplace);
    EXPECT_EQ(Rows(), (V{"a", "-b2"}));
    EXPECT_EQ(editor.list().selectedRow(), 1);
    EXPECT_EQ(editor.selection().text(EditBox::List), "");
    EXPECT_TRUE(editor.session().isModified());
}

TEST_F(ListCommands, SeparatorsAndBoxSwitching) {
    Build({"t:ab,*x"});
    editor.selectRow(0);
    editor.execute(CommandId::ListAddLine);
    EXPECT_EQ(Rows(), (V{"ab", "-", "x*"}));
    EXPECT_EQ(editor.list().rowKind(1), ItemKind::Separator);
    editor.execute(CommandId::ListChkBox);  // "-" becomes an empty Item
    EXPECT_EQ(Rows()[1], "");
    editor.execute(CommandId::ListChkBox);  // and an empty Item a separator again
    EXPECT_EQ(Rows()[1], "-");
    editor.selectRow(0);
    editor.execute(CommandId::ListChkBox);
    EXPECT_EQ(Rows()[0], "-ab");
    EXPECT_TRUE(editor.checkBoxButtonPressed());
    EXPECT_EQ(editor.list().rowKind(0), ItemKind::NoBox);
    editor.execute(CommandId::ListChkBox);
    EXPECT_EQ(Rows()[0], "ab");
    EXPECT_FALSE(editor.checkBoxButtonPressed());
    editor.selectRow(2);
    editor.execute(CommandId::ListChkBox);
    EXPECT_EQ(Rows()[2], "-x");  // a checked Item is unchecked by the switch
}

TEST_F(ListCommands, SettingsOffDisableSeparatorsAndBoxSwitching) {
    Settings settings;
    settings.separatorItems = false;
    settings.noBoxItems = false;
    editor.setSettings(settings);
    Build({"t:a"});
    EXPECT_FALSE(editor.isEnabled(CommandId::ListAddLine));
    EXPECT_FALSE(editor.isEnabled(CommandId::ListChkBox));
    editor.execute(CommandId::ListAddLine);
    editor.execute(CommandId::ListChkBox);
    EXPECT_EQ(Rows(), V{"a"});
}

TEST_F(ListCommands, TickingASeparatorIsNotStored) {
    Build({"t:-,a"});
    editor.selectRow(0);
    editor.toggleCheck(0);
    EXPECT_TRUE(editor.list().rowChecked(0));  // the box shows the tick
    EXPECT_FALSE(editor.selection().topic()->items[0].checked());
    EXPECT_FALSE(editor.session().isModified());
    editor.selectRow(1);
    editor.toggleCheck(1);
    EXPECT_TRUE(editor.selection().topic()->items[1].checked());
    EXPECT_TRUE(editor.session().isModified());
}

TEST_F(ListCommands, TickingWithBothSettingsOffStillIgnoresADash) {
    Settings settings;
    settings.separatorItems = false;
    settings.noBoxItems = false;
    editor.setSettings(settings);
    Build({"t:-"});
    EXPECT_EQ(editor.list().rowKind(0), ItemKind::Ordinary);
    editor.toggleCheck(0);
    EXPECT_FALSE(editor.session().isModified());
    Build({"u:-x"});  // a no-box Item keeps and stores its flag
    editor.toggleCheck(0);
    EXPECT_TRUE(editor.selection().topic()->items[0].checked());
}

TEST_F(ListCommands, ForeignMarksAreRewrittenByTheNextStore) {
    Build({"t", "u"});
    Topic* t = Find("t");
    t->items.push_back(Item::FromStored("xyfirst"));
    t->items.push_back(Item::FromStored("xysecond"));
    editor.tree().selectTopic(t);
    EXPECT_EQ(t->items[0].mark(), "xy");
    editor.execute(CommandId::ListMoveDown);
    EXPECT_EQ(t->items[0].mark(), kUncheckedMark);
    EXPECT_EQ(t->items[1].mark(), kUncheckedMark);
}

TEST_F(ListCommands, CopyCutAndPasteUseTheRawText) {
    Build({"t:-ab,*c"});
    editor.selectRow(0);
    editor.execute(CommandId::ListCopy);
    EXPECT_EQ(host.clipboard, "-ab");
    editor.selectRow(1);
    editor.execute(CommandId::ListCut);
    EXPECT_EQ(host.clipboard, "c");
    EXPECT_EQ(Rows(), V{"-ab"});
    host.clipboard = "-ab";
    editor.execute(CommandId::ListPaste);
    EXPECT_EQ(Rows(), (V{"-ab", "-ab"}));
    EXPECT_EQ(editor.list().rowKind(1), ItemKind::NoBox);
    host.clipboard.reset();
    editor.execute(CommandId::ListPaste);
    EXPECT_EQ(host.beeps, 1);
}

TEST_F(ListCommands, PastingLinesAsksTheSplitQuestion) {
    Build({"t"});
    host.clipboard = "a\r\nb";
    host.answers = {MessageAnswer::Cancel};
    editor.execute(CommandId::ListPaste);
    EXPECT_EQ(editor.selection().text(EditBox::List), "a\r\nb");
    EXPECT_EQ(editor.list().rowCount(), 0u);
}

TEST_F(ListCommands, EditInPlaceAsksTheWindowForTheSelectedRowOnly) {
    Build({"t:a,b"});
    editor.selectRow(1);
    EXPECT_TRUE(editor.isEnabled(CommandId::ListEditInPlace));
    editor.execute(CommandId::ListEditInPlace);
    EXPECT_EQ(host.windowCommands, (V{"edit row 1"}));
    editor.selectRow(-1);
    EXPECT_FALSE(editor.isEnabled(CommandId::ListEditInPlace));
    editor.execute(CommandId::ListEditInPlace);
    EXPECT_EQ(host.windowCommands.size(), 1u);
    EXPECT_EQ(StepName(CommandId::ListEditInPlace), "編集");
}

TEST_F(ListCommands, TextStoredInPlaceIsOneStepAndKeepsTheTick) {
    Build({"t:a,*b,c"});
    editor.selectRow(0);
    Type("typed");
    size_t steps = editor.history().undoCount();
    editor.storeRowText(1, "B changed");
    EXPECT_EQ(Rows(), (V{"a", "B changed*", "c"}));
    EXPECT_EQ(editor.list().selectedRow(), 1);
    EXPECT_TRUE(editor.session().isModified());
    // The entry box is no part of it.
    EXPECT_EQ(editor.selection().text(EditBox::List), "typed");
    EXPECT_EQ(editor.history().undoCount(), steps + 1);
    editor.execute(CommandId::Undo);
    EXPECT_EQ(Rows(), (V{"a", "b*", "c"}));
    editor.execute(CommandId::Redo);
    EXPECT_EQ(Rows(), (V{"a", "B changed*", "c"}));
}

TEST_F(ListCommands, TextStoredInPlaceUnchangedOrOnAGoneRowChangesNothing) {
    Build({"t:a,b"});
    size_t steps = editor.history().undoCount();
    editor.storeRowText(0, "a");
    editor.storeRowText(2, "nowhere");
    EXPECT_EQ(Rows(), (V{"a", "b"}));
    EXPECT_FALSE(editor.session().isModified());
    EXPECT_EQ(editor.history().undoCount(), steps);
    // A line break becomes what the file can carry, as in any other text.
    editor.storeRowText(1, "x\r\ny");
    EXPECT_EQ(Rows(), (V{"a", "x\ny"}));
    // Emptied, the Item stays, empty.
    editor.storeRowText(0, "");
    EXPECT_EQ(Rows(), (V{"", "x\ny"}));
}

TEST_F(ListCommands, TheListExtentFollowsTheWidestText) {
    editor.list().setTextWidthMeasure(
        [](std::string_view s) { return static_cast<int>(s.size()) * 10; });
    editor.list().setClientWidth(100);
    Build({"t:short"});
    EXPECT_EQ(editor.list().extent(), 0);
    Type("a much longer text");
    editor.execute(CommandId::ListAdd);
    EXPECT_EQ(editor.list().extent(), 180 + 24);
    editor.execute(CommandId::ListDel);
    EXPECT_EQ(editor.list().extent(), 0);
}

TEST_F(ListCommands, RowsThatAreGoneReadAsEmptyAndUnchecked) {
    EXPECT_EQ(editor.list().rowText(0), "");
    EXPECT_FALSE(editor.list().rowChecked(0));
    Build({"t:*a"});
    EXPECT_EQ(editor.list().rowText(1), "");
    EXPECT_FALSE(editor.list().rowChecked(1));
    EXPECT_EQ(editor.list().rowKind(5), ItemKind::Ordinary);
    EXPECT_TRUE(editor.list().rowChecked(0));
}

}  // namespace
}  // namespace brenvale

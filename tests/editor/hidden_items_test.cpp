// The list with checked Items hidden: the commands act on the rows shown and never on a
// hidden Item by accident.
#include <gtest/gtest.h>

#include "editor_fixture.h"

namespace brenvale {
namespace {

using V = std::vector<std::string>;

class HiddenItems : public test::EditorTest {
protected:
    HiddenItems() {
        host.onSwitch = [this](bool Settings::*option, bool on) {
            Settings s = editor.settings();
            s.*option = on;
            editor.setSettings(s);
        };
    }

    void Hide(bool on) {
        if (editor.settings().hideCheckedItems != on) {
            editor.execute(CommandId::HideChecked);
        }
    }

    // Every Item of the selected Topic, shown or not, "*" after a checked one.
    V Items() {
        V items;
        const ItemList& list = editor.selection().topic()->items;
        for (size_t i = 0; i < list.size(); ++i) {
            items.push_back(std::string(list[i].text()) + (list[i].checked() ? "*" : ""));
        }
        return items;
    }
};

TEST_F(HiddenItems, TheSwitchHidesCheckedOrdinaryItemsAndTheCountersSaySo) {
    Build({"t:a,*h,-,*-n,b,*k"});
    Hide(true);
    EXPECT_EQ(host.windowCommands, (V{"switch on"}));
    EXPECT_TRUE(editor.isEnabled(CommandId::HideChecked));
    // A ticked no-box Item has no box to show its tick: it stays.
    EXPECT_EQ(Rows(), (V{"a", "-", "-n*", "b"}));
    EXPECT_EQ(editor.list().counterText(), "1/4");
    EXPECT_EQ(editor.list().uncheckedText(), " (2)");
    EXPECT_EQ(editor.list().hiddenText(), " 非表示 2");
    Hide(false);
    EXPECT_EQ(Rows(), (V{"a", "h*", "-", "-n*", "b", "k*"}));
    EXPECT_EQ(editor.list().hiddenText(), "");
}

TEST_F(HiddenItems, AListWhoseItemsAreAllHiddenSaysHowManyInsteadOfARow) {
    Build({"t:*a,*b", "u:c,*d"});
    editor.tree().selectTopic(Find("t"));
    EXPECT_EQ(editor.list().allHiddenText(), "");
    Hide(true);
    EXPECT_EQ(editor.list().rowCount(), 0u);
    EXPECT_EQ(editor.list().allHiddenText(), "チェック済みの項目 2 件を隠しています");
    // A list with a row shows the row; an empty Topic hides nothing.
    editor.tree().selectTopic(Find("u"));
    EXPECT_EQ(editor.list().allHiddenText(), "");
    editor.execute(CommandId::AddTree);
    EXPECT_EQ(editor.list().allHiddenText(), "");
    Hide(false);
    editor.tree().selectTopic(Find("t"));
    EXPECT_EQ(editor.list().allHiddenText(), "");
}

TEST_F(HiddenItems, TheAllHiddenLineCountsOnlyTheCheckedItemsTheSwitchHides) {
    // The tag filter keeps "A" shown for its child's match, but hides the whole of its list.
    Build({"A:a,*b,*c", "  A1:d #x"});
    editor.tree().selectTopic(Find("A"));
    editor.tags().clickTag("x", TagClick::Only);
    ASSERT_EQ(editor.selection().topic(), Find("A"));
    EXPECT_EQ(editor.list().rowCount(), 0u);
    EXPECT_EQ(editor.list().allHiddenText(), "");  // nothing is hidden for being checked
    Hide(true);
    EXPECT_EQ(editor.list().allHiddenText(), "チェック済みの項目 2 件を隠しています");
    EXPECT_EQ(editor.list().hiddenText(), " 非表示 3");
    editor.tags().clearTagFilter();
    EXPECT_EQ(Rows(), V{"a"});
    EXPECT_EQ(editor.list().allHiddenText(), "");
}

TEST_F(HiddenItems, MovingUpOrDownStepsOverHiddenItems) {
    Build({"t:a,*h1,b,*h2,c"});
    Hide(true);
    editor.selectRow(1);
    editor.execute(CommandId::ListMoveUp);
    EXPECT_EQ(Items(), (V{"b", "a", "h1*", "h2*", "c"}));
    EXPECT_EQ(Rows(), (V{"b", "a", "c"}));
    EXPECT_EQ(editor.list().selectedRow(), 0);
    EXPECT_FALSE(editor.isEnabled(CommandId::ListMoveUp));
    editor.selectRow(1);
    editor.execute(CommandId::ListMoveDown);
    EXPECT_EQ(Items(), (V{"b", "h1*", "h2*", "c", "a"}));
    EXPECT_EQ(Rows(), (V{"b", "c", "a"}));
    EXPECT_EQ(editor.list().selectedRow(), 2);
    EXPECT_FALSE(editor.isEnabled(CommandId::ListMoveDown));
    mirror.check();
    editor.execute(CommandId::Undo);
    editor.execute(CommandId::Undo);
    EXPECT_EQ(Items(), (V{"a", "h1*", "b", "h2*", "c"}));
    EXPECT_EQ(editor.list().selectedRow(), 1);  // b, as before the first move
}

TEST_F(HiddenItems, ADropLandsBetweenTheRowsItWasDroppedBetween) {
    Build({"t:a,*h1,b,*h2,c"});
    Hide(true);
    editor.selectRow(0);
    DropItemInList(2);
    EXPECT_EQ(Items(), (V{"h1*", "b", "h2*", "c", "a"}));
    EXPECT_EQ(Rows(), (V{"b", "c", "a"}));
    EXPECT_EQ(editor.list().selectedRow(), 2);
    editor.selectRow(1);
    DropItemInList(0);
    EXPECT_EQ(Items(), (V{"h1*", "c", "b", "h2*", "a"}));
    EXPECT_EQ(Rows(), (V{"c", "b", "a"}));
    EXPECT_EQ(editor.list().selectedRow(), 0);
    mirror.check();
}

TEST_F(HiddenItems, DeleteCutAndTheInsertRuleActOnTheSelectedRowsItem) {
    Build({"t:a,*h1,b,*h2,c"});
    Hide(true);
    editor.selectRow(1);
    editor.execute(CommandId::ListCut);
    EXPECT_EQ(host.clipboard, "b");
    EXPECT_EQ(Items(), (V{"a", "h1*", "h2*", "c"}));
    EXPECT_EQ(editor.list().selectedRow(), 0);
    // Added right after the selected row's Item, before the hidden ones that follow it.
    Type("n");
    editor.execute(CommandId::ListAdd);
    EXPECT_EQ(Items(), (V{"a", "n", "h1*", "h2*", "c"}));
    EXPECT_EQ(Rows(), (V{"a", "n", "c"}));
    EXPECT_EQ(editor.list().selectedRow(), 1);
    editor.selectRow(2);
    editor.execute(CommandId::ListDel);
    EXPECT_EQ(Items(), (V{"a", "n", "h1*", "h2*"}));
    EXPECT_EQ(editor.list().selectedRow(), 1);
    EXPECT_EQ(editor.list().hiddenText(), " 非表示 2");
    mirror.check();
}

TEST_F(HiddenItems, ATickedItemStaysUntilTheTimerSoAMisClickCanBeUndone) {
    Build({"t:a,b,c"});
    Hide(true);
    editor.selectRow(1);
    editor.toggleCheck(1);
    EXPECT_EQ(Rows(), (V{"a", "b*", "c"}));
    EXPECT_EQ(host.hideTimerDelays, (std::vector<int>{VisibleList::kHideDelayMs}));
    editor.execute(CommandId::Undo);
    EXPECT_EQ(Rows(), (V{"a", "b", "c"}));
    editor.files().hideCheckedTick();
    EXPECT_EQ(Rows(), (V{"a", "b", "c"}));

    editor.selectRow(1);
    editor.toggleCheck(1);
    editor.selectRow(2);
    editor.toggleCheck(2);
    EXPECT_EQ(host.hideTimerDelays.size(), 3u);  // each tick starts the moment again
    editor.files().hideCheckedTick();
    EXPECT_EQ(Rows(), (V{"a"}));
    EXPECT_EQ(editor.list().selectedRow(), 0);
    EXPECT_EQ(editor.list().hiddenText(), " 非表示 2");
    mirror.check();
    // An Item ticked and unticked before the timer stays.
    editor.toggleCheck(0);
    editor.toggleCheck(0);
    editor.files().hideCheckedTick();
    EXPECT_EQ(Rows(), (V{"a"}));
}

TEST_F(HiddenItems, TheTimerWaitsForADragToEnd) {
    Build({"t:a,b"});
    Hide(true);
    editor.toggleCheck(0);
    editor.drag().beginDrag(DragKind::Item);
    editor.files().hideCheckedTick();
    EXPECT_EQ(Rows(), (V{"a*", "b"}));
    EXPECT_EQ(host.hideTimerDelays.size(), 2u);
    editor.drag().endDrag();
    editor.files().hideCheckedTick();
    EXPECT_EQ(Rows(), (V{"b"}));
}

TEST_F(HiddenItems, UncheckAllUnticksEveryItemInOneStepAndShowsThemAgain) {
    Build({"t:*a,b,*-c,*d"});
    Hide(true);
    editor.selectRow(0);
    EXPECT_EQ(Rows(), (V{"b", "-c*"}));
    editor.execute(CommandId::UncheckAll);
    EXPECT_EQ(Items(), (V{"a", "b", "-c", "d"}));
    EXPECT_EQ(Rows(), (V{"a", "b", "-c", "d"}));
    EXPECT_EQ(editor.list().selectedRow(), 1);  // b stays selected
    EXPECT_TRUE(editor.session().isModified());
    editor.execute(CommandId::Undo);
    EXPECT_EQ(Items(), (V{"a*", "b", "-c*", "d*"}));
    EXPECT_FALSE(editor.session().isModified());
    // Nothing to untick: no step.
    editor.tree().selectTopic(nullptr);
    EXPECT_FALSE(editor.isEnabled(CommandId::UncheckAll));
    Build({"u:x"});
    size_t steps = editor.history().undoCount();
    editor.execute(CommandId::UncheckAll);
    EXPECT_EQ(editor.history().undoCount(), steps);
    EXPECT_FALSE(editor.session().isModified());
}

TEST_F(HiddenItems, ADroppedCheckedItemArrivesInViewAndHidesLater) {
    Build({"s:x,y", "t:a"});
    Hide(true);
    editor.tree().selectTopic(Find("s"));
    editor.selectRow(1);
    editor.toggleCheck(1);
    DropItemOnTopic(Find("t"));
    EXPECT_EQ(Rows(), (V{"a", "y*"}));
    EXPECT_EQ(editor.list().selectedRow(), 1);
    editor.files().hideCheckedTick();
    EXPECT_EQ(Rows(), (V{"a"}));
    EXPECT_EQ(editor.list().selectedRow(), 0);
    mirror.check();
}

}  // namespace
}  // namespace brenvale

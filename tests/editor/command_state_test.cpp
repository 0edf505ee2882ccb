#include <gtest/gtest.h>

#include "editor_fixture.h"

namespace brenvale {
namespace {

class CommandState : public test::EditorTest {
protected:
    // Among the commands of the first version.
    std::vector<CommandId> Disabled() {
        std::vector<CommandId> out;
        for (const CommandInfo& info : CommandTable()) {
            if (info.tag <= kFirstVersionCommands && !editor.isEnabled(info.id)) {
                out.push_back(info.id);
            }
        }
        return out;
    }
};

using C = CommandId;

TEST_F(CommandState, AnEmptyTreeDisablesEveryTreeCommandButAddAndPaste) {
    EXPECT_EQ(Disabled(),
              (std::vector<C>{C::Save,       C::SaveText,    C::ChgIcon,    C::AddTreeChild,
                              C::TreeRight,  C::TreeLeft,    C::TreeUp,     C::TreeDown,
                              C::DelTree,    C::TreeCut,     C::TreeCopy,   C::TreePaste,
                              C::ListAdd,    C::ListDel,     C::ListMoveUp, C::ListMoveDown,
                              C::ListReEdit, C::ListReplace, C::ListChkBox, C::ListCut,
                              C::ListCopy,   C::ListPaste}));
    editor.clipboardChanged(true);
    EXPECT_TRUE(editor.isEnabled(C::TreePaste));
    EXPECT_TRUE(editor.isEnabled(C::ListPaste));
}

TEST_F(CommandState, SiblingsAndParentsDecideTheMoveCommands) {
    Build({"only", "  child"});
    editor.tree().selectTopic(Find("only"));
    for (C id : {C::TreeLeft, C::TreeRight, C::TreeUp, C::TreeDown}) {
        EXPECT_FALSE(editor.isEnabled(id));
    }
    editor.tree().selectTopic(Find("child"));
    EXPECT_TRUE(editor.isEnabled(C::TreeLeft));
    EXPECT_FALSE(editor.isEnabled(C::TreeRight));
}

TEST_F(CommandState, TheEntryBoxAndTheSelectedRowDecideTheListCommands) {
    Build({"t:a,b,c"});
    editor.selectRow(1);
    EXPECT_FALSE(editor.isEnabled(C::ListAdd));
    EXPECT_FALSE(editor.isEnabled(C::ListReplace));
    EXPECT_TRUE(editor.isEnabled(C::ListDel));
    Type("x");
    EXPECT_TRUE(editor.isEnabled(C::ListAdd));
    EXPECT_TRUE(editor.isEnabled(C::ListReplace));
    editor.selectRow(0);
    EXPECT_FALSE(editor.isEnabled(C::ListMoveUp));
    EXPECT_TRUE(editor.isEnabled(C::ListMoveDown));
    editor.selectRow(2);
    EXPECT_TRUE(editor.isEnabled(C::ListMoveUp));
    EXPECT_FALSE(editor.isEnabled(C::ListMoveDown));
    editor.selectRow(-1);
    EXPECT_FALSE(editor.isEnabled(C::ListDel));
    EXPECT_FALSE(editor.isEnabled(C::ListMoveUp));
}

TEST_F(CommandState, OneRowDisablesBothMoves) {
    Build({"t:a"});
    EXPECT_FALSE(editor.isEnabled(C::ListMoveUp));
    EXPECT_FALSE(editor.isEnabled(C::ListMoveDown));
}

TEST_F(CommandState, ASeparatorAddedToAnEmptyListEnablesTheRowCommands) {
    Build({"t"});
    EXPECT_FALSE(editor.isEnabled(C::ListDel));
    editor.execute(CommandId::ListAddLine);
    for (C id : {C::ListDel, C::ListReEdit, C::ListCut, C::ListCopy, C::ListChkBox}) {
        EXPECT_TRUE(editor.isEnabled(id)) << Command(id).name;
    }
    EXPECT_EQ(editor.list().counterText(), "1/1");
}

TEST_F(CommandState, SaveFollowsTheModifiedFlag) {
    EXPECT_FALSE(editor.isEnabled(C::Save));
    editor.execute(CommandId::AddTree);
    EXPECT_TRUE(editor.isEnabled(C::Save));
    editor.session().setModified(false);
    EXPECT_FALSE(editor.isEnabled(C::Save));
}

TEST_F(CommandState, CountersShowPositionsTotalsAndOpenItems) {
    EXPECT_EQ(editor.tree().treeCounterText(), "0/0");
    EXPECT_EQ(editor.list().counterText() + editor.list().uncheckedText(), "0/0 (0)");
    Build({"a", "  b", "c:-,-x,y,*z"});
    EXPECT_EQ(editor.tree().treeCounterText(), "3/3");
    EXPECT_EQ(editor.list().counterText(), "1/4");
    EXPECT_EQ(editor.list().uncheckedText(), " (1)");
    editor.selectRow(-1);
    EXPECT_EQ(editor.list().counterText(), "0/4");
    Settings settings;
    settings.separatorItems = false;
    settings.noBoxItems = false;
    editor.setSettings(settings);
    EXPECT_EQ(editor.list().uncheckedText(), " (3)");
    editor.tree().selectTopic(Find("b"));
    EXPECT_EQ(editor.tree().treeCounterText(), "2/3");
}

TEST_F(CommandState, UndoAndRedoAreEnabledExactlyWhenThereIsSomethingToUndoOrRedo) {
    editor.files().start({});
    EXPECT_FALSE(editor.isEnabled(C::Undo));
    EXPECT_FALSE(editor.isEnabled(C::Redo));
    Type("x");
    editor.execute(C::ListAdd);
    EXPECT_TRUE(editor.isEnabled(C::Undo));
    EXPECT_FALSE(editor.isEnabled(C::Redo));
    editor.execute(C::Undo);
    EXPECT_EQ(Rows(), std::vector<std::string>{});
    EXPECT_FALSE(editor.isEnabled(C::Undo));
    EXPECT_TRUE(editor.isEnabled(C::Redo));
    editor.execute(C::Redo);
    EXPECT_EQ(Rows(), std::vector<std::string>{"x"});
    EXPECT_TRUE(editor.isEnabled(C::Undo));
    EXPECT_FALSE(editor.isEnabled(C::Redo));
    // A keystroke of a rename is a step too, and the enabled states follow at once.
    editor.execute(C::Undo);
    editor.editTextChanged(EditBox::Tree, "b");
    EXPECT_TRUE(editor.isEnabled(C::Undo));
    EXPECT_FALSE(editor.isEnabled(C::Redo));
    // A new document has no history.
    editor.session().setModified(false);
    editor.execute(C::NewOpen);
    EXPECT_FALSE(editor.isEnabled(C::Undo));
    EXPECT_FALSE(editor.isEnabled(C::Redo));
    // Run anyway (as a key does), there is nothing to undo: a beep.
    int beeps = host.beeps;
    editor.execute(C::Undo);
    EXPECT_EQ(host.beeps, beeps + 1);
}

TEST_F(CommandState, EveryCommandRunsItsOwnHandlerAndTheWindowsOwnOnesGoToTheWindow) {
    for (const CommandInfo& info : CommandTable()) {
        EXPECT_NE(info.handler, nullptr) << info.name;
    }
    Build({"t"});  // the icon menu is for a selected Topic
    for (C id : {C::Exit, C::ChgIcon, C::Options, C::KeySet, C::ToolBtnSet, C::HelpContents,
                 C::HelpTopic, C::About}) {
        editor.execute(id);
    }
    EXPECT_EQ(host.windowCommands,
              (std::vector<std::string>{"close", "icon menu", "options", "keys", "toolbar", "help",
                                        "help search", "about"}));
}

// Keys, menus and tests reach a command the same way: a disabled one does not run, and only the
// commands whose rows say so beep for it.
TEST_F(CommandState, ADisabledCommandDoesNotRunWhicheverWayItIsAskedFor) {
    Build({"t:a", "u"});
    editor.tree().selectTopic(Find("u"));
    editor.execute(C::ListReplace);  // nothing selected, nothing typed
    editor.execute(C::ListChkBox);
    editor.execute(C::ListEditInPlace);
    EXPECT_TRUE(editor.key(WindowKey::Copy, FocusArea::List));
    EXPECT_TRUE(editor.key(WindowKey::Cut, FocusArea::List));
    editor.key(WindowKey::Delete, FocusArea::List);
    editor.key(WindowKey::F2, FocusArea::List);
    EXPECT_EQ(host.beeps, 0);
    EXPECT_TRUE(host.windowCommands.empty());  // no in-place edit of a row that is not there
    EXPECT_FALSE(host.clipboard.has_value());
    EXPECT_EQ(host.focus.back(), EditBox::List);  // F2 still goes to the edit box
    EXPECT_FALSE(editor.session().isModified());
    // Moves without a sibling to move past do nothing, and leave no step behind.
    editor.tree().selectTopic(Find("t"));
    size_t steps = editor.history().undoCount();
    editor.execute(C::TreeUp);
    editor.execute(C::TreeLeft);
    EXPECT_EQ(Shape(), (V{"t/0", "u/0"}));
    EXPECT_EQ(editor.history().undoCount(), steps);
    EXPECT_FALSE(editor.history().canRedo());
    // Redo with nothing undone beeps, by key as by menu.
    EXPECT_TRUE(editor.key(WindowKey::Redo, FocusArea::List));
    editor.execute(C::Redo);
    EXPECT_EQ(host.beeps, 2);
}

// The window hears of the clipboard when it changes, but a paste asks the clipboard itself.
TEST_F(CommandState, APasteAsksTheClipboardAfreshWhateverTheWindowLastSaid) {
    Build({"t:a"});
    editor.clipboardChanged(false);
    host.clipboard = "pasted";
    EXPECT_TRUE(editor.key(WindowKey::Paste, FocusArea::List));
    EXPECT_EQ(Rows(), (V{"a", "pasted"}));
    EXPECT_TRUE(editor.isEnabled(C::ListPaste));
    host.clipboard.reset();
    editor.execute(C::TreePaste);
    EXPECT_EQ(host.beeps, 1);
    EXPECT_FALSE(editor.isEnabled(C::TreePaste));
    // Text that is there but empty adds nothing.
    host.clipboard = "";
    editor.execute(C::ListPaste);
    EXPECT_EQ(Rows(), (V{"a", "pasted"}));
}

TEST_F(CommandState, TheRulesAreAppliedAfterEveryActionWhateverChangedTheState) {
    Build({"a:x,y"});
    editor.tree().selectTopic(Find("a"));
    editor.selectRow(1);
    EXPECT_FALSE(editor.isEnabled(C::ListMoveDown));
    EXPECT_TRUE(editor.isEnabled(C::ListMoveUp));
    // A drop moves the row: the move commands follow without a refresh of their own.
    DropItemInList(0);
    EXPECT_TRUE(editor.isEnabled(C::ListMoveDown));
    EXPECT_FALSE(editor.isEnabled(C::ListMoveUp));
    // The list's box follows every keystroke.
    Type("z");
    EXPECT_TRUE(editor.isEnabled(C::ListReplace));
    Type("");
    EXPECT_FALSE(editor.isEnabled(C::ListReplace));
}

}  // namespace
}  // namespace brenvale

// The progress counts kept step by step, against a count made afresh after every operation.
#include <gtest/gtest.h>

#include <functional>

#include "editor_fixture.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

class ProgressCountsTest : public test::EditorTest {
protected:
    // Asks for every count, so that each operation finds them known and must keep them.
    void Prime() {
        ForEachTopic(editor.document(), [&](const Topic& t, int) { editor.progress().subtree(t); });
    }

    static Progress Recount(const Topic& t, const Settings& s) {
        Progress p;
        for (size_t i = 0; i < t.items.size(); ++i) {
            ItemView item = t.items[i];
            if (KindOf(item.text(), s.separatorItems, s.noBoxItems) == ItemKind::Ordinary) {
                ++p.total;
                p.checked += item.checked();
            }
        }
        return p;
    }

    void ExpectCountsRight(const std::string& what) {
        ForEachTopic(editor.document(), [&](const Topic& t, int) {
            Progress own = Recount(t, editor.settings());
            Progress all;
            ForEachInSubtree(t, [&](const Topic& x, int) {
                Progress p = Recount(x, editor.settings());
                all.checked += p.checked;
                all.total += p.total;
            });
            EXPECT_EQ(editor.progress().own(t), own) << what << ": " << t.caption;
            EXPECT_EQ(editor.progress().subtree(t), all) << what << ": " << t.caption;
        });
    }

    // Runs an operation on known counts, then checks them, after its undo and after its redo.
    void Step(const std::string& what, const std::function<void()>& operation) {
        Prime();
        operation();
        ExpectCountsRight(what);
        Prime();
        editor.execute(CommandId::Undo);
        ExpectCountsRight(what + " undone");
        Prime();
        editor.execute(CommandId::Redo);
        ExpectCountsRight(what + " redone");
    }
};

TEST_F(ProgressCountsTest, KeptRightThroughEveryListAndTreeOperationAndItsUndo) {
    Build({"a:x,*y,-,*-n", "  a1:p,*q", "  a2", "b:*z,w", "  b1:m"});
    editor.tree().selectTopic(Find("a"));
    ExpectCountsRight("built");

    Step("tick", [&] { editor.toggleCheck(0); });
    Step("add", [&] {
        Type("new");
        editor.execute(CommandId::ListAdd);
    });
    Step("delete", [&] {
        editor.selectRow(1);
        editor.execute(CommandId::ListDel);
    });
    Step("cut", [&] {
        editor.selectRow(0);
        editor.execute(CommandId::ListCut);
    });
    Step("replace", [&] {
        editor.selectRow(0);
        Type("other");
        editor.execute(CommandId::ListReplace);
    });
    Step("box switched off", [&] {
        editor.selectRow(0);
        editor.execute(CommandId::ListChkBox);
    });
    Step("paste into the list", [&] {
        host.clipboard = "x\r\ny";
        host.answers = {MessageAnswer::Yes};
        editor.execute(CommandId::ListPaste);
    });
    Step("paste a tree", [&] {
        host.clipboard = "c\r\n\x08\x81\xA1k\r\n\t\x08\x81\xA0l\r\n";
        editor.execute(CommandId::TreePaste);
    });
    Step("uncheck all", [&] {
        editor.tree().selectTopic(Find("b"));
        editor.execute(CommandId::UncheckAll);
    });
    Step("indent", [&] {
        editor.tree().selectTopic(Find("b"));
        editor.execute(CommandId::TreeRight);
    });
    Step("outdent", [&] {
        editor.tree().selectTopic(Find("a1"));
        editor.execute(CommandId::TreeLeft);
    });
    Step("move up", [&] {
        editor.tree().selectTopic(Find("a2"));
        editor.execute(CommandId::TreeUp);
    });
    Step("drop an Item on a Topic", [&] {
        editor.tree().selectTopic(Find("a1"));
        editor.selectRow(1);
        DropItemOnTopic(Find("b1"));
    });
    Step("drop a Topic", [&] {
        editor.tree().selectTopic(Find("a2"));
        DropTopic(TopicDropZone::OnTopic, Find("b1"));
    });
    Step("delete a Topic", [&] {
        editor.tree().selectTopic(Find("b"));
        host.answers = {MessageAnswer::Ok};
        editor.execute(CommandId::DelTree);
    });
    Step("add a Topic", [&] { editor.execute(CommandId::AddTreeChild); });

    // Other kind settings count other Items: the separator and the no-box Item are tasks now.
    Prime();
    Settings s = editor.settings();
    s.separatorItems = false;
    s.noBoxItems = false;
    editor.setSettings(s);
    ExpectCountsRight("kinds");
}

TEST_F(ProgressCountsTest, ATrimmingSaveCountsTheTextsItChangedAgain) {
    test::TempDir dir;
    // " -n" is an ordinary Item until the save trims it into a no-box one.
    Build({"t:a, -n"});
    editor.tree().selectTopic(Find("t"));
    editor.toggleCheck(1);
    Prime();
    EXPECT_EQ(editor.progress().own(*Find("t")), (Progress{1, 2}));
    host.dialogAnswers = {dir.file("trim.bnv")};
    editor.execute(CommandId::SaveName);
    ExpectCountsRight("trimmed");
    EXPECT_EQ(editor.progress().own(*Find("t")), (Progress{0, 1}));
}

TEST_F(ProgressCountsTest, TheTextIsTheTopicsOwnOrItsFoldedSubtreesAndGreenWhenDone) {
    Build({"a:*x,y", "  a1:*p", "b:-", "c:*z"});
    Topic* a = Find("a");
    EXPECT_EQ(editor.progress().text(*a).text, "1/2");
    EXPECT_FALSE(editor.progress().text(*a).complete);
    editor.tree().setTopicExpanded(a, false);
    EXPECT_EQ(editor.progress().text(*a).text, "2/3");
    // Nothing to count shows nothing; all checked is complete.
    EXPECT_EQ(editor.progress().text(*Find("b")).text, "");
    EXPECT_TRUE(editor.progress().text(*Find("c")).complete);
    EXPECT_EQ(editor.progress().text(*Find("c")).text, "1/1");
}

TEST_F(ProgressCountsTest, AnActionTellsTheTreeOnceWhateverItChanges) {
    struct Told : EditorObserver {
        std::vector<Topic*> topics;
        void topicProgressChanged(Topic* t) override { topics.push_back(t); }
    } told;
    EditorObservation observation(editor, &told);
    Build({"a:*x,*y,*z,w", "b:*v"});
    Topic* a = Find("a");
    editor.tree().selectTopic(a);
    told.topics.clear();
    // Three Items unticked: one word of the one Topic.
    editor.execute(CommandId::UncheckAll);
    EXPECT_EQ(told.topics, std::vector<Topic*>{a});
    EXPECT_EQ(editor.progress().own(*a), (Progress{0, 4}));
    // Changes to two Topics in one action: every Topic.
    told.topics.clear();
    editor.selectRow(0);
    DropItemOnTopic(Find("b"));
    EXPECT_EQ(told.topics, std::vector<Topic*>{nullptr});
    // An action that counts nothing tells nothing.
    told.topics.clear();
    editor.tree().selectTopic(Find("b"));
    EXPECT_TRUE(told.topics.empty());
}

}  // namespace
}  // namespace brenvale

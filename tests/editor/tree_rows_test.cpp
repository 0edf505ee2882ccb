// The tree's rows against the slow way of working them out, after every operation of random
// sequences on trees of up to 10,000 Topics; the mirror checks that the row notifications
// describe each change.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "editor/drop_zone.h"
#include "editor_fixture.h"

namespace brenvale {
namespace {

class TreeRowsTest : public test::EditorTest {
protected:
    // A tree of `count` Topics whose levels wander up and down by random steps, to `deepest`.
    void BuildRandom(std::mt19937& random, int count, int deepest) {
        std::vector<std::string> lines;
        int level = 0;
        for (int i = 0; i < count; ++i) {
            level = i == 0 ? 0 : std::clamp(level + static_cast<int>(random() % 3) - 1, 0, deepest);
            lines.push_back(std::string(static_cast<size_t>(level) * 2, ' ') + "t" +
                            std::to_string(i));
        }
        Build(lines);
    }

    std::vector<Topic*> Topics() {
        std::vector<Topic*> topics;
        ForEachTopic(editor.document(), [&](Topic& t, int) { topics.push_back(&t); });
        return topics;
    }

    void Run(CommandId id) {
        if (editor.isEnabled(id)) {
            editor.execute(id);
        }
    }

    // One random operation of those that change the tree's rows.
    void RandomOperation(std::mt19937& random, int i) {
        std::vector<Topic*> topics = Topics();
        auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
        Topic* any = topics.empty() ? nullptr : topics[pick(topics.size())];
        if (any && pick(3) > 0) {
            editor.tree().selectTopic(any);
        }
        switch (pick(16)) {
            case 0:
                Run(CommandId::AddTree);
                break;
            case 1:
                Run(CommandId::AddTreeChild);
                break;
            case 2:
                if (topics.size() > 2 && editor.selection().topic()) {
                    host.answers = {MessageAnswer::Ok};
                    Run(CommandId::DelTree);
                }
                break;
            case 3:
                Run(CommandId::TreeRight);
                break;
            case 4:
                Run(CommandId::TreeLeft);
                break;
            case 5:
                Run(CommandId::TreeUp);
                break;
            case 6:
                Run(CommandId::TreeDown);
                break;
            case 7:
            case 8:
            case 9:
                if (any) {
                    editor.tree().setTopicExpanded(any, false);
                }
                break;
            case 10:
                if (any) {
                    editor.tree().setTopicExpanded(any, true);
                }
                break;
            case 11:
                if (any && pick(4) == 0) {
                    editor.tree().expandTopicSubtree(any);
                } else if (pick(8) == 0) {
                    editor.tree().expandAllTopics();
                }
                break;
            case 12:
                Run(CommandId::Undo);
                break;
            case 13:
                Run(CommandId::Redo);
                break;
            case 14:
                if (editor.selection().topic()) {
                    editor.execute(CommandId::TreeCopy);
                    editor.clipboardChanged(true);
                    Run(CommandId::TreePaste);
                }
                break;
            case 15:
                if (any && editor.selection().topic()) {
                    auto zone = static_cast<TopicDropZone>(pick(5));
                    editor.drag().beginDrag(DragKind::Topic);
                    editor.drag().dropOnTree(zone, any);
                    editor.drag().endDrag();
                }
                break;
        }
        SCOPED_TRACE(i);
        test::ExpectTreeRowsRight(editor);
    }
};

TEST_F(TreeRowsTest, RandomSequencesOnSmallTreesMatchTheSlowWay) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        host.answers = {MessageAnswer::No};
        editor.execute(CommandId::NewOpen);
        BuildRandom(random, 10 + static_cast<int>(seed) * 5, 6);
        for (int i = 0; i < 300 && !HasFatalFailure(); ++i) {
            RandomOperation(random, i);
        }
        mirror.check();
    }
}

TEST_F(TreeRowsTest, RandomSequencesOnATreeOfTenThousandTopicsMatchTheSlowWay) {
    std::mt19937 random(77);
    BuildRandom(random, 10000, 12);
    test::ExpectTreeRowsRight(editor);
    // Fold a part of the tree first, so that moves and puts cross folded Topics.
    std::vector<Topic*> topics = Topics();
    for (int i = 0; i < 300; ++i) {
        editor.tree().setTopicExpanded(topics[random() % topics.size()], false);
    }
    for (int i = 0; i < 150 && !HasFatalFailure(); ++i) {
        RandomOperation(random, i);
    }
}

// The row nodes live in blocks of fresh pages, written only when a node is first taken: a
// document of several blocks replaced by a small one and a big one again must leave no node of
// the first behind in the rows of the others.
TEST_F(TreeRowsTest, ABigTreeReplacedByASmallOneAndABigOneAgainKeepsItsRowsRight) {
    std::mt19937 random(5);
    for (int count : {9000, 12, 0, 6000, 30}) {
        SCOPED_TRACE(count);
        host.answers = {MessageAnswer::No};
        editor.execute(CommandId::NewOpen);
        if (count > 0) {
            BuildRandom(random, count, 8);
        }
        test::ExpectTreeRowsRight(editor);
        for (int i = 0; i < 40 && !HasFatalFailure(); ++i) {
            RandomOperation(random, i);
        }
    }
    mirror.check();
}

TEST_F(TreeRowsTest, AChainThousandsOfLevelsDeepFoldsMovesAndComesBack) {
    std::vector<std::string> lines;
    for (int level = 0; level < 3000; ++level) {
        lines.push_back(std::string(static_cast<size_t>(level) * 2, ' ') + "c" +
                        std::to_string(level));
    }
    lines.push_back("end");
    Build(lines);
    Topic* deep = Find("c2500");
    editor.tree().setTopicExpanded(Find("c100"), false);
    EXPECT_EQ(editor.tree().rows().rowCount(), 102u);  // c0 to c100, end
    EXPECT_EQ(editor.tree().rows().rowOf(deep), TreeRows::npos);
    editor.tree().selectTopic(deep);  // reveals it
    EXPECT_EQ(editor.tree().rows().rowOf(deep), 2500u);
    editor.execute(CommandId::TreeLeft);
    editor.execute(CommandId::TreeLeft);
    test::ExpectTreeRowsRight(editor);
    host.answers = {MessageAnswer::Ok};
    editor.tree().selectTopic(Find("c1"));
    editor.execute(CommandId::DelTree);
    EXPECT_EQ(editor.tree().rows().rowCount(), 2u);
    editor.execute(CommandId::Undo);
    test::ExpectTreeRowsRight(editor);
    EXPECT_EQ(editor.tree().rows().rowCount(), 3001u);
}

TEST_F(TreeRowsTest, FoldingAndExpandingTellTheRowsThatComeAndGo) {
    Build({"a", "  a1", "    a11", "  a2", "b"});
    struct Told : EditorObserver {
        std::vector<std::string> what;
        void beginInsertTreeRows(size_t first, size_t count) override {
            what.push_back("+" + std::to_string(first) + "," + std::to_string(count));
        }
        void beginRemoveTreeRows(size_t first, size_t count) override {
            what.push_back("-" + std::to_string(first) + "," + std::to_string(count));
        }
        void beginMoveTreeRows(size_t first, size_t count, size_t destination) override {
            what.push_back(">" + std::to_string(first) + "," + std::to_string(count) + "," +
                           std::to_string(destination));
        }
    } told;
    editor.addObserver(&told);
    editor.tree().setTopicExpanded(Find("a1"), false);  // a11 goes
    editor.tree().setTopicExpanded(Find("a"), false);   // a1 and a2 go
    editor.tree().setTopicExpanded(Find("a"), true);    // they come back, a11 stays folded away
    editor.tree().selectTopic(Find("b"));
    editor.execute(CommandId::TreeUp);  // b and its one row go before a
    editor.execute(CommandId::TreeDown);
    editor.tree().selectTopic(Find("a2"));
    editor.execute(CommandId::TreeRight);  // into a1, which opens to show it
    editor.removeObserver(&told);
    EXPECT_EQ(told.what, (std::vector<std::string>{"-2,1", "-1,2", "+1,2", ">3,1,0", ">0,1,4",
                                                   "-2,1", "+2,2"}));
}

}  // namespace
}  // namespace brenvale

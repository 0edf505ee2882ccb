#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "document/document_writer.h"
#include "editor_fixture.h"

namespace brenvale {
namespace {

using test::Sjis;

// Everything an undo must bring back: the bytes of the document (marks as they are, texts
// untrimmed), every expanded state and icon, and the selection.
struct Snapshot {
    std::string bytes;
    std::string expansion;
    std::string selectedCaption;
    int row = -1;

    bool operator==(const Snapshot&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const Snapshot& s) {
        return out << s.bytes << " | " << s.expansion << " | " << s.selectedCaption << " @"
                   << s.row;
    }
};

class Undo : public test::EditorTest {
public:
    // For the table of operations.
    using EditorTest::editor;
    using EditorTest::Find;
    using EditorTest::host;
    using EditorTest::Type;

protected:
    Snapshot Take() {
        Snapshot s;
        s.bytes = SerializeDocument(editor.document(), {});
        ForEachTopic(editor.document(),
                     [&](const Topic& t, int) { s.expansion += t.expanded ? '+' : '-'; });
        s.selectedCaption =
            editor.selection().topic() ? editor.selection().topic()->caption.str() : "-";
        s.row = editor.list().selectedRow();
        return s;
    }

    // The sample tree: a (with Items and a child a1), b (with a child b1), c.
    void BuildSample() {
        Build({"a:x,*y,z", "  a1:p", "b:q", "  b1", "c"});
        editor.tree().setTopicExpanded(Find("b"), false);
    }

    // Does the action, then undoes, redoes and undoes it again, comparing the whole state
    // each time; the undo ends where the action began.
    void CheckRoundTrip(const std::function<void()>& action, const char* name) {
        SCOPED_TRACE(name);
        Snapshot before = Take();
        size_t steps = editor.history().undoCount();
        action();
        Snapshot after = Take();
        ASSERT_NE(after, before) << "the action changed nothing";
        EXPECT_EQ(editor.history().undoCount(), steps + 1) << "one action, one step";
        editor.execute(CommandId::Undo);
        EXPECT_EQ(Take(), before);
        mirror.check();
        editor.execute(CommandId::Redo);
        EXPECT_EQ(Take(), after);
        mirror.check();
        editor.execute(CommandId::Undo);
        EXPECT_EQ(Take(), before);
        EXPECT_EQ(host.beeps, 0);
    }
};

struct Case {
    const char* name;
    std::function<void(Undo&)> action;
    int row = 0;  // the selected row of a's list before the action
};

TEST_F(Undo, EveryOperationIsUndoneAndRedoneWhole) {
    std::vector<Case> cases = {
        {"AddTree", [](Undo& u) { u.editor.execute(CommandId::AddTree); }},
        {"AddTreeChild", [](Undo& u) { u.editor.execute(CommandId::AddTreeChild); }},
        {"DelTree",
         [](Undo& u) {
             u.host.answers = {MessageAnswer::Ok};
             u.editor.execute(CommandId::DelTree);
         }},
        {"TreeRight", [](Undo& u) { u.editor.execute(CommandId::TreeRight); }},
        {"TreeDown", [](Undo& u) { u.editor.execute(CommandId::TreeDown); }},
        {"Rename",
         [](Undo& u) {
             u.editor.editTextChanged(EditBox::Tree, "ab");
             u.editor.editTextChanged(EditBox::Tree, "abc");
         }},
        {"Icon", [](Undo& u) { u.editor.tree().iconMenuClick(3); }},
        {"TreePaste",
         [](Undo& u) {
             u.host.clipboard = "\x08\x81\xA0new\r\nT\r\n\tT1\r\n\x08\x81\xA0t\r\nU\r\n";
             u.editor.execute(CommandId::TreePaste);
         }},
        {"TreeCut",
         [](Undo& u) {
             u.host.answers = {MessageAnswer::Ok};
             u.editor.execute(CommandId::TreeCut);
         }},
        {"ListAdd",
         [](Undo& u) {
             u.Type("new");
             u.editor.execute(CommandId::ListAdd);
         }},
        {"ListAddLines",
         [](Undo& u) {
             u.Type("one\r\ntwo\r\n\r\nthree");
             u.host.answers = {MessageAnswer::Yes};
             u.editor.execute(CommandId::ListAdd);
         }},
        {"ListDel", [](Undo& u) { u.editor.execute(CommandId::ListDel); }},
        {"ListMoveDown", [](Undo& u) { u.editor.execute(CommandId::ListMoveDown); }},
        {"ListMoveUp", [](Undo& u) { u.editor.execute(CommandId::ListMoveUp); }, 2},
        {"ListDown",
         [](Undo& u) {
             u.Type("replaced");
             u.editor.execute(CommandId::ListReplace);
         }},
        {"StoreRowText", [](Undo& u) { u.editor.storeRowText(1, "edited in place"); }, 1},
        {"ListAddLine", [](Undo& u) { u.editor.execute(CommandId::ListAddLine); }},
        {"ListChkBox", [](Undo& u) { u.editor.execute(CommandId::ListChkBox); }},
        {"ToggleCheck", [](Undo& u) { u.editor.toggleCheck(1); }},
        {"ListCut", [](Undo& u) { u.editor.execute(CommandId::ListCut); }},
        {"ListPaste",
         [](Undo& u) {
             u.host.clipboard = "pasted";
             u.editor.execute(CommandId::ListPaste);
         }},
        {"DropTopic",
         [](Undo& u) {
             u.editor.drag().beginDrag(DragKind::Topic);
             u.editor.drag().dropOnTree(TopicDropZone::OnTopic, u.Find("c"));
             u.editor.drag().endDrag();
         }},
        {"DropItemInList",
         [](Undo& u) {
             u.editor.drag().beginDrag(DragKind::Item);
             u.editor.drag().dropOnList(3);
             u.editor.drag().endDrag();
         }},
        {"DropItemOnTopic",
         [](Undo& u) {
             u.editor.drag().beginDrag(DragKind::Item);
             u.editor.drag().dropOnTree(TopicDropZone::OnTopic, u.Find("b"));
             u.editor.drag().endDrag();
         },
         1},
    };
    for (const Case& c : cases) {
        while (editor.history().canUndo()) {
            editor.execute(CommandId::Undo);
        }
        host.clipboard.reset();
        BuildSample();
        editor.tree().selectTopic(Find("a"));
        editor.selectRow(c.row);
        CheckRoundTrip([&] { c.action(*this); }, c.name);
    }
}

TEST_F(Undo, TheStepNamesWhatWasDoneInTheHint) {
    BuildSample();
    editor.tree().selectTopic(Find("c"));
    host.answers = {MessageAnswer::Ok};
    editor.execute(CommandId::DelTree);
    editor.execute(CommandId::Undo);
    EXPECT_EQ(editor.hintText(), "元に戻しました: ツリー削除");
    EXPECT_EQ(Find("c"), editor.selection().topic());
    Type("x");
    editor.execute(CommandId::ListAdd);
    editor.execute(CommandId::Undo);
    editor.execute(CommandId::Redo);
    EXPECT_EQ(editor.hintText(), "やり直しました: チェックリスト追加");
    EXPECT_FALSE(editor.history().canRedo());
    editor.execute(CommandId::Redo);
    EXPECT_EQ(host.beeps, 1);
}

TEST_F(Undo, KeysAreTheTreesAndTheListsOnly) {
    BuildSample();
    editor.tree().selectTopic(Find("a"));
    editor.execute(CommandId::AddTree);
    EXPECT_FALSE(editor.key(WindowKey::Undo, FocusArea::TreeEdit));
    EXPECT_FALSE(editor.key(WindowKey::Redo, FocusArea::ListEdit));
    EXPECT_EQ(editor.document().topicCount(), 6u);
    EXPECT_TRUE(editor.key(WindowKey::Undo, FocusArea::List));
    EXPECT_EQ(editor.document().topicCount(), 5u);
    EXPECT_TRUE(editor.key(WindowKey::Redo, FocusArea::Tree));
    EXPECT_EQ(editor.document().topicCount(), 6u);
}

TEST_F(Undo, TheKeystrokesOfOneRenameAreOneStepAndAnotherTopicStartsAnother) {
    BuildSample();
    editor.tree().selectTopic(Find("a"));
    size_t steps = editor.history().undoCount();
    for (const char* text : {"r", "re", "ren"}) {
        editor.editTextChanged(EditBox::Tree, text);
    }
    editor.tree().selectTopic(Find("c"));
    editor.editTextChanged(EditBox::Tree, "k");
    EXPECT_EQ(editor.history().undoCount(), steps + 2);
    editor.execute(CommandId::Undo);
    editor.execute(CommandId::Undo);
    EXPECT_EQ(Find("a")->caption, "a");
    EXPECT_EQ(Find("c")->caption, "c");
    EXPECT_EQ(editor.selection().text(EditBox::Tree), "a");
}

TEST_F(Undo, TheModifiedFlagFollowsTheHistoryToTheSavedState) {
    test::TempDir dir;
    BuildSample();
    EXPECT_FALSE(editor.session().isModified());
    editor.tree().selectTopic(Find("a"));
    Type("x");
    editor.execute(CommandId::ListAdd);
    EXPECT_TRUE(editor.session().isModified());
    editor.execute(CommandId::Undo);
    EXPECT_FALSE(editor.session().isModified());
    EXPECT_FALSE(editor.isEnabled(CommandId::Save));
    EXPECT_FALSE(host.timer.enabled);
    editor.execute(CommandId::Redo);
    EXPECT_TRUE(editor.session().isModified());

    // Saved with the Item in it: undoing it now changes the document against the file.
    editor.session().setName(dir.file("s.bnv"));
    editor.execute(CommandId::Save);
    ASSERT_TRUE(FileExists(dir.file("s.bnv")));
    EXPECT_FALSE(editor.session().isModified());
    editor.execute(CommandId::Undo);
    EXPECT_TRUE(editor.session().isModified());
    editor.execute(CommandId::Redo);
    EXPECT_FALSE(editor.session().isModified());

    // A new edit after an undo leaves the saved state out of reach.
    editor.execute(CommandId::Undo);
    Type("y");
    editor.execute(CommandId::ListAdd);
    EXPECT_FALSE(editor.history().canRedo());
    editor.execute(CommandId::Undo);
    EXPECT_TRUE(editor.session().isModified());
}

TEST_F(Undo, StepsBeforeASaveStillUndoAfterItsTrimming) {
    test::TempDir dir;
    BuildSample();
    editor.tree().selectTopic(Find("a"));
    Snapshot start = Take();
    Type("  spaced  ");
    editor.execute(CommandId::ListAdd);
    editor.selectRow(0);
    Type(" replaced ");
    editor.execute(CommandId::ListReplace);
    editor.session().setName(dir.file("s.bnv"));
    editor.execute(CommandId::Save);
    ASSERT_TRUE(FileExists(dir.file("s.bnv")));
    Snapshot saved = Take();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"replaced", "spaced", "y*", "z"}));
    editor.execute(CommandId::Undo);
    editor.execute(CommandId::Undo);
    EXPECT_EQ(Take(), start);
    editor.execute(CommandId::Redo);
    editor.execute(CommandId::Redo);
    // The trimmed texts come back, as the file has them.
    EXPECT_EQ(Take(), saved);
    EXPECT_FALSE(editor.session().isModified());
}

TEST_F(Undo, AMarkReadFromAFileComesBackAsRead) {
    test::TempDir dir;
    std::string bytes = "A\r\n\x08" + Sjis("・") + "one\r\n\x08" + Sjis("済") + "two\r\n";
    std::string path = dir.file("m.bnv");
    test::WriteBytes(path, bytes);
    editor.files().openDocument(path);
    Snapshot opened = Take();
    editor.toggleCheck(0);  // stores the list: every mark becomes "■" or "□"
    EXPECT_NE(SerializeDocument(editor.document(), {}), opened.bytes);
    editor.execute(CommandId::Undo);
    EXPECT_EQ(Take(), opened);
    EXPECT_FALSE(editor.session().isModified());
}

TEST_F(Undo, NewAndOpenStartAnEmptyHistory) {
    BuildSample();
    editor.execute(CommandId::AddTree);
    host.answers = {MessageAnswer::No};
    editor.execute(CommandId::NewOpen);
    EXPECT_FALSE(editor.history().canUndo());
    EXPECT_FALSE(editor.history().canRedo());
    editor.execute(CommandId::Undo);
    EXPECT_EQ(host.beeps, 1);
    EXPECT_EQ(editor.document().topicCount(), 2u);
}

TEST_F(Undo, TheMemoryBoundDropsTheOldestStepsFirst) {
    BuildSample();
    editor.tree().selectTopic(Find("c"));
    for (int i = 0; i < 50; ++i) {
        Type("item " + std::to_string(i));
        editor.execute(CommandId::ListAdd);
    }
    size_t perStep = editor.history().bytes() / editor.history().undoCount();
    editor.setUndoLimit(perStep * 10);
    EXPECT_LE(editor.history().bytes(), perStep * 10);
    EXPECT_GE(editor.history().undoCount(), 8u);
    while (editor.history().canUndo()) {
        editor.execute(CommandId::Undo);
    }
    // What is left undoes the newest Items; the oldest stay.
    size_t kept = editor.list().rowCount();
    EXPECT_GT(kept, 0u);
    EXPECT_EQ(editor.list().rowText(kept - 1), "item " + std::to_string(kept - 1));
    EXPECT_TRUE(editor.session().isModified());
}

TEST_F(Undo, ADeletedTopicComesBackWithItsSubtreeFoldedAsItWas) {
    Build({"a:x", "  a1", "    a11:y", "  a2", "b"});
    editor.tree().setTopicExpanded(Find("a1"), false);
    editor.tree().selectTopic(Find("a"));
    Topic* a = Find("a");
    host.answers = {MessageAnswer::Ok};
    editor.execute(CommandId::DelTree);
    EXPECT_GT(editor.history().bytes(), sizeof(Topic) * 4);
    editor.execute(CommandId::Undo);
    EXPECT_EQ(editor.selection().topic(), a);  // the same Topic, nothing copied
    EXPECT_EQ(Shape(), (std::vector<std::string>{"a/0+", "a1/1", "a11/2", "a2/1", "b/0"}));
}

// Random operations, each one's save bytes kept; undone to the start and redone to the end
// they give the same bytes at every point.
TEST_F(Undo, RandomSequencesUndoToTheStartAndRedoToTheEnd) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE(seed);
        host.answers.clear();
        host.answers = {MessageAnswer::No};
        editor.execute(CommandId::NewOpen);
        BuildSample();
        std::mt19937 random(seed);
        auto pick = [&](size_t n) { return n == 0 ? 0 : static_cast<size_t>(random() % n); };
        std::vector<Snapshot> states{Take()};
        for (int i = 0; i < 150; ++i) {
            std::vector<Topic*> topics;
            ForEachTopic(editor.document(), [&](Topic& t, int) { topics.push_back(&t); });
            if (!topics.empty()) {
                editor.tree().selectTopic(topics[pick(topics.size())]);
            }
            if (editor.list().rowCount() > 0) {
                editor.selectRow(static_cast<int>(pick(editor.list().rowCount())));
            }
            size_t before = editor.history().undoCount();
            size_t op = pick(14);
            switch (op) {
                case 0:
                    editor.execute(CommandId::AddTree);
                    break;
                case 1:
                    editor.execute(CommandId::AddTreeChild);
                    break;
                case 2:
                    if (topics.size() > 2) {
                        host.answers = {MessageAnswer::Ok};
                        editor.execute(CommandId::DelTree);
                    }
                    break;
                case 3:
                    editor.execute(CommandId::TreeRight);
                    break;
                case 4:
                    editor.execute(CommandId::TreeLeft);
                    break;
                case 5:
                    editor.execute(CommandId::TreeUp);
                    break;
                case 6:
                    editor.execute(CommandId::TreeDown);
                    break;
                case 7:
                    editor.editTextChanged(EditBox::Tree, "t" + std::to_string(i));
                    break;
                case 8:
                    Type("i" + std::to_string(i));
                    editor.execute(CommandId::ListAdd);
                    break;
                case 9:
                    editor.execute(CommandId::ListDel);
                    break;
                case 10:
                    editor.execute(CommandId::ListMoveDown);
                    break;
                case 11:
                    if (editor.list().rowCount() > 0) {
                        editor.toggleCheck(pick(editor.list().rowCount()));
                    }
                    break;
                case 12:
                    host.clipboard = "P" + std::to_string(i) + "\r\n\tQ\r\n\x08\x81\xA0q\r\n";
                    editor.execute(CommandId::TreePaste);
                    host.clipboard.reset();
                    break;
                default:
                    editor.drag().beginDrag(DragKind::Topic);
                    if (!topics.empty()) {
                        editor.drag().dropOnTree(TopicDropZone::Indent,
                                                 topics[pick(topics.size())]);
                    }
                    editor.drag().endDrag();
                    break;
            }
            Snapshot now = Take();
            if (editor.history().undoCount() != before) {
                states.push_back(now);
            } else if (op == 7) {
                states.back() = now;  // a rename of the same Topic goes on in its step
            } else {
                ASSERT_EQ(now.bytes, states.back().bytes) << "a change without a step";
            }
        }
        ASSERT_TRUE(host.answers.empty() || host.answers.size() == 1);
        host.answers.clear();
        for (size_t i = states.size() - 1; i > 0; --i) {
            ASSERT_EQ(SerializeDocument(editor.document(), {}), states[i].bytes) << i;
            editor.execute(CommandId::Undo);
        }
        ASSERT_EQ(Take().bytes, states.front().bytes);
        for (size_t i = 1; i < states.size(); ++i) {
            editor.execute(CommandId::Redo);
            ASSERT_EQ(SerializeDocument(editor.document(), {}), states[i].bytes) << i;
        }
        mirror.check();
    }
}

}  // namespace
}  // namespace brenvale

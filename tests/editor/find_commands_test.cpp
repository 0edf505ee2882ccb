#include <gtest/gtest.h>

#include "editor_fixture.h"

namespace brenvale {
namespace {

using test::Sjis;
using V = std::vector<std::string>;

class FindCommands : public test::EditorTest {
protected:
    // Where the editor stands: "caption" or "caption/row".
    std::string Here() {
        Topic* t = editor.selection().topic();
        std::string here = t ? std::string(t->caption) : "-";
        return editor.list().hasSelectedItem()
                   ? here + "/" + std::to_string(editor.list().selectedRow())
                   : here;
    }
};

TEST_F(FindCommands, TypingFindsFromTheCurrentPlaceAndEnterGoesOnWithAWrap) {
    Build({"a:pen,x", "b:pencil", "  c", "d:pen"});
    editor.tree().selectTopic(Find("b"));
    editor.find().findTyped("pe", false);
    EXPECT_EQ(Here(), "b/0");
    // Typing on keeps the hit while it still matches.
    editor.find().findTyped("PEN", false);
    EXPECT_EQ(Here(), "b/0");
    editor.find().countFindHits();
    EXPECT_EQ(editor.find().state().counterText(), "3 件中 2 件目");
    editor.find().findNext();
    EXPECT_EQ(Here(), "d/0");
    EXPECT_EQ(editor.find().state().counterText(), "3 件中 3 件目");
    editor.find().findNext();
    EXPECT_EQ(Here(), "a/0");
    EXPECT_EQ(editor.find().state().counterText(), "3 件中 1 件目");
    EXPECT_EQ(editor.hintText(), "文書の最後まで検索しました。先頭から続けて検索しました。");
    editor.find().findPrevious();
    EXPECT_EQ(Here(), "d/0");
    EXPECT_EQ(editor.find().state().counterText(), "3 件中 3 件目");
    EXPECT_EQ(editor.hintText(), "文書の先頭まで検索しました。最後から続けて検索しました。");
    // The hit is marked in its row.
    EXPECT_EQ(editor.find().state().highlight(Find("d"), 0), (TextRange{0, 3}));
    EXPECT_FALSE(editor.find().state().highlight(Find("a"), 0));
}

TEST_F(FindCommands, ACaptionHitShowsItsTopicUnfoldedAndJapaneseFormsMatch) {
    Build({"a", "  " + Sjis("ｶﾞｽ代") + ":x", "b"});
    editor.tree().setTopicExpanded(Find("a"), false);
    editor.tree().selectTopic(Find("b"));
    editor.find().findTyped(Sjis("がす"), false);
    EXPECT_TRUE(editor.find().state().notFound());
    EXPECT_EQ(editor.find().state().counterText(), "見つかりません");
    editor.find().findTyped(Sjis("がす"), true);
    EXPECT_EQ(editor.selection().topic(), Find(Sjis("ｶﾞｽ代")));
    EXPECT_TRUE(Find("a")->expanded);
    EXPECT_EQ(editor.find().state().hit()->item, kCaption);
}

TEST_F(FindCommands, AnEditForgetsTheHitAndTheCountAndMakesTheListStale) {
    Build({"a:one,two", "b:one"});
    editor.tree().selectTopic(Find("a"));
    editor.find().findTyped("one", false);
    editor.find().countFindHits();
    editor.find().collectFindResults();
    ASSERT_EQ(editor.find().state().results().size(), 2u);
    EXPECT_EQ(editor.find().state().results()[1].text, "b › one");
    EXPECT_FALSE(editor.find().state().resultsStale());
    // A tick changes no text: what was found stays.
    editor.toggleCheck(0);
    EXPECT_EQ(editor.find().state().counterText(), "2 件中 1 件目");
    EXPECT_FALSE(editor.find().state().resultsStale());
    Type("one more");
    editor.execute(CommandId::ListAdd);
    EXPECT_FALSE(editor.find().state().hit());
    EXPECT_EQ(editor.find().state().counterText(), "");
    EXPECT_TRUE(editor.find().state().resultsStale());
    // A click on "b › one" in the stale list collects it again first, and goes to the same
    // result, now the third.
    editor.find().goToFindResult(1);
    EXPECT_FALSE(editor.find().state().resultsStale());
    EXPECT_EQ(editor.find().state().results().size(), 3u);
    EXPECT_EQ(Here(), "b/0");
    EXPECT_EQ(editor.find().state().counterText(), "3 件中 3 件目");
    // A result the edit took away goes nowhere.
    editor.tree().selectTopic(Find("a"));
    ASSERT_EQ(Rows(), (V{"one*", "one more", "two"}));
    editor.selectRow(1);
    editor.execute(CommandId::ListDel);
    ASSERT_TRUE(editor.find().state().resultsStale());
    editor.selectRow(0);
    editor.find().goToFindResult(1);
    EXPECT_FALSE(editor.find().state().resultsStale());
    EXPECT_EQ(editor.find().state().results().size(), 2u);
    EXPECT_EQ(Here(), "a/0");
}

TEST_F(FindCommands, AHiddenItemHitShowsItsRow) {
    Build({"t:a,*done,b"});
    Settings s = editor.settings();
    s.hideCheckedItems = true;
    editor.setSettings(s);
    EXPECT_EQ(Rows(), (V{"a", "b"}));
    editor.find().findTyped("done", false);
    EXPECT_EQ(Rows(), (V{"a", "done*", "b"}));
    EXPECT_EQ(editor.list().selectedRow(), 1);
    mirror.check();
}

TEST_F(FindCommands, TheNextCommandWithNothingToFindOpensTheBar) {
    Build({"t:a"});
    editor.execute(CommandId::FindNext);
    editor.execute(CommandId::FindPrevious);
    editor.execute(CommandId::Find);
    EXPECT_EQ(host.windowCommands, (V{"find", "find", "find"}));
    editor.find().findTyped("a", false);
    editor.execute(CommandId::FindNext);
    EXPECT_EQ(host.windowCommands.size(), 3u);
    EXPECT_EQ(Here(), "t/0");
}

// A search through a long list goes on a slice at a time from the window's event loop; the
// counter says it is searching meanwhile. Another text typed, or an edit, in between starts it
// anew, and a slice asked for inside another action waits for it.
TEST_F(FindCommands, ALongSearchRunsInSlicesTheWindowDrives) {
    std::string text = "a\r\n\x08" + std::string(kUncheckedMark) + "x\r\nb\r\n";
    for (int i = 0; i < 300000; ++i) {
        text += "\x08" + std::string(kUncheckedMark) + "hay\r\n";
    }
    text += "c\r\n\x08" + std::string(kUncheckedMark) + "needle\r\n";
    host.clipboard = text;
    editor.execute(CommandId::TreePaste);
    editor.session().setModified(false);
    host.clipboard.reset();
    host.driveFindSlices = true;
    editor.tree().selectTopic(Find("a"));

    auto runSlices = [&] {
        for (int i = 0; i < 100 && !host.findSlices.empty(); ++i) {
            host.findSlices.clear();
            editor.find().findSlice();
        }
        EXPECT_TRUE(host.findSlices.empty()) << "the search never ended";
    };
    editor.find().findTyped("needle", false);
    ASSERT_FALSE(host.findSlices.empty());
    EXPECT_EQ(host.findSlices.back(), 0);
    EXPECT_EQ(editor.find().state().counterText(), "検索中…");
    EXPECT_EQ(Here(), "a/0");
    runSlices();
    EXPECT_EQ(Here(), "c/0");
    EXPECT_EQ(editor.find().state().counterText(), "");

    // A new text drops the search under way: the old one never moves the selection.
    editor.tree().selectTopic(Find("a"));
    editor.find().findTyped("needl", false);
    ASSERT_FALSE(host.findSlices.empty());
    editor.find().findTyped("x", false);  // the first Item of "a": found at once
    EXPECT_EQ(Here(), "a/0");
    runSlices();
    EXPECT_EQ(Here(), "a/0");
    // An edit starts the search under way again, from where the user is then.
    editor.tree().selectTopic(Find("a"));
    editor.find().findTyped("needle!", false);
    ASSERT_FALSE(host.findSlices.empty());
    editor.tree().selectTopic(Find("c"));
    Type("needle!");
    editor.execute(CommandId::ListAdd);
    runSlices();
    EXPECT_EQ(editor.find().state().hit()->topic, Find("c"));

    // Counting every hit runs in slices too.
    editor.find().findTyped("hay", false);
    runSlices();
    editor.find().countFindHits();
    runSlices();
    EXPECT_EQ(editor.find().state().count()->total, 300000u);
}

}  // namespace
}  // namespace brenvale

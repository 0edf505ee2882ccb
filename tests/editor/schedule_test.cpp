// Dates and repeats in the editor: date words committed as days, repeating Items ticked,
// "done:" noted, routines renewed at open and at midnight, and a list sorted by due.
#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::Sjis;
using V = std::vector<std::string>;

constexpr Date kChristmasEve{2026, 12, 24};

class Schedule : public test::EditorTest {
protected:
    Schedule() {
        editor.schedule().setClock(clock);
        host.onSwitch = [this](bool Settings::*option, bool on) { Set(option, on); };
    }

    void Set(bool Settings::*option, bool on) {
        Settings s = editor.settings();
        s.*option = on;
        editor.setSettings(s);
    }

    // Opens a document of outline lines: "Caption" a top-level Topic, a TAB per level deeper,
    // "\b" + "□" or "■" + text an Item of the Topic above (UTF-8, written as CP932).
    void Open(const V& lines) {
        std::string bytes;
        for (const std::string& line : lines) {
            bool item = line.find('\b') != std::string::npos;
            bytes += Sjis(line) + (item ? "" : "@00@") + "\r\n";
        }
        test::WriteBytes(path, bytes);
        editor.files().openDocument(path);
    }

    // The selected Topic's Items, "*" after a checked one.
    V Items() {
        V items;
        const ItemList& list = editor.selection().topic()->items;
        for (size_t i = 0; i < list.size(); ++i) {
            items.push_back(std::string(list[i].text()) + (list[i].checked() ? "*" : ""));
        }
        return items;
    }

    void Tick(size_t row) { editor.toggleCheck(row); }

    test::FakeClock clock{{kChristmasEve, 9 * 3600}};
    test::TempDir dir;
    std::string path = dir.file("doc.bnv");
};

TEST_F(Schedule, DateWordsTypedBecomeDaysWhenAddedOrReplaced) {
    Build({"t:a"});
    Type(Sjis("牛乳 due:明日 #買い物"));
    editor.execute(CommandId::ListAdd);
    EXPECT_EQ(Items(), (V{"a", Sjis("牛乳 due:2026-12-25 #買い物")}));
    // Month first, always; a token that cannot be read stays and the hint says why.
    Type("b due:24/12");
    editor.execute(CommandId::ListReplace);
    EXPECT_EQ(Items(), (V{"a", "b due:24/12"}));
    EXPECT_NE(editor.hintText().find("24/12"), std::string::npos) << editor.hintText();
    Type(Sjis("c due:１２/３１T９:３０"));
    editor.execute(CommandId::ListReplace);
    EXPECT_EQ(Items(), (V{"a", "c due:2026-12-31T09:30"}));
    editor.execute(CommandId::Undo);
    EXPECT_EQ(Items(), (V{"a", "b due:24/12"}));
}

TEST_F(Schedule, ACaptionsDateWordsBecomeDaysWhenItsRenameEnds) {
    Build({"t"});
    editor.editTextChanged(EditBox::Tree, Sjis("週次 rec:1w due:来週月曜"));
    EXPECT_EQ(editor.selection().topic()->caption.str(), Sjis("週次 rec:1w due:来週月曜"));
    editor.schedule().editBoxCommitted(EditBox::Tree);
    EXPECT_EQ(editor.selection().topic()->caption.str(), Sjis("週次 rec:1w due:2026-12-28"));
    EXPECT_EQ(editor.selection().text(EditBox::Tree), Sjis("週次 rec:1w due:2026-12-28"));
    // The typing and its commit are one rename.
    editor.execute(CommandId::Undo);
    EXPECT_EQ(editor.selection().topic()->caption.str(), "t");
}

TEST_F(Schedule, ARepeatingItemIsReArmedInPlaceAndNeverDuplicated) {
    Build({"t:a rec:1d due:2026-12-20,b rec:+1w due:2026-12-20,c"});
    size_t steps = editor.history().undoCount();
    Tick(0);
    // From the day it was ticked, never in the past; still open, still one Item.
    EXPECT_EQ(Items(), (V{"a rec:1d due:2026-12-25", "b rec:+1w due:2026-12-20", "c"}));
    Tick(0);
    EXPECT_EQ(Items(), (V{"a rec:1d due:2026-12-25", "b rec:+1w due:2026-12-20", "c"}));
    // From the due as written, even when that is still past.
    Tick(1);
    EXPECT_EQ(Items()[1], "b rec:+1w due:2026-12-27");
    EXPECT_EQ(editor.history().undoCount(), steps + 3);
    EXPECT_TRUE(editor.session().isModified());
    editor.execute(CommandId::Undo);
    EXPECT_EQ(Items()[1], "b rec:+1w due:2026-12-20");
    // Without a due it gets one.
    editor.selectRow(2);
    Type("d rec:1m");
    editor.execute(CommandId::ListAdd);
    Tick(3);
    EXPECT_EQ(Items()[3], "d rec:1m due:2027-01-24");
    EXPECT_EQ(editor.list().rowCount(), 4u);
}

TEST_F(Schedule, ReArmedItemsStayInViewWithCheckedItemsHidden) {
    Build({"t:a rec:1d,b"});
    Set(&Settings::hideCheckedItems, true);
    Tick(0);
    Tick(1);
    editor.files().hideCheckedTick();
    EXPECT_EQ(Rows(), (V{"a rec:1d due:2026-12-25"}));
}

TEST_F(Schedule, TheDoneOptionNotesTheDayAndTakesItAwayAgain) {
    Build({"t:a,b rec:1w due:2026-12-01"});
    Set(&Settings::recordDoneDate, true);
    Tick(0);
    EXPECT_EQ(Items()[0], "a done:2026-12-24*");
    Tick(0);
    EXPECT_EQ(Items()[0], "a");
    Tick(0);
    EXPECT_EQ(Items()[0], "a done:2026-12-24*");
    // A repeating Item notes when it was last done and stays open.
    Tick(1);
    EXPECT_EQ(Items()[1], "b rec:1w due:2026-12-31 done:2026-12-24");
    editor.execute(CommandId::UncheckAll);
    EXPECT_EQ(Items(), (V{"a", "b rec:1w due:2026-12-31 done:2026-12-24"}));
    editor.execute(CommandId::Undo);
    EXPECT_EQ(Items()[0], "a done:2026-12-24*");
    // Without the option a tick is only a tick.
    Set(&Settings::recordDoneDate, false);
    Tick(0);
    EXPECT_EQ(Items()[0], "a done:2026-12-24");
}

TEST_F(Schedule, RoutinesAreRenewedAtOpenAndAtEachMidnightOnce) {
    clock.set({2026, 12, 23}, 22);
    Open({"朝 rec:1d due:2026-12-21", "\b■歯磨き", "\b□洗濯", "\b■窓 done:2026-12-21",
          "週次 rec:+1w due:2026-12-30", "\b■掃除"});
    Topic* morning = editor.document().first();
    EXPECT_EQ(morning->caption.str(), Sjis("朝 rec:1d due:2026-12-23"));
    EXPECT_EQ(Items(), (V{Sjis("歯磨き"), Sjis("洗濯"), Sjis("窓 done:2026-12-21")}));
    EXPECT_TRUE(editor.session().isModified());
    EXPECT_NE(editor.hintText().find("朝"), std::string::npos) << editor.hintText();
    EXPECT_EQ(editor.hintText().find("週次"), std::string::npos);
    editor.execute(CommandId::Undo);
    EXPECT_EQ(Items(), (V{Sjis("歯磨き*"), Sjis("洗濯"), Sjis("窓 done:2026-12-21*")}));
    EXPECT_FALSE(editor.session().isModified());
    // Undone, it stays so for the rest of the day.
    clock.set({2026, 12, 23}, 23, 59);
    editor.schedule().clockTick();
    EXPECT_EQ(morning->caption.str(), Sjis("朝 rec:1d due:2026-12-21"));
    // Past midnight it is renewed once, however often the clock looks.
    clock.set(kChristmasEve, 0, 1);
    editor.schedule().clockTick();
    editor.schedule().clockTick();
    EXPECT_EQ(morning->caption.str(), Sjis("朝 rec:1d due:2026-12-24"));
    EXPECT_EQ(Items(), (V{Sjis("歯磨き"), Sjis("洗濯"), Sjis("窓 done:2026-12-21")}));
    EXPECT_EQ(editor.history().undoCount(), 1u);
    editor.execute(CommandId::Undo);
    EXPECT_EQ(Items()[0], Sjis("歯磨き*"));
    editor.execute(CommandId::Redo);
    EXPECT_EQ(Items()[0], Sjis("歯磨き"));
    // Days later the same; the weekly one once its day has passed.
    clock.set({2026, 12, 30}, 0);
    editor.schedule().clockTick();
    EXPECT_EQ(morning->caption.str(), Sjis("朝 rec:1d due:2026-12-30"));
    EXPECT_EQ(morning->nextSibling()->caption.str(), Sjis("週次 rec:+1w due:2026-12-30"));
    clock.set({2026, 12, 31}, 0);
    editor.schedule().clockTick();
    EXPECT_EQ(morning->nextSibling()->caption.str(), Sjis("週次 rec:+1w due:2027-01-06"));
    EXPECT_EQ(std::string(morning->nextSibling()->items[0].text()), Sjis("掃除"));
    EXPECT_FALSE(morning->nextSibling()->items[0].checked());
}

TEST_F(Schedule, SortingByDueKeepsTheOrderOfEqualDuesAndPutsUndatedItemsLast) {
    Build({"t:x,b due:2026-12-25T09:00,y,a due:2026-12-25,c due:2026-12-01,d due:2026-12-25"});
    size_t steps = editor.history().undoCount();
    editor.selectRow(1);
    editor.execute(CommandId::SortByDue);
    EXPECT_EQ(Items(), (V{"c due:2026-12-01", "a due:2026-12-25", "d due:2026-12-25",
                          "b due:2026-12-25T09:00", "x", "y"}));
    // The same Item stays selected.
    EXPECT_EQ(editor.list().rowText(editor.list().selectedRow()), "b due:2026-12-25T09:00");
    editor.execute(CommandId::SortByDue);
    EXPECT_EQ(editor.hintText(), "既に期限順です。");
    EXPECT_EQ(editor.history().undoCount(), steps + 1);
    editor.execute(CommandId::Undo);
    EXPECT_EQ(Items()[0], "x");
    EXPECT_EQ(Items()[1], "b due:2026-12-25T09:00");
}

TEST_F(Schedule, TagCommandsChangeTheSelectedItemInOneStepEach) {
    Build({"t:a #x,b"});
    size_t steps = editor.history().undoCount();
    editor.selectRow(1);
    EXPECT_FALSE(editor.isEnabled(CommandId::TagRemove));
    host.tagAnswers.push_back(TagEditAnswer{Sjis("＃急ぎ"), ""});
    editor.execute(CommandId::TagAdd);
    EXPECT_EQ(Items()[1], Sjis("b #急ぎ"));
    ASSERT_EQ(host.tagRequests.size(), 1u);
    EXPECT_EQ(host.tagRequests[0].knownTags, (V{"x"}));
    EXPECT_TRUE(editor.isEnabled(CommandId::TagRemove));
    host.tagAnswers.push_back(TagEditAnswer{Sjis("急ぎ"), "later"});
    editor.execute(CommandId::TagRename);
    EXPECT_EQ(Items()[1], "b #later");
    host.tagAnswers.push_back(TagEditAnswer{"later", ""});
    editor.execute(CommandId::TagRemove);
    EXPECT_EQ(Items()[1], "b");
    // A name that is no tag is refused with the reason.
    host.tagAnswers.push_back(TagEditAnswer{"a b", ""});
    host.answers.push_back(MessageAnswer::Ok);
    editor.execute(CommandId::TagAdd);
    EXPECT_EQ(Items()[1], "b");
    EXPECT_EQ(editor.history().undoCount(), steps + 3);
    editor.execute(CommandId::Undo);
    EXPECT_EQ(Items()[1], "b #later");
}

TEST_F(Schedule, TheListShowsWhatIsOverdueAndWhatIsDueToday) {
    Build({"t:a due:2026-12-23,b due:2026-12-24T18:00,c due:2026-12-25,*d due:2026-12-01,e"});
    EXPECT_EQ(editor.schedule().rowDueLook(0), DueLook::Overdue);
    EXPECT_EQ(editor.schedule().rowDueLook(1), DueLook::Today);
    EXPECT_EQ(editor.schedule().rowDueLook(2), DueLook::Later);
    EXPECT_EQ(editor.schedule().rowDueLook(3), DueLook::None);  // checked
    EXPECT_EQ(editor.schedule().rowDueLook(4), DueLook::None);
    ASSERT_EQ(editor.schedule().rowTokenSpans(1).size(), 1u);
    EXPECT_EQ(editor.schedule().rowTokenSpans(1)[0], (TextSpan{2, 22}));
    // A new day changes what the rows say without a new reading.
    clock.set({2026, 12, 25}, 0);
    EXPECT_EQ(editor.schedule().rowDueLook(1), DueLook::Overdue);
    EXPECT_EQ(editor.schedule().rowDueLook(2), DueLook::Today);
}

}  // namespace
}  // namespace brenvale

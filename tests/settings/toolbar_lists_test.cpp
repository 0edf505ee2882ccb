#include "settings/toolbar_lists.h"

#include <gtest/gtest.h>

#include "editor/command_table.h"
#include "settings/toolbar_layout.h"

namespace brenvale {
namespace {

std::vector<CommandEntry> FirstVersionCommands() {
    std::vector<CommandEntry> entries = CommandEntries();
    entries.resize(kFirstVersionCommands);
    return entries;
}

using Which = ToolbarLists::Which;
constexpr int kSep = ToolbarEntry::kSeparator;

int Pos(CommandId id) {
    return static_cast<int>(id);
}

// Entries as short texts: the tag for a command ("01"), "-" for a separator.
std::string Tags(const ToolbarEntryList& list) {
    std::string out;
    for (const ToolbarEntry& entry : list.entries()) {
        out += (out.empty() ? "" : " ") + (entry.isSeparator() ? "-" : entry.text.substr(1, 2));
    }
    return out;
}

std::string Selected(const ToolbarEntryList& list) {
    std::string out;
    for (size_t i = 0; i < list.size(); ++i) {
        if (list.isSelected(i)) {
            out += (out.empty() ? "" : " ") + std::to_string(i);
        }
    }
    return out + " @" + std::to_string(list.current());
}

class ToolListsTest : public ::testing::Test {
protected:
    // The commands of the first version; the later ones have tests of their own.
    std::vector<CommandEntry> commands_ = FirstVersionCommands();
    // A toolbar of Exit, a separator, Open and Save.
    ToolbarLists lists_{commands_, std::vector<int>{Pos(CommandId::Exit), kSep,
                                                    Pos(CommandId::Open), Pos(CommandId::Save)}};
};

TEST_F(ToolListsTest, OpensWithTheToolbarAndTheRestSortedWithTheTemplateLast) {
    EXPECT_EQ(Tags(lists_.dst()), "01 - 03 04");
    ASSERT_EQ(lists_.src().size(), 32u);
    EXPECT_EQ(Tags(lists_.src()).substr(0, 12), "02 05 06 07 ");
    EXPECT_EQ(lists_.src().at(0).text, "(02) 新規作成");
    EXPECT_EQ(lists_.src().at(0).image, 7);
    EXPECT_EQ(lists_.src().at(31).text, "区切り");
    EXPECT_EQ(lists_.src().at(31).image, ToolbarEntry::kNoImage);
    ToolbarLists::Buttons b = lists_.ButtonStates();
    EXPECT_TRUE(b.add && b.addAll && b.del && b.delAll);
    EXPECT_FALSE(b.up || b.down);
}

TEST_F(ToolListsTest, TheDefaultSetHasThirtyEightEntries) {
    lists_.Reset();
    EXPECT_EQ(Tags(lists_.src()), "-");
    ASSERT_EQ(lists_.dst().size(), 38u);
    EXPECT_EQ(Tags(lists_.dst()),
              "01 02 03 04 05 06 - 07 08 09 10 11 12 13 14 15 16 17 - 18 19 20 21 22 23 24 25 "
              "26 27 28 - 29 30 31 - 32 33 34");
    std::vector<std::string> values = lists_.ToolbarValues();
    EXPECT_EQ(values.front(), "PGMExit");
    EXPECT_EQ(values[6], "-");
    EXPECT_EQ(values.back(), "About");

    // The values give the same list again.
    std::vector<int> toolbar = ResolveToolbar(values, CommandNames());
    EXPECT_EQ(Tags(ToolbarLists(commands_, toolbar).dst()), Tags(lists_.dst()));
}

TEST_F(ToolListsTest, SeveralSelectedEntriesArriveInReverseOrder) {
    ToolbarEntryList& src = lists_.list(Which::Src);
    for (size_t i : {1u, 2u, 4u}) {
        src.setSelected(i, true);  // 05, 06, 08
    }
    lists_.Add();
    EXPECT_EQ(Tags(lists_.dst()), "01 - 03 04 08 06 05");
    EXPECT_EQ(Selected(lists_.dst()), "6 @6");
    // The source list selects what now stands at the first selected place.
    EXPECT_EQ(Selected(lists_.src()), "1 @1");
    EXPECT_EQ(lists_.src().at(1).text.substr(1, 2), "07");
    EXPECT_EQ(lists_.focusList(), Which::Src);

    lists_.list(Which::Dst).clearSelection();
    lists_.list(Which::Dst).setSelected(4, true);
    lists_.list(Which::Dst).setSelected(1, true);  // the separator
    lists_.Del();
    EXPECT_EQ(Tags(lists_.dst()), "01 03 04 06 05");
    EXPECT_EQ(Tags(lists_.src()).substr(0, 9), "02 07 08 ");
    EXPECT_EQ(lists_.src().size(), 30u);
    EXPECT_EQ(Selected(lists_.dst()), "1 @1");
}

TEST_F(ToolListsTest, TheSeparatorTemplateNeverLeavesTheSourceList) {
    const size_t templ = lists_.src().size() - 1;
    for (int round = 0; round < 2; ++round) {
        lists_.list(Which::Src).selectOnly(templ);
        lists_.Add();
    }
    lists_.DropOnDst(Which::Src, templ, 0);
    EXPECT_EQ(Tags(lists_.dst()), "- 01 - 03 04 - -");
    EXPECT_EQ(lists_.src().size(), 32u);
    EXPECT_EQ(lists_.src().at(templ).text, "区切り");
    // A separator leaving the shown list is deleted, and the template gets the selection.
    lists_.DropOnSrc(0);
    EXPECT_EQ(Tags(lists_.dst()), "01 - 03 04 - -");
    EXPECT_EQ(lists_.src().size(), 32u);
    EXPECT_EQ(Selected(lists_.src()), std::to_string(templ) + " @" + std::to_string(templ));
    lists_.DelAll();
    EXPECT_TRUE(lists_.dst().empty());
    EXPECT_EQ(lists_.src().size(), 35u);
    EXPECT_EQ(Tags(lists_.src()).substr(0, 9), "01 02 03 ");
    EXPECT_EQ(lists_.src().at(34).text, "区切り");
    EXPECT_EQ(Selected(lists_.dst()), " @-1");
    ToolbarLists::Buttons b = lists_.ButtonStates();
    EXPECT_FALSE(b.del || b.delAll || b.up || b.down);
    lists_.AddAll();
    EXPECT_EQ(lists_.dst().size(), 34u);
    EXPECT_EQ(Tags(lists_.src()), "-");
    EXPECT_EQ(Selected(lists_.src()), "0 @0");
}

TEST_F(ToolListsTest, SetItemClampsTheIndex) {
    lists_.SetItem(Which::Dst, -1);
    EXPECT_EQ(Selected(lists_.dst()), "0 @0");
    lists_.SetItem(Which::Dst, 99);
    EXPECT_EQ(Selected(lists_.dst()), "3 @3");
    lists_.SetItem(Which::Dst, 2);
    EXPECT_EQ(Selected(lists_.dst()), "2 @2");
    EXPECT_EQ(lists_.focusList(), Which::Dst);
    // Removing the last selected entries leaves the selection on the new last one.
    lists_.list(Which::Dst).setSelected(3, true);
    lists_.Del();
    EXPECT_EQ(Tags(lists_.dst()), "01 -");
    EXPECT_EQ(Selected(lists_.dst()), "1 @1");
}

TEST_F(ToolListsTest, UpAndDownMoveTheCurrentEntryAndKeepItSelected) {
    lists_.SetItem(Which::Dst, 0);
    EXPECT_FALSE(lists_.ButtonStates().up);
    lists_.Up();
    EXPECT_EQ(Tags(lists_.dst()), "01 - 03 04");
    EXPECT_TRUE(lists_.ButtonStates().down);
    lists_.Down();
    lists_.Down();
    EXPECT_EQ(Tags(lists_.dst()), "- 03 01 04");
    EXPECT_EQ(Selected(lists_.dst()), "2 @2");
    lists_.Down();
    EXPECT_FALSE(lists_.ButtonStates().down);
    lists_.Down();
    EXPECT_EQ(Tags(lists_.dst()), "- 03 04 01");
    lists_.Up();
    EXPECT_EQ(Tags(lists_.dst()), "- 03 01 04");
    EXPECT_EQ(Selected(lists_.dst()), "2 @2");
}

TEST_F(ToolListsTest, DragsTakeOneEntryAndDropWhereTheLineShows) {
    ToolbarEntryList& dst = lists_.list(Which::Dst);
    dst.setSelected(0, true);
    dst.setSelected(2, true);
    dst.setCurrent(2);
    lists_.StartDrag(Which::Dst);
    EXPECT_EQ(Selected(lists_.dst()), "2 @2");

    // Inside the shown list the line goes after the entry under the pointer from the dragged
    // one on, before it above the dragged one.
    EXPECT_EQ(lists_.DropPlace(Which::Dst, 1, 0), 0u);
    EXPECT_EQ(lists_.DropPlace(Which::Dst, 1, 1), 2u);
    EXPECT_EQ(lists_.DropPlace(Which::Dst, 1, 3), 4u);
    EXPECT_EQ(lists_.DropPlace(Which::Dst, 1, std::nullopt), 4u);
    EXPECT_EQ(lists_.DropPlace(Which::Src, 0, 1), 1u);
    EXPECT_EQ(lists_.DropPlace(Which::Src, 0, std::nullopt), 4u);

    lists_.DropOnDst(Which::Dst, 0, 2);  // Exit onto Open
    EXPECT_EQ(Tags(lists_.dst()), "- 03 01 04");
    EXPECT_EQ(Selected(lists_.dst()), "2 @2");
    lists_.DropOnDst(Which::Dst, 1, std::nullopt);  // below the last: to the end
    EXPECT_EQ(Tags(lists_.dst()), "- 01 04 03");
    lists_.DropOnDst(Which::Dst, 2, 2);  // onto itself
    EXPECT_EQ(Tags(lists_.dst()), "- 01 04 03");

    lists_.DropOnDst(Which::Src, 0, 1);  // New before Exit
    EXPECT_EQ(Tags(lists_.dst()), "- 02 01 04 03");
    EXPECT_EQ(Selected(lists_.dst()), "1 @1");
    EXPECT_EQ(lists_.src().at(0).text.substr(1, 2), "05");
    lists_.DropOnSrc(3);  // Save goes back to its sorted place
    EXPECT_EQ(Tags(lists_.src()).substr(0, 6), "04 05 ");
    EXPECT_EQ(Selected(lists_.src()), "0 @0");
    EXPECT_EQ(Tags(lists_.dst()), "- 02 01 03");
    lists_.DropOnSrc(99);
    lists_.DropOnDst(Which::Src, 99, 0);
    EXPECT_EQ(Tags(lists_.dst()), "- 02 01 03");
    EXPECT_EQ(lists_.ToolbarValues(),
              (std::vector<std::string>{"-", "NewOpen", "PGMExit", "Open"}));
}

}  // namespace
}  // namespace brenvale

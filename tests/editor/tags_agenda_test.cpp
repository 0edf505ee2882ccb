// The tag panel's counts, the tag filter and the agenda against a plain working out of the same
// from the document, on random documents through random edits; and what a click in the tag
// panel does to the tree and the list.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "document/model.h"
#include "editor_fixture.h"
#include "merge/document_merge.h"
#include "schedule/agenda.h"
#include "schedule/tag_index.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::Sjis;
using V = std::vector<std::string>;

constexpr Date kAgendaToday{2026, 12, 24};

class TagsAndAgenda : public test::EditorTest {
protected:
    TagsAndAgenda() { editor.setClock(clock); }

    // The tree's rows as captions.
    V TreeRows() {
        V rows;
        for (size_t r = 0; r < editor.treeRows().rowCount(); ++r) {
            rows.push_back(editor.treeRows().topicAt(r)->caption.str());
        }
        return rows;
    }

    // What the index holds against the tag index and agenda worked out from the document.
    void ExpectIndexRight() {
        ListKindOptions kinds = editor.settings().listKindOptions();
        TagIndex plain = IndexTags(editor.document(), kinds);
        ScheduleIndex& index = editor.scheduleIndex();
        ASSERT_EQ(index.tags().size(), plain.tags.size());
        auto it = index.tags().begin();
        for (const TagCount& tag : plain.tags) {
            EXPECT_EQ(it->first, tag.key);
            EXPECT_EQ(TagKey(it->second.name), tag.key);
            EXPECT_EQ(it->second.open, tag.open) << tag.name;
            ++it;
        }
        EXPECT_EQ(index.untaggedOpen(), plain.untaggedOpen);
        EXPECT_EQ(index.conflictMarks(), CountConflictMarks(editor.document()));
        // Each list of Topics is ordered, without zero counts, and adds up to its Items.
        auto expectCounts = [](const TopicCounts& topics, size_t items) {
            size_t sum = 0;
            for (size_t i = 0; i < topics.size(); ++i) {
                EXPECT_GT(topics[i].second, 0u);
                if (i > 0) {
                    EXPECT_TRUE(std::less<Topic*>{}(topics[i - 1].first, topics[i].first));
                }
                sum += topics[i].second;
            }
            EXPECT_EQ(sum, items);
        };
        for (const auto& [key, tag] : index.tags()) {
            expectCounts(tag.topics, tag.total);
        }
        for (const auto& [day, entry] : index.days()) {
            EXPECT_GT(entry.open, 0u);
            expectCounts(entry.topics, entry.open);
        }

        std::vector<AgendaEntry> agenda = CollectAgenda(editor.document(), kAgendaToday, kinds);
        editor.refreshAgenda();
        AgendaView& view = editor.agenda();
        ASSERT_EQ(view.total(), agenda.size());
        size_t k = 0;
        for (int g = 0; g < kAgendaGroupCount; ++g) {
            auto group = static_cast<AgendaGroup>(g);
            for (size_t i = 0; i < view.count(group); ++i, ++k) {
                const AgendaRow* row = view.row(group, i);
                ASSERT_NE(row, nullptr);
                EXPECT_EQ(row->topic, agenda[k].topic) << k;
                EXPECT_EQ(row->item, agenda[k].item) << k;
                EXPECT_EQ(row->due, agenda[k].due);
                EXPECT_EQ(group, agenda[k].group);
            }
        }
    }

    test::FakeClock clock{{kAgendaToday, 9 * 3600}};
};

// A random document whose Items carry dues and tags, as .bnv bytes.
std::string RandomDatedDocument(std::mt19937& rng, int topics) {
    static const char* kPieces[] = {
        " due:2026-12-20",
        " due:2026-12-24",
        " due:2026-12-24T09:00",
        " due:2026-12-25",
        " due:2026-12-27",
        " due:2027-03-01",
        " #仕事",
        " ＃仕事",
        " #ＴＡＧ",
        " #tag",
        " #家",
        " rec:1d",
        " due:12/24",
        "#1",
        " done:2026-12-01",
        " #競合",
        "",
    };
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    std::string bytes;
    int depth = 0;
    for (int t = 0; t < topics; ++t) {
        depth = t == 0 ? 0 : pick(depth + 2);
        std::string caption = "T" + std::to_string(t) + (pick(4) == 0 ? Sjis(" #競合") : "");
        bytes += std::string(static_cast<size_t>(depth), '\t') + caption + "@00@\r\n";
        for (int i = pick(5); i > 0; --i) {
            std::string text = pick(8) == 0 ? "-" : "i" + std::to_string(pick(100));
            for (int k = pick(4); k > 0; --k) {
                text += Sjis(kPieces[pick(std::size(kPieces))]);
            }
            bytes += std::string(static_cast<size_t>(depth), '\t') + "\b" +
                     Sjis(pick(3) == 0 ? "■" : "□") + text + "\r\n";
        }
    }
    return bytes;
}

TEST_F(TagsAndAgenda, TheIndexFollowsEveryEditAsAPlainCountWouldSeeIt) {
    test::TempDir dir;
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 rng(seed);
        std::string path = dir.file("random" + std::to_string(seed) + ".bnv");
        test::WriteBytes(path, RandomDatedDocument(rng, 40));
        editor.session().setModified(false);
        editor.openDocument(path);
        {
            SCOPED_TRACE("opened");
            ExpectIndexRight();
        }
        auto pick = [&](size_t n) { return n == 0 ? 0 : static_cast<size_t>(rng() % n); };
        std::vector<Topic*> topics;
        for (int step = 0; step < 60; ++step) {
            topics.clear();
            ForEachTopic(editor.document(), [&](Topic& t, int) { topics.push_back(&t); });
            if (topics.empty()) {
                break;
            }
            editor.selectTopic(topics[pick(topics.size())]);
            size_t rows = editor.list().rowCount();
            if (rows > 0) {
                editor.selectRow(static_cast<int>(pick(rows)));
            }
            size_t op = pick(10);
            SCOPED_TRACE("op " + std::to_string(op));
            switch (op) {
                case 0:
                case 1:
                    if (rows > 0) {
                        editor.toggleCheck(pick(rows));
                    }
                    break;
                case 2:
                    Type(Sjis("new #仕事 due:明日"));
                    editor.execute(CommandId::ListAdd);
                    break;
                case 3:
                    if (rows > 0) {
                        editor.execute(CommandId::ListDel);
                    }
                    break;
                case 4:
                    host.answers.push_back(MessageAnswer::Ok);
                    editor.execute(CommandId::DelTree);
                    break;
                case 5:
                    editor.execute(CommandId::TreeCopy);
                    editor.execute(CommandId::TreePaste);
                    break;
                case 6:
                    editor.execute(CommandId::SortByDue);
                    break;
                case 7:
                    editor.execute(CommandId::Undo);
                    break;
                case 8:
                    editor.execute(CommandId::Redo);
                    break;
                case 9:
                    // A caption that gains or loses a conflict mark.
                    editor.editTextChanged(EditBox::Tree,
                                           editor.selection().topic()->caption.str() +
                                               (pick(2) == 0 ? Sjis(" #競合") : std::string("x")));
                    break;
            }
            ExpectIndexRight();
            if (HasFailure()) {
                FAIL() << "seed " << seed << " step " << step;
            }
        }
        // Texts trimmed in place by a save are read again.
        editor.execute(CommandId::Save);
        ExpectIndexRight();
    }
}

TEST_F(TagsAndAgenda, AClickShowsTheTopicsHoldingTheTagWithTheirAncestorsAndOnlyItsItems) {
    Build({"A", "  A1:a #x,b", "  A2:c", "B:d #y,e #X", "C", "  C1", "    C11:f #x #y"});
    editor.selectTopic(Find("A"));
    editor.clickTag("x", TagClick::Only);
    EXPECT_EQ(TreeRows(), (V{"A", "A1", "B", "C", "C1", "C11"}));
    // The selected Topic stays where it still shows; otherwise the first holding a match.
    EXPECT_EQ(editor.selection().topic()->caption.str(), "A");
    EXPECT_EQ(Rows(), V{});
    EXPECT_EQ(editor.tagFilter().text(), "絞り込み: #x");
    editor.selectTopic(Find("B"));
    EXPECT_EQ(Rows(), (V{"e #X"}));
    // Ctrl+click: both tags.
    editor.clickTag("y", TagClick::And);
    EXPECT_EQ(TreeRows(), (V{"C", "C1", "C11"}));
    EXPECT_EQ(editor.selection().topic()->caption.str(), "C11");
    EXPECT_EQ(editor.tagFilter().text(), "絞り込み: #x かつ #y");
    // "除外": Items without it.
    editor.clickTag("y", TagClick::Exclude);
    EXPECT_EQ(TreeRows(), (V{"A", "A1", "B"}));
    EXPECT_EQ(editor.tagFilter().text(), "絞り込み: #x、#y を除く");
    editor.clickUntagged();
    EXPECT_EQ(TreeRows(), (V{"A", "A1", "A2"}));
    EXPECT_EQ(editor.tagFilter().text(), "絞り込み: タグなし");
    EXPECT_EQ(Rows(), (V{"b"}));
    editor.clearTagFilter();
    EXPECT_EQ(TreeRows(), (V{"A", "A1", "A2", "B", "C", "C1", "C11"}));
    EXPECT_EQ(Rows(), (V{"a #x", "b"}));
    EXPECT_EQ(editor.tagFilter().text(), "");
}

TEST_F(TagsAndAgenda, TheFilterKeepsWorkingThroughFoldingAndEdits) {
    Build({"A", "  A1:a #x", "  A2:b", "B:c #x"});
    editor.setTopicExpanded(Find("A"), false);
    editor.clickTag("x", TagClick::Only);
    EXPECT_EQ(TreeRows(), (V{"A", "B"}));
    // Unfolding shows only what the filter lets through.
    editor.setTopicExpanded(Find("A"), true);
    EXPECT_EQ(TreeRows(), (V{"A", "A1", "B"}));
    // A Topic added meanwhile shows; an Item added stays in view.
    editor.selectTopic(Find("B"));
    editor.execute(CommandId::AddTreeChild);
    EXPECT_EQ(TreeRows().size(), 4u);
    editor.selectTopic(Find("A1"));
    Type("plain");
    editor.execute(CommandId::ListAdd);
    EXPECT_EQ(Rows(), (V{"a #x", "plain"}));
    // Going to a Topic the filter hides ends the filter.
    editor.selectTopic(Find("A2"));
    EXPECT_FALSE(editor.tagFilter().active());
    EXPECT_EQ(TreeRows().size(), 5u);
}

TEST_F(TagsAndAgenda, AnAgendaRowLeadsToItsItemEvenThroughAFilter) {
    Build({"A:a due:2026-12-20", "B:b #x,c due:2026-12-24T10:00,d due:2026-12-24"});
    editor.refreshAgenda();
    EXPECT_EQ(editor.agenda().count(AgendaGroup::Overdue), 1u);
    EXPECT_EQ(editor.agenda().count(AgendaGroup::Today), 2u);
    EXPECT_EQ(AgendaView::PlaceText(*Find("B"), "d"), "B › d");
    editor.clickTag("x", TagClick::Only);
    ASSERT_TRUE(editor.goToAgendaRow(AgendaGroup::Today, 1));
    EXPECT_EQ(editor.selection().topic(), Find("B"));
    EXPECT_EQ(editor.list().rowText(editor.list().selectedRow()), "c due:2026-12-24T10:00");
    // A change makes the agenda stale: it is made again before it leads anywhere.
    editor.toggleCheck(static_cast<size_t>(editor.list().selectedRow()));
    EXPECT_FALSE(editor.goToAgendaRow(AgendaGroup::Today, 1));
    EXPECT_EQ(editor.agenda().count(AgendaGroup::Today), 1u);
    ASSERT_TRUE(editor.goToAgendaRow(AgendaGroup::Overdue, 0));
    EXPECT_EQ(editor.selection().topic(), Find("A"));
    EXPECT_EQ(host.windowCommands, V{});
    editor.execute(CommandId::Agenda);
    EXPECT_EQ(host.windowCommands, (V{"agenda"}));
}

// The rows a filter shows, worked out plainly: the Topics holding a matching Item and their
// ancestors, less those under a folded Topic.
std::vector<Topic*> PlainFilteredRows(const Document& doc, const TagFilter& filter) {
    std::set<const Topic*> shown;
    for (const ItemPlace& place : FilterByTags(doc, filter).items) {
        for (const Topic* t = place.topic; t && shown.insert(t).second; t = t->parent()) {
        }
    }
    std::vector<Topic*> rows;
    ForEachTopic(doc, [&](Topic& t, int) {
        bool open = true;
        for (const Topic* a = t.parent(); a && open; a = a->parent()) {
            open = a->expanded;
        }
        if (open && shown.count(&t)) {
            rows.push_back(&t);
        }
    });
    return rows;
}

// Filters taken, changed and ended between folds, moves, additions, deletions, undos and redos:
// each filter shows what the plain working out shows, and ending it gives back the rows the
// folding alone gives, however the tree changed meanwhile.
TEST_F(TagsAndAgenda, FiltersThroughRandomEditsShowWhatAPlainWorkingOutShows) {
    test::TempDir dir;
    static const char* kTags[] = {"仕事", "tag", "家", "ＴＡＧ", "競合"};
    for (unsigned seed = 1; seed <= 8; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        std::string path = dir.file("filtered" + std::to_string(seed) + ".bnv");
        test::WriteBytes(path, RandomDatedDocument(rng, 60));
        editor.session().setModified(false);
        editor.openDocument(path);
        auto pick = [&](size_t n) { return n == 0 ? 0 : static_cast<size_t>(rng() % n); };
        for (int step = 0; step < 120 && !HasFailure(); ++step) {
            SCOPED_TRACE(step);
            const brenvale::TreeRows& rows = editor.treeRows();
            if (rows.rowCount() > 0) {
                editor.selectTopic(rows.topicAt(pick(rows.rowCount())));
            }
            size_t op = pick(14);
            switch (op) {
                case 0:
                case 1:
                case 2:
                    editor.clickTag(Sjis(kTags[pick(std::size(kTags))]),
                                    static_cast<TagClick>(pick(3)));
                    break;
                case 3:
                    editor.clickUntagged();
                    break;
                case 4:
                    editor.clearTagFilter();
                    break;
                case 5:
                case 6:
                    if (rows.rowCount() > 0) {
                        Topic* t = rows.topicAt(pick(rows.rowCount()));
                        editor.setTopicExpanded(t, !t->expanded);
                    }
                    break;
                case 7:
                    editor.execute(pick(2) == 0 ? CommandId::TreeUp : CommandId::TreeDown);
                    break;
                case 8:
                    editor.execute(pick(2) == 0 ? CommandId::TreeRight : CommandId::TreeLeft);
                    break;
                case 9:
                    editor.execute(pick(2) == 0 ? CommandId::AddTree : CommandId::AddTreeChild);
                    break;
                case 10:
                    host.answers.push_back(MessageAnswer::Ok);
                    editor.execute(CommandId::DelTree);
                    break;
                case 11:
                    editor.execute(CommandId::TreeCopy);
                    editor.execute(CommandId::TreePaste);
                    break;
                case 12:
                    editor.execute(CommandId::Undo);
                    break;
                case 13:
                    editor.execute(CommandId::Redo);
                    break;
            }
            if (op <= 3 && editor.tagFilter().active()) {
                std::vector<Topic*> plain =
                    PlainFilteredRows(editor.document(), editor.tagFilter().filter());
                ASSERT_EQ(rows.rowCount(), plain.size()) << "op " << op;
                for (size_t r = 0; r < plain.size(); ++r) {
                    ASSERT_EQ(rows.topicAt(r), plain[r]) << "row " << r;
                }
            }
            if (!editor.tagFilter().active()) {
                test::ExpectTreeRowsRight(editor);
            }
        }
        editor.clearTagFilter();
        test::ExpectTreeRowsRight(editor);
    }
}

}  // namespace
}  // namespace brenvale

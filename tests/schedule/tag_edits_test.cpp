#include "schedule/tag_edits.h"

#include <gtest/gtest.h>

#include "document/document.h"
#include "schedule/agenda.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::Sjis;

std::string U(const std::optional<std::string>& cp932) {
    return cp932 ? Cp932ToUtf8(*cp932) : "(none)";
}

TEST(TagEdits, AddRemoveAndRenameAsTheTagPanelCompares) {
    EXPECT_EQ(U(WithTag(Sjis("牛乳"), Sjis("買い物"))), "牛乳 #買い物");
    EXPECT_EQ(U(WithTag("", "a")), "#a");
    EXPECT_EQ(U(WithTag(Sjis("牛乳 ＃ＴＡＧ"), "tag")), "牛乳 ＃ＴＡＧ");  // has it already
    for (const char* bad : {"", "a b", "#a", "12", "a\tb"}) {
        EXPECT_EQ(U(WithTag("x", bad)), "(none)") << bad;
        EXPECT_FALSE(IsTagName(bad)) << bad;
    }
    EXPECT_TRUE(IsTagName(Sjis("仕事")));

    EXPECT_EQ(Cp932ToUtf8(WithoutTag(Sjis("牛乳 #TAG 2本 ＃tag"), "tag")), "牛乳 2本");
    EXPECT_EQ(Cp932ToUtf8(WithoutTag(Sjis("#tag 牛乳"), "tag")), "牛乳");
    EXPECT_EQ(Cp932ToUtf8(WithoutTag(Sjis("C#tag #tags"), "tag")), "C#tag #tags");

    EXPECT_EQ(U(WithTagRenamed(Sjis("a #TAG b ＃tag"), "tag", Sjis("仕事"))), "a #仕事 b ＃仕事");
    EXPECT_EQ(U(WithTagRenamed("a #x #y", "x", "y")), "a #y");  // once is enough
    EXPECT_EQ(U(WithTagRenamed("a #TAG", "tag", "tag")), "a #tag");
    EXPECT_EQ(U(WithTagRenamed("a #z", "x", "y")), "a #z");
    EXPECT_EQ(U(WithTagRenamed("a #x", "x", "1")), "(none)");
}

TEST(TagEdits, DueOrderAndRoutinesOfADocument) {
    Document doc;
    Topic& list = doc.append(nullptr, doc.create());
    list.setCaption(Sjis("朝 due:2026-12-20 rec:1d"));
    for (const char* text : {"a", "b due:2026-12-25", "c due:2026-12-24T09:00", "d",
                             "e due:2026-12-24", "f due:2026-12-25"}) {
        list.items.push_back(Item::Unchecked(text));
    }
    EXPECT_EQ(DueOrder(list), (std::vector<uint32_t>{4, 2, 1, 5, 0, 3}));
    Topic& child = doc.append(&list, doc.create());
    child.setCaption(Sjis("週次 due:2026-12-28 rec:1w"));
    Topic& other = doc.append(nullptr, doc.create());
    other.setCaption(Sjis("月次 due:2026-11-30 rec:+1m"));
    std::vector<RoutineRenewal> renewals = RoutinesToRenew(doc, {2026, 12, 24});
    ASSERT_EQ(renewals.size(), 2u);
    EXPECT_EQ(renewals[0].topic, &list);
    EXPECT_EQ(Cp932ToUtf8(renewals[0].caption), "朝 due:2026-12-24 rec:1d");
    EXPECT_EQ(renewals[1].topic, &other);
    EXPECT_EQ(Cp932ToUtf8(renewals[1].caption), "月次 due:2026-12-30 rec:+1m");
}

}  // namespace
}  // namespace brenvale

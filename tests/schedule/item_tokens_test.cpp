#include "schedule/item_tokens.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::Sjis;

// The tokens of a text as "kind:bytes" strings, in UTF-8, to compare at a glance.
std::vector<std::string> Tokens(const std::string& cp932) {
    std::vector<std::string> out;
    ForEachToken(cp932, [&](const ItemToken& t) {
        static const char* kKinds[] = {"due", "tag", "rec", "done"};
        std::string name = kKinds[static_cast<int>(t.kind)];
        out.push_back(name + "=" + Cp932ToUtf8(t.span.of(cp932)));
        if (t.kind == TokenKind::Tag) {
            out.back() += "/" + Cp932ToUtf8(t.value(cp932));
        }
    });
    return out;
}

using V = std::vector<std::string>;

TEST(CalendarDate, DayNumbersWeekdaysAndMonthEnds) {
    for (int64_t n = -800000; n <= 800000; n += 997) {
        EXPECT_EQ(DayNumber(FromDayNumber(n)), n);
    }
    EXPECT_EQ(DayNumber({1970, 1, 1}), 0);
    EXPECT_EQ(Weekday({2026, 12, 24}), 3);  // Thursday
    EXPECT_EQ(Weekday({2026, 12, 27}), 6);  // Sunday
    EXPECT_EQ(Weekday({2024, 2, 29}), 3);
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2028));
    EXPECT_EQ(AddMonths({2027, 1, 31}, 1), (Date{2027, 2, 28}));
    EXPECT_EQ(AddMonths({2028, 1, 31}, 1), (Date{2028, 2, 29}));
    EXPECT_EQ(AddMonths({2026, 12, 31}, 2), (Date{2027, 2, 28}));
    EXPECT_EQ(AddMonths({2027, 3, 31}, -1), (Date{2027, 2, 28}));
    EXPECT_EQ(AddMonths({2028, 2, 29}, 12), (Date{2029, 2, 28}));
    EXPECT_EQ(AddDays({2028, 2, 28}, 1), (Date{2028, 2, 29}));
    EXPECT_EQ(AddDays({2027, 12, 31}, 1), (Date{2028, 1, 1}));
    EXPECT_FALSE(AddDaysChecked({9999, 12, 31}, 1));
    EXPECT_EQ(ParseIsoDate("2028-02-29"), (Date{2028, 2, 29}));
    for (const char* bad : {"2027-02-29", "2026-13-01", "2026-00-10", "2026-1-05", "20261224",
                            "2026-12-24x", "0000-01-01"}) {
        EXPECT_FALSE(ParseIsoDate(bad)) << bad;
    }
    EXPECT_EQ(FormatIsoDate({33, 2, 3}), "0033-02-03");
}

TEST(ItemTokens, ReadsEveryFormWithItsSpan) {
    std::string text = Sjis("会議 due:2026-12-24T09:30 #仕事 rec:+2w ＃買い物　done:2026-12-01 x");
    EXPECT_EQ(Tokens(text), (V{"due=due:2026-12-24T09:30", "tag=#仕事/仕事", "rec=rec:+2w",
                               "tag=＃買い物/買い物", "done=done:2026-12-01"}));
    ItemTokens read = ReadItemTokens(text);
    EXPECT_EQ(read.due, (DueDate{{2026, 12, 24}, 9 * 60 + 30}));
    EXPECT_EQ(read.repeat, (RepeatRule{2, RepeatUnit::Week, true}));
    EXPECT_EQ(read.done, (Date{2026, 12, 1}));
    EXPECT_TRUE(read.hasTags());

    EXPECT_EQ(ReadItemTokens("rec:3m").repeat, (RepeatRule{3, RepeatUnit::Month, false}));
    EXPECT_EQ(ReadItemTokens("REC:1Y Due:2026-01-01").repeat,
              (RepeatRule{1, RepeatUnit::Year, false}));
    EXPECT_EQ(ReadItemTokens("due:2026-01-02").due, (DueDate{{2026, 1, 2}, -1}));
    // Several dues: the first one counts, every one is dimmed.
    ItemTokens two = ReadItemTokens("due:2026-01-02 due:2025-01-01");
    EXPECT_EQ(two.due->day, (Date{2026, 1, 2}));
    EXPECT_EQ(two.tokens.size(), 2u);
}

TEST(ItemTokens, TokensTouchingJapaneseText) {
    EXPECT_EQ(Tokens(Sjis("資料due:2026-12-24までに提出")), (V{"due=due:2026-12-24"}));
    EXPECT_EQ(Tokens(Sjis("「#仕事」")), (V{"tag=#仕事」/仕事」"}));
    EXPECT_EQ(Tokens(Sjis("買う#食品、#日用品")), (V{"tag=#食品、#日用品/食品、#日用品"}));
    EXPECT_EQ(Tokens(Sjis("(due:2026-12-24)")), (V{"due=due:2026-12-24"}));
    // A double-byte character whose second byte is 'd' (Ｅ is 82 64) starts no key.
    EXPECT_EQ(Tokens(Sjis("Ｅue:2026-12-24")), V{});
    // Nor does one whose second byte is '\' end a word early: ソ is 83 5C.
    EXPECT_EQ(Tokens(Sjis("ソ#タグ")), (V{"tag=#タグ/タグ"}));
}

TEST(ItemTokens, LeavesWhatDoesNotReadAsPlainText) {
    for (const char* text : {"C#",
                             "a&#32;b",
                             "http://x.y/#top",
                             "#1",
                             "#１２",
                             "#",
                             "# x",
                             "##x",
                             "#　x",
                             "xdue:2026-12-24",
                             "due:2026-02-30",
                             "due:2026-12-24T25:00",
                             "due:2026-12-24T9:00",
                             "due:2026-1-5",
                             "due:2026-12-245",
                             "due:2026-12-24-",
                             "due:tomorrow",
                             "due:",
                             "rec:0d",
                             "rec:1x",
                             "rec:1000d",
                             "rec:+d",
                             "rec:1d2",
                             "done:2026-12-24T09:00",
                             "due:2026-12-24#a",
                             "12:30",
                             "a:b#c"}) {
        EXPECT_EQ(Tokens(Sjis(text)), V{}) << text;
    }
    // Digits with something else make a tag; a tag runs to the next space of either width.
    EXPECT_EQ(Tokens(Sjis("#2026年 #v2")), (V{"tag=#2026年/2026年", "tag=#v2/v2"}));
    EXPECT_EQ(Tokens(Sjis("#a\tb #c\nd")), (V{"tag=#a/a", "tag=#c/c"}));
}

TEST(ItemTokens, QuickLookRulesOutPlainTexts) {
    EXPECT_FALSE(MayHoldTokens(Sjis("会議の準備をする")));
    EXPECT_FALSE(MayHoldTokens(""));
    EXPECT_TRUE(MayHoldTokens("a:b"));
    EXPECT_TRUE(MayHoldTokens(Sjis("＃")));
    EXPECT_TRUE(ReadItemTokens(Sjis("年内に片付ける")).empty());
}

TEST(ItemTokens, TagKeysFoldWidthAndCaseButNotKana) {
    EXPECT_EQ(TagKey(Sjis("ＴＡＧ")), TagKey("tag"));
    EXPECT_EQ(TagKey(Sjis("ﾀｸﾞ")), TagKey(Sjis("タグ")));
    EXPECT_NE(TagKey(Sjis("たぐ")), TagKey(Sjis("タグ")));
    EXPECT_NE(TagKey("tag"), TagKey("tags"));
    EXPECT_EQ(FormatRepeat({12, RepeatUnit::Day, true}), "+12d");
    EXPECT_EQ(FormatDue({{2026, 1, 2}, 5}), "2026-01-02T00:05");
    EXPECT_EQ(ParseDueValue("2026-01-02T23:59"), (DueDate{{2026, 1, 2}, 23 * 60 + 59}));
    EXPECT_FALSE(ParseDueValue("2026-01-02 "));
    EXPECT_EQ(ParseRepeatValue("+1y"), (RepeatRule{1, RepeatUnit::Year, true}));
}

}  // namespace
}  // namespace brenvale

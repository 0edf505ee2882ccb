#include "schedule/date_words.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::Sjis;

constexpr Date kDec24Thursday{2026, 12, 24};

// The committed text in UTF-8.
std::string Commit(const std::string& typed, Date today = kDec24Thursday) {
    DateWordsResult r = ConvertDateWords(Sjis(typed), today);
    EXPECT_EQ(r.changed, r.text != Sjis(typed)) << typed;
    EXPECT_TRUE(r.problems.empty()) << typed << ": " << ProblemsHint(r.problems);
    return Cp932ToUtf8(r.text);
}

TEST(DateWords, EveryFormOnAFixedDay) {
    const std::pair<const char*, const char*> cases[] = {
        {"due:今日", "due:2026-12-24"},
        {"due:きょう", "due:2026-12-24"},
        {"due:明日", "due:2026-12-25"},
        {"due:あした", "due:2026-12-25"},
        {"due:明後日", "due:2026-12-26"},
        {"due:あさって", "due:2026-12-26"},
        {"due:12/24", "due:2026-12-24"},  // today is the next 12/24
        {"due:12/23", "due:2027-12-23"},
        {"due:1/5", "due:2027-01-05"},
        {"due:12月31日", "due:2026-12-31"},
        {"due:1月2", "due:2027-01-02"},
        {"due:2026/12/24", "due:2026-12-24"},
        {"due:2025/1/5", "due:2025-01-05"},  // a year given is kept, past or not
        {"due:2027-1-5", "due:2027-01-05"},
        {"due:2027年3月4日", "due:2027-03-04"},
        {"due:+3d", "due:2026-12-27"},
        {"due:+2w", "due:2027-01-07"},
        {"due:+1m", "due:2027-01-24"},
        {"due:+1y", "due:2027-12-24"},
        {"due:来週月曜", "due:2026-12-28"},
        {"due:来週日曜日", "due:2027-01-03"},
        {"due:来週木曜", "due:2026-12-31"},
        {"due:金曜", "due:2026-12-25"},
        {"due:木曜日", "due:2026-12-24"},  // the next Thursday, today or later
        {"due:水曜", "due:2026-12-30"},
        {"due:明日T9:00", "due:2026-12-25T09:00"},
        {"due:12/24T23:59", "due:2026-12-24T23:59"},
        {"DUE:明日", "DUE:2026-12-25"},
        {"due:2026-12-24", "due:2026-12-24"},
        {"due:2026-12-24T09:00", "due:2026-12-24T09:00"},
    };
    for (const auto& [typed, stored] : cases) {
        EXPECT_EQ(Commit(typed), stored) << typed;
    }
}

TEST(DateWords, FullWidthInputAndJapaneseAround) {
    EXPECT_EQ(Commit("due:１２／２４"), "due:2026-12-24");
    EXPECT_EQ(Commit("due：明日"), "due:2026-12-25");
    EXPECT_EQ(Commit("due:＋３ｄ"), "due:2026-12-27");
    EXPECT_EQ(Commit("due:１２月２５日Ｔ０９：３０"), "due:2026-12-25T09:30");
    EXPECT_EQ(Commit("rec:１ｗ rec:＋２Ｍ"), "rec:1w rec:+2m");
    EXPECT_EQ(Commit("資料due:明日までに提出"), "資料due:2026-12-25までに提出");
    EXPECT_EQ(Commit("会議　due:来週月曜　#仕事"), "会議　due:2026-12-28　#仕事");
    EXPECT_EQ(Commit("a due:今日 b due:明日 rec:1d #x"),
              "a due:2026-12-24 b due:2026-12-25 rec:1d #x");
    // Not keys: inside a word, or nothing to do.
    EXPECT_EQ(Commit("xdue:明日 http://due:明日"), "xdue:明日 http://due:明日");
    EXPECT_EQ(Commit("12:30 に集合"), "12:30 に集合");
}

TEST(DateWords, MonthEndsAndLeapDays) {
    EXPECT_EQ(Commit("due:+1m", {2027, 1, 31}), "due:2027-02-28");
    EXPECT_EQ(Commit("due:+1m", {2028, 1, 31}), "due:2028-02-29");
    EXPECT_EQ(Commit("due:+1y", {2028, 2, 29}), "due:2029-02-28");
    EXPECT_EQ(Commit("due:2/29", {2027, 3, 1}), "due:2028-02-29");
    EXPECT_EQ(Commit("due:2/29", {2028, 2, 29}), "due:2028-02-29");
    EXPECT_EQ(Commit("due:2/29", {2096, 3, 1}), "due:2104-02-29");  // 2100 is no leap year
    EXPECT_EQ(Commit("due:明日", {2026, 12, 31}), "due:2027-01-01");
    EXPECT_EQ(Commit("due:12/31", {2026, 12, 31}), "due:2026-12-31");
    // Sunday: next week starts tomorrow.
    EXPECT_EQ(Commit("due:来週月曜", {2026, 12, 27}), "due:2026-12-28");
    EXPECT_EQ(Commit("due:来週日曜", {2026, 12, 27}), "due:2027-01-03");
    EXPECT_EQ(Commit("due:来週月曜", {2026, 12, 28}), "due:2027-01-04");
}

TEST(DateWords, WhatCannotBeReadStaysAndSaysWhy) {
    struct Case {
        const char* typed;
        const char* hint;  // a part of the hint
    };
    const Case cases[] = {
        {"due:24/12", "月は 1 から 12 まで"},  // day/month is never guessed
        {"due:2/30", "2月30日という日はありません"},
        {"due:4/31", "4月31日という日はありません"},
        {"due:2027-02-29", "2月29日という日はありません"},
        {"due:明日T25:00", "時刻は 0:00 から 23:59 まで"},
        {"due:someday", "日付として読めません"},
        {"due:", "日付として読めません"},
        {"due:12-24", "日付として読めません"},
        {"due:来週", "日付として読めません"},
        {"due:12/24x", "日付として読めません"},
        {"due:明日T9", "日付として読めません"},
        {"rec:3x", "繰り返しとして読めません"},
        {"rec:0d", "繰り返しとして読めません"},
    };
    for (const Case& c : cases) {
        std::string typed = Sjis(std::string("買う ") + c.typed + " #x");
        DateWordsResult r = ConvertDateWords(typed, kDec24Thursday);
        EXPECT_EQ(r.text, typed) << c.typed;
        EXPECT_FALSE(r.changed) << c.typed;
        ASSERT_EQ(r.problems.size(), 1u) << c.typed;
        EXPECT_EQ(r.problems[0].span.of(typed), Sjis(c.typed));
        EXPECT_NE(r.problems[0].hint.find(c.hint), std::string::npos) << r.problems[0].hint;
        EXPECT_NE(r.problems[0].hint.find(std::string("「") + c.typed + "」"), std::string::npos)
            << r.problems[0].hint;
    }
    // A token read and one not read in the same text: the first is converted all the same.
    DateWordsResult r = ConvertDateWords(Sjis("due:明日 rec:x"), kDec24Thursday);
    EXPECT_EQ(Cp932ToUtf8(r.text), "due:2026-12-25 rec:x");
    ASSERT_EQ(r.problems.size(), 1u);
    EXPECT_EQ(r.problems[0].span.of(Sjis("due:明日 rec:x")), "rec:x");
}

}  // namespace
}  // namespace brenvale

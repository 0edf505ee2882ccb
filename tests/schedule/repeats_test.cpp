#include "schedule/repeats.h"

#include <gtest/gtest.h>

#include <random>

#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::Sjis;

std::string Rearm(const std::string& text, Date tick) {
    std::optional<std::string> out = RearmedText(Sjis(text), tick);
    return out ? Cp932ToUtf8(*out) : "(none)";
}

TEST(Repeats, TickMovesTheDueFromTheTickDayOrFromTheDue) {
    // rec: counts from the day it is ticked, early or late, so the next due is never past.
    EXPECT_EQ(Rearm("ゴミ出し due:2026-12-24 rec:1w", {2026, 12, 24}),
              "ゴミ出し due:2026-12-31 rec:1w");
    EXPECT_EQ(Rearm("ゴミ出し due:2026-12-24 rec:1w", {2026, 12, 30}),
              "ゴミ出し due:2027-01-06 rec:1w");
    EXPECT_EQ(Rearm("薬 rec:1d due:2026-12-24T08:00", {2026, 12, 24}),
              "薬 rec:1d due:2026-12-25T08:00");
    // rec:+ counts from the previous due, as written, even when that is still past.
    EXPECT_EQ(Rearm("家賃 due:2026-10-27 rec:+1m", {2026, 12, 24}), "家賃 due:2026-11-27 rec:+1m");
    EXPECT_EQ(Rearm("月末 due:2027-01-31 rec:+1m", {2027, 1, 31}), "月末 due:2027-02-28 rec:+1m");
    EXPECT_EQ(Rearm("月末 due:2028-01-31 rec:+1m", {2028, 1, 31}), "月末 due:2028-02-29 rec:+1m");
    EXPECT_EQ(Rearm("更新 due:2028-02-29 rec:+1y", {2028, 2, 1}), "更新 due:2029-02-28 rec:+1y");
    EXPECT_EQ(Rearm("点検 rec:2w", {2026, 12, 24}), "点検 rec:2w due:2027-01-07");
    EXPECT_EQ(Rearm("点検 rec:+3d", {2026, 12, 24}), "点検 rec:+3d due:2026-12-27");
    EXPECT_EQ(Rearm("ただの項目 due:2026-12-24", {2026, 12, 24}), "(none)");
    EXPECT_EQ(Rearm("rec:1z due:2026-12-24", {2026, 12, 24}), "(none)");
}

TEST(Repeats, TickingAgainNeverDuplicatesOrSkips) {
    std::mt19937 rng(7);
    for (const char* start : {"水やり rec:2d #庭", "水やり due:2026-12-20 rec:+2d #庭",
                              "due:2026-12-20T07:00 水やり rec:1m"}) {
        std::string text = Sjis(start);
        Date day{2026, 12, 20};
        for (int step = 0; step < 200; ++step) {
            day = AddDays(day, std::uniform_int_distribution<int>(0, 5)(rng));
            std::optional<std::string> next = RearmedText(text, day);
            ASSERT_TRUE(next);
            ItemTokens before = ReadItemTokens(text);
            ItemTokens after = ReadItemTokens(*next);
            // One due, the rest of the text as it was.
            int dues = 0;
            for (const ItemToken& t : after.tokens) {
                dues += t.kind == TokenKind::Due;
            }
            ASSERT_EQ(dues, 1) << Cp932ToUtf8(*next);
            ASSERT_EQ(after.tokens.size(), before.tokens.size() + (before.due ? 0 : 1));
            if (after.repeat->fromDue) {
                EXPECT_GT(after.due->day, before.due.value_or(DueDate{day}).day);
            } else {
                EXPECT_GT(after.due->day, day);
                // Ticked again the same day: the same text, not a second step.
                EXPECT_EQ(RearmedText(*next, day), next);
            }
            text = *next;
        }
    }
}

TEST(Repeats, RoutinesRenewOncePerPassedDayToTheFirstDayOfTheirSeries) {
    auto renew = [](const char* caption, Date today) {
        std::optional<std::string> out = RenewedCaption(Sjis(caption), today);
        return out ? Cp932ToUtf8(*out) : "(none)";
    };
    EXPECT_EQ(renew("朝 due:2026-12-20 rec:1d", {2026, 12, 24}), "朝 due:2026-12-24 rec:1d");
    EXPECT_EQ(renew("朝 due:2026-12-24 rec:1d", {2026, 12, 24}), "(none)");
    EXPECT_EQ(renew("週次 due:2026-12-01T09:00 rec:+1w", {2026, 12, 24}),
              "週次 due:2026-12-29T09:00 rec:+1w");
    EXPECT_EQ(renew("週次 due:2026-12-03 rec:1w", {2026, 12, 24}), "週次 due:2026-12-24 rec:1w");
    EXPECT_EQ(renew("月末 due:2026-01-31 rec:1m", {2026, 3, 15}), "月末 due:2026-03-31 rec:1m");
    EXPECT_EQ(renew("月末 due:2026-01-31 rec:1m", {2026, 3, 31}), "月末 due:2026-03-31 rec:1m");
    EXPECT_EQ(renew("月末 due:2026-01-31 rec:1m", {2026, 4, 1}), "月末 due:2026-04-30 rec:1m");
    EXPECT_EQ(renew("年次 due:2024-02-29 rec:1y", {2025, 3, 1}), "年次 due:2026-02-28 rec:1y");
    EXPECT_EQ(renew("四半期 due:2025-11-30 rec:3m", {2026, 12, 24}),
              "四半期 due:2027-02-28 rec:3m");
    EXPECT_EQ(renew("朝 due:2026-12-20", {2026, 12, 24}), "(none)");
    EXPECT_EQ(renew("朝 rec:1d", {2026, 12, 24}), "(none)");

    // Day by day across midnights: renewed once on each new day, never twice on one.
    std::string caption = Sjis("朝のチェック due:2026-12-20 rec:1d");
    int renewals = 0;
    for (Date day{2026, 12, 21}; day <= Date{2027, 1, 10}; day = AddDays(day, 1)) {
        for (int again = 0; again < 2; ++again) {
            if (std::optional<std::string> next = RenewedCaption(caption, day)) {
                caption = *next;
                ++renewals;
                EXPECT_EQ(ReadItemTokens(caption).due->day, day);
            }
        }
    }
    EXPECT_EQ(renewals, 21);
    // The series against a plain count: every due a step of it, the first one from today on.
    for (int offset = 1; offset < 400; offset += 13) {
        for (RepeatRule rule :
             {RepeatRule{3, RepeatUnit::Day, false}, RepeatRule{2, RepeatUnit::Week, false},
              RepeatRule{1, RepeatUnit::Month, true}, RepeatRule{5, RepeatUnit::Month, false},
              RepeatRule{1, RepeatUnit::Year, false}}) {
            Date due{2026, 1, 31};
            Date today = AddDays(due, offset);
            std::optional<Date> first = FirstInSeriesFrom(due, rule, today);
            int k = 0;
            while (*AddPeriod(due, rule, k) < today) {
                ++k;
            }
            EXPECT_EQ(first, AddPeriod(due, rule, k)) << offset;
        }
    }
}

TEST(Repeats, DoneDatesComeAndGo) {
    const Date day{2026, 12, 24};
    auto with = [&](const char* text) { return Cp932ToUtf8(WithDoneDate(Sjis(text), day)); };
    auto without = [](const char* text) { return Cp932ToUtf8(WithoutDoneDate(Sjis(text))); };
    EXPECT_EQ(with("報告書"), "報告書 done:2026-12-24");
    EXPECT_EQ(with(""), "done:2026-12-24");
    EXPECT_EQ(with("報告書 "), "報告書  done:2026-12-24");
    EXPECT_EQ(with("報告書 done:2026-12-01 #仕事"), "報告書 done:2026-12-24 #仕事");
    EXPECT_EQ(without("報告書 done:2026-12-24"), "報告書");
    EXPECT_EQ(without("done:2026-12-24 報告書"), "報告書");
    EXPECT_EQ(without("a done:2026-12-24 b done:2026-12-25"), "a b");
    EXPECT_EQ(without("a done:2026-13-24"), "a done:2026-13-24");  // no token: kept
    for (const char* text : {"報告書", "", "a  b ", "#x due:2026-12-24 rec:1d", "ａ　ｂ"}) {
        EXPECT_EQ(WithoutDoneDate(WithDoneDate(Sjis(text), day)), Sjis(text)) << text;
    }
    // A text ending in a lead byte without its second byte: the space after it stays a space.
    EXPECT_EQ(WithoutDoneDate(WithDoneDate("#\x82", day)), "#\x82");
    EXPECT_EQ(ReadItemTokens("#\x82 done:2026-12-24").done, day);
}

}  // namespace
}  // namespace brenvale

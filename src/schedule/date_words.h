#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "schedule/calendar_date.h"
#include "schedule/item_tokens.h"

namespace brenvale {

// A token that was typed but cannot be read: where it is in the text given, and why, for the
// hint panel (UTF-8).
struct TokenProblem {
    TextSpan span;
    std::string hint;
};

struct DateWordsResult {
    std::string text;  // CP932
    std::vector<TokenProblem> problems;
    bool changed = false;
};

// Turns the dates people type into the stored form, as a text is committed. After "due:" (the
// colon may be full-width, and digits, "/", "+", "-", ":" and "T" may be full-width too):
//   今日 きょう, 明日 あした, 明後日 あさって                     today, +1, +2 days
//   12/24, 12月24日                                               the next 12-24 that is today
//                                                                 or later (month first, always)
//   2026/12/24, 2026-12-24, 2026年12月24日                        that day
//   +3d, +2w, +1m, +1y                                            days, weeks, months, years on
//   来週月曜 ... 来週日曜 (曜日 too)                               that day of next week (weeks
//                                                                 run Monday to Sunday)
//   月曜 ... 日曜 (曜日 too)                                       the next such day, today or
//   later
// each optionally followed by "T" and a time, "T9:00" or "T09:00". After "rec:", full-width
// forms become ASCII. What follows the form must be the end of the word (a blank, the end, a
// Japanese character or punctuation). A token that cannot be read stays as typed and is
// reported; the day/month order is never guessed ("24/12" is refused: there is no month 24).
DateWordsResult ConvertDateWords(std::string_view text, Date today);

// The problems as one line for the hint panel.
std::string ProblemsHint(const std::vector<TokenProblem>& problems);

}  // namespace brenvale

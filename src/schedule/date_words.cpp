#include "schedule/date_words.h"

#include <initializer_list>

#include "common/cp932.h"
#include "schedule/word_reader.h"

namespace brenvale {

namespace {

using date_words::kDayMark;
using date_words::WordReader;

// The CP932 bytes of the words read after "due:".
constexpr std::string_view kToday = "\x8D\xA1\x93\xFA";                         // 今日
constexpr std::string_view kTodayKana = "\x82\xAB\x82\xE5\x82\xA4";             // きょう
constexpr std::string_view kTomorrow = "\x96\xBE\x93\xFA";                      // 明日
constexpr std::string_view kTomorrowKana = "\x82\xA0\x82\xB5\x82\xBD";          // あした
constexpr std::string_view kDayAfter = "\x96\xBE\x8C\xE3\x93\xFA";              // 明後日
constexpr std::string_view kDayAfterKana = "\x82\xA0\x82\xB3\x82\xC1\x82\xC4";  // あさって
constexpr std::string_view kNextWeek = "\x97\x88\x8F\x54";                      // 来週
constexpr std::string_view kMonthMark = "\x8C\x8E";                             // 月
constexpr std::string_view kYearMark = "\x94\x4E";                              // 年
constexpr std::string_view kFullWidthColon = "\x81\x46";                        // ：

constexpr const char* kDueForms =
    "書ける形: 2026-12-24、12/24、12月24日、今日、明日、明後日、+3d、来週月曜";
constexpr const char* kRepeatForms = "書ける形: rec:1d、rec:2w、rec:1m、rec:1y、rec:+1w";

enum class Failure { None, Unreadable, BadMonth, BadDay, BadTime };

struct DueRead {
    Failure failure = Failure::Unreadable;
    DueDate due;
    int month = 0;  // for the text of a day that does not exist
    int day = 0;
};

// The first day from today on that is month/day.
std::optional<Date> NextOccurrence(int month, int day, Date today) {
    // A 29th of February may be eight years away (2096 to 2104).
    for (int year = today.year; year <= today.year + 8; ++year) {
        if (IsValidDate(year, month, day) && Date{year, month, day} >= today) {
            return Date{year, month, day};
        }
    }
    return std::nullopt;
}

// The numeric forms: 2026-12-24, 2026/12/24, 12/24, 2026年12月24日, 12月24日.
DueRead ReadNumericDate(WordReader& r, Date today) {
    DueRead read;
    int firstDigits = 0;
    int first = r.number(4, &firstDigits);
    int year = 0;
    int month = 0;
    int day = 0;
    int digits = 0;
    bool yearGiven = false;
    for (char sep : {'-', '/'}) {
        if (!r.take(sep)) {
            continue;
        }
        int second = r.number(2, &digits);
        if (digits == 0) {
            return read;
        }
        if (r.take(sep)) {
            day = r.number(2, &digits);
            if (digits == 0 || firstDigits != 4) {
                return read;
            }
            year = first;
            month = second;
            yearGiven = true;
        } else if (sep == '/' && firstDigits <= 2) {
            month = first;
            day = second;
        } else {
            return read;
        }
        break;
    }
    if (month == 0 && day == 0) {
        if (firstDigits == 4 && r.takeBytes(kYearMark)) {
            year = first;
            yearGiven = true;
            month = r.number(2, &digits);
            if (digits == 0 || !r.takeBytes(kMonthMark)) {
                return read;
            }
        } else if (firstDigits <= 2 && r.takeBytes(kMonthMark)) {
            month = first;
        } else {
            return read;
        }
        day = r.number(2, &digits);
        if (digits == 0) {
            return read;
        }
        r.takeBytes(kDayMark);
    }
    read.month = month;
    read.day = day;
    if (month < 1 || month > 12) {
        read.failure = Failure::BadMonth;
        return read;
    }
    std::optional<Date> date = yearGiven && IsValidDate(year, month, day)
                                   ? std::optional<Date>(Date{year, month, day})
                               : yearGiven ? std::nullopt
                                           : NextOccurrence(month, day, today);
    if (!date) {
        read.failure = Failure::BadDay;
        return read;
    }
    read.failure = Failure::None;
    read.due.day = *date;
    return read;
}

// "+3d", "+2w", "+1m", "+1y" from today.
DueRead ReadOffset(WordReader& r, Date today) {
    DueRead read;
    int digits = 0;
    int count = r.number(4, &digits);
    if (digits == 0) {
        return read;
    }
    std::optional<Date> date;
    switch (r.takeLower()) {
        case 'd':
            date = AddDaysChecked(today, count);
            break;
        case 'w':
            date = AddDaysChecked(today, int64_t{count} * 7);
            break;
        case 'm':
            date = AddMonthsChecked(today, count);
            break;
        case 'y':
            date = AddMonthsChecked(today, int64_t{count} * 12);
            break;
        default:
            return read;
    }
    if (date) {
        read.failure = Failure::None;
        read.due.day = *date;
    }
    return read;
}

// "T9:00" or "T09:00" after a day, when there.
Failure ReadTime(WordReader& r, DueDate& due) {
    if (!r.take('T') && !r.take('t')) {
        return Failure::None;
    }
    int digits = 0;
    int hours = r.number(2, &digits);
    if (digits == 0 || !r.take(':')) {
        return Failure::Unreadable;
    }
    int minutes = r.number(2, &digits);
    if (digits != 2) {
        return Failure::Unreadable;
    }
    if (hours > 23 || minutes > 59) {
        return Failure::BadTime;
    }
    due.minutes = hours * 60 + minutes;
    return Failure::None;
}

// The due the value in [begin, wordEnd) of text stands for; its form ends at *end.
DueRead ReadDueWords(std::string_view text, size_t begin, size_t wordEnd, Date today, size_t* end) {
    WordReader r(text, begin, wordEnd);
    DueRead read;
    std::optional<Date> day;
    int weekday = -1;
    char first = r.peek();
    if (r.takeAny({kToday, kTodayKana})) {
        day = today;
    } else if (r.takeAny({kTomorrow, kTomorrowKana})) {
        day = AddDays(today, 1);
    } else if (r.takeAny({kDayAfter, kDayAfterKana})) {
        day = AddDays(today, 2);
    } else if (r.takeBytes(kNextWeek)) {
        if ((weekday = r.weekday()) < 0) {
            return read;
        }
        // Weeks run Monday to Sunday: next week's Monday is 7 - (today's weekday) days on.
        day = AddDays(today, 7 - Weekday(today) + weekday);
    } else if ((weekday = r.weekday()) >= 0) {
        day = AddDays(today, (weekday - Weekday(today) + 7) % 7);
    } else if (r.take('+')) {
        read = ReadOffset(r, today);
    } else if (first >= '0' && first <= '9') {
        read = ReadNumericDate(r, today);
    } else {
        return read;
    }
    if (day) {
        read.failure = Failure::None;
        read.due.day = *day;
    }
    if (read.failure != Failure::None) {
        return read;
    }
    if (Failure time = ReadTime(r, read.due); time != Failure::None) {
        read.failure = time;
        return read;
    }
    if (!r.atEnd() && token_detail::JoinsWords(static_cast<unsigned char>(text[r.pos()]))) {
        read.failure = Failure::Unreadable;
        return read;
    }
    *end = r.pos();
    return read;
}

std::string DueHint(std::string_view typed, const DueRead& read) {
    std::string quoted = "「" + Cp932ToUtf8(typed) + "」";
    switch (read.failure) {
        case Failure::BadMonth:
            return quoted + ": 月は 1 から 12 までです（日付は月/日の順に書きます）";
        case Failure::BadDay:
            return quoted + ": " + std::to_string(read.month) + "月" + std::to_string(read.day) +
                   "日という日はありません";
        case Failure::BadTime:
            return quoted + ": 時刻は 0:00 から 23:59 までです";
        default:
            return quoted + "は日付として読めません（" + kDueForms + "）";
    }
}

// The repeat in [begin, wordEnd) in ASCII, full-width forms read as ASCII; its form ends at
// *end. Empty when it cannot be read.
std::optional<std::string> ReadRepeatWords(std::string_view text, size_t begin, size_t wordEnd,
                                           size_t* end) {
    WordReader r(text, begin, wordEnd);
    std::string ascii;
    if (r.take('+')) {
        ascii += '+';
    }
    int digits = 0;
    int count = r.number(3, &digits);
    char unit = r.takeLower();
    if (digits == 0 || count == 0 || (unit != 'd' && unit != 'w' && unit != 'm' && unit != 'y')) {
        return std::nullopt;
    }
    if (!r.atEnd() && token_detail::JoinsWords(static_cast<unsigned char>(text[r.pos()]))) {
        return std::nullopt;
    }
    ascii += std::to_string(count);
    ascii += unit;
    *end = r.pos();
    return ascii;
}

bool IsBlank(std::string_view text, size_t at) {
    char c = text[at];
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' ||
           (c == '\x81' && at + 1 < text.size() && text[at + 1] == '\x40');
}

size_t WordEnd(std::string_view text, size_t at) {
    while (at < text.size() && !IsBlank(text, at)) {
        at += token_detail::CharLength(text, at);
    }
    return at;
}

// The key at text[at] ("due" or "rec", any case) with its colon, ASCII or full-width:
// where its value begins, 0 when no such key is there.
size_t KeyValueBegin(std::string_view text, size_t at, std::string_view key) {
    if (at + key.size() >= text.size()) {
        return 0;
    }
    for (size_t i = 0; i < key.size(); ++i) {
        char c = text[at + i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != key[i]) {
            return 0;
        }
    }
    size_t colon = at + key.size();
    if (text[colon] == ':') {
        return colon + 1;
    }
    return text.substr(colon).starts_with(kFullWidthColon) ? colon + 2 : 0;
}

bool MayHoldKeys(std::string_view text) {
    return text.find(':') != std::string_view::npos ||
           text.find(kFullWidthColon) != std::string_view::npos;
}

}  // namespace

DateWordsResult ConvertDateWords(std::string_view text, Date today) {
    DateWordsResult result;
    if (!MayHoldKeys(text)) {
        result.text = text;
        return result;
    }
    std::string& out = result.text;
    out.reserve(text.size() + 16);
    size_t copied = 0;  // text before this is in out
    bool wordStart = true;
    for (size_t at = 0; at < text.size();) {
        size_t valueBegin = 0;
        bool due = false;
        if (wordStart) {
            if ((valueBegin = KeyValueBegin(text, at, "due")) != 0) {
                due = true;
            } else {
                valueBegin = KeyValueBegin(text, at, "rec");
            }
        }
        if (valueBegin == 0) {
            size_t length = token_detail::CharLength(text, at);
            wordStart =
                length == 2 || !token_detail::JoinsWords(static_cast<unsigned char>(text[at]));
            at += length;
            continue;
        }
        size_t wordEnd = WordEnd(text, valueBegin);
        size_t formEnd = 0;
        std::string stored;
        bool read = false;
        std::string hint;
        if (due) {
            DueRead dueRead = ReadDueWords(text, valueBegin, wordEnd, today, &formEnd);
            read = dueRead.failure == Failure::None;
            if (read) {
                stored = FormatDue(dueRead.due);
            } else {
                hint = DueHint(text.substr(at, wordEnd - at), dueRead);
            }
        } else if (auto rule = ReadRepeatWords(text, valueBegin, wordEnd, &formEnd)) {
            read = true;
            stored = *rule;
        } else {
            hint = "「" + Cp932ToUtf8(text.substr(at, wordEnd - at)) +
                   "」は繰り返しとして読めません（" + kRepeatForms + "）";
        }
        if (!read) {
            result.problems.push_back(
                {{static_cast<uint32_t>(at), static_cast<uint32_t>(wordEnd)}, std::move(hint)});
            at = wordEnd;
            wordStart = false;
            continue;
        }
        // The key as typed (its colon made ASCII), then the value in its stored form.
        std::string_view typedKey = text.substr(at, valueBegin - at);
        std::string_view typedValue = text.substr(valueBegin, formEnd - valueBegin);
        if (typedKey.back() != ':' || typedValue != stored) {
            out.append(text.substr(copied, at - copied));
            out.append(text.substr(at, 3));
            out += ':';
            out.append(stored);
            copied = formEnd;
            result.changed = true;
        }
        at = formEnd;
        wordStart = false;
    }
    out.append(text.substr(copied));
    return result;
}

std::string ProblemsHint(const std::vector<TokenProblem>& problems) {
    std::string hint;
    for (const TokenProblem& problem : problems) {
        if (!hint.empty()) {
            hint += " ";
        }
        hint += problem.hint;
    }
    return hint;
}

}  // namespace brenvale

#include "schedule/repeats.h"

namespace brenvale {

namespace {

// Puts value in place of the value of token in text.
std::string ReplaceValue(std::string_view text, const ItemToken& token, std::string_view value) {
    std::string out;
    out.reserve(text.size() + value.size());
    out.append(text.substr(0, token.valueBegin));
    out.append(value);
    out.append(text.substr(token.span.end));
    return out;
}

// Appends a token after the text with a space between them, which WithoutDoneDate takes away
// with it: the text comes back exactly.
std::string AppendToken(std::string_view text, std::string_view token) {
    std::string out(text);
    if (!out.empty()) {
        out += ' ';
    }
    out.append(token);
    return out;
}

const ItemToken* FirstOf(const ItemTokens& tokens, TokenKind kind) {
    for (const ItemToken& token : tokens.tokens) {
        if (token.kind == kind) {
            return &token;
        }
    }
    return nullptr;
}

// The text with its due set to due: the first due token changed, or a due appended.
std::string WithDue(std::string_view text, const ItemTokens& tokens, const DueDate& due) {
    if (const ItemToken* token = FirstOf(tokens, TokenKind::Due)) {
        return ReplaceValue(text, *token, FormatDue(due));
    }
    return AppendToken(text, "due:" + FormatDue(due));
}

int64_t MonthsPerPeriod(const RepeatRule& rule) {
    return rule.unit == RepeatUnit::Year ? int64_t{12} * rule.count : rule.count;
}

}  // namespace

std::optional<Date> AddPeriod(Date day, const RepeatRule& rule, int64_t times) {
    switch (rule.unit) {
        case RepeatUnit::Day:
            return AddDaysChecked(day, times * rule.count);
        case RepeatUnit::Week:
            return AddDaysChecked(day, times * rule.count * 7);
        case RepeatUnit::Month:
        case RepeatUnit::Year:
            return AddMonthsChecked(day, times * MonthsPerPeriod(rule));
    }
    return std::nullopt;
}

std::optional<DueDate> NextDue(const ItemTokens& tokens, Date tickDay) {
    if (!tokens.repeat) {
        return std::nullopt;
    }
    const RepeatRule& rule = *tokens.repeat;
    Date from = rule.fromDue && tokens.due ? tokens.due->day : tickDay;
    std::optional<Date> next = AddPeriod(from, rule);
    if (!next) {
        return std::nullopt;
    }
    return DueDate{*next, tokens.due ? tokens.due->minutes : -1};
}

std::optional<std::string> RearmedText(std::string_view text, Date tickDay) {
    ItemTokens tokens = ReadItemTokens(text);
    std::optional<DueDate> next = NextDue(tokens, tickDay);
    if (!next) {
        return std::nullopt;
    }
    return WithDue(text, tokens, *next);
}

std::optional<Date> FirstInSeriesFrom(Date due, const RepeatRule& rule, Date today) {
    if (due >= today) {
        return due;
    }
    int64_t times = 0;
    if (rule.unit == RepeatUnit::Day || rule.unit == RepeatUnit::Week) {
        int64_t period = rule.count * (rule.unit == RepeatUnit::Week ? 7 : 1);
        times = (DaysBetween(due, today) + period - 1) / period;
    } else {
        int64_t months =
            (int64_t{today.year} * 12 + today.month) - (int64_t{due.year} * 12 + due.month);
        times = months / MonthsPerPeriod(rule);
    }
    // The estimate for months is at most one period short, since the day of the month may fall
    // before or after today's.
    if (times < 1) {
        times = 1;
    }
    for (;; ++times) {
        std::optional<Date> day = AddPeriod(due, rule, times);
        if (!day || *day >= today) {
            return day;
        }
    }
}

std::optional<std::string> RenewedCaption(std::string_view caption, Date today) {
    ItemTokens tokens = ReadItemTokens(caption);
    if (!tokens.repeat || !tokens.due || tokens.due->day >= today) {
        return std::nullopt;
    }
    std::optional<Date> next = FirstInSeriesFrom(tokens.due->day, *tokens.repeat, today);
    if (!next) {
        return std::nullopt;
    }
    return WithDue(caption, tokens, DueDate{*next, tokens.due->minutes});
}

std::string WithDoneDate(std::string_view text, Date day) {
    ItemTokens tokens = ReadItemTokens(text);
    if (const ItemToken* token = FirstOf(tokens, TokenKind::Done)) {
        return ReplaceValue(text, *token, FormatIsoDate(day));
    }
    return AppendToken(text, "done:" + FormatIsoDate(day));
}

std::string WithoutDoneDate(std::string_view text) {
    ItemTokens tokens = ReadItemTokens(text);
    std::string out;
    size_t copied = 0;
    for (const ItemToken& token : tokens.tokens) {
        if (token.kind != TokenKind::Done) {
            continue;
        }
        size_t begin = token.span.begin;
        size_t end = token.span.end;
        if (begin > copied && text[begin - 1] == ' ') {
            --begin;  // the space WithDoneDate put before it
        } else if (end < text.size() && text[end] == ' ') {
            ++end;
        }
        out.append(text.substr(copied, begin - copied));
        copied = end;
    }
    out.append(text.substr(copied));
    return out;
}

}  // namespace brenvale

#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "schedule/item_tokens.h"

namespace brenvale {

// day moved on by `times` periods of rule; empty beyond the year 9999.
std::optional<Date> AddPeriod(Date day, const RepeatRule& rule, int64_t times = 1);

// The due an Item takes when it is ticked on tickDay: for "rec:N" tickDay plus the period,
// which is never in the past; for "rec:+N" its previous due day plus the period, as written
// (tickDay plus the period when it has no due). The time of day stays. Empty without a
// repeat.
std::optional<DueDate> NextDue(const ItemTokens& tokens, Date tickDay);

// The text of a repeating Item ticked on tickDay: its first due token moved to NextDue (a due
// is appended when the text has none). Ticking the same Item again on the same day gives the
// same text for "rec:N". Empty when the text holds no repeat: the Item is ticked as usual.
std::optional<std::string> RearmedText(std::string_view text, Date tickDay);

// The first day of the series due, due + period, due + 2 periods... that is today or later
// (months counted from due itself, so a 31st stays a 31st where the month has one).
std::optional<Date> FirstInSeriesFrom(Date due, const RepeatRule& rule, Date today);

// A routine is a Topic whose caption has a repeat and a due. When its due day is before today,
// the caption with the due moved to FirstInSeriesFrom; empty otherwise.
std::optional<std::string> RenewedCaption(std::string_view caption, Date today);

// The text with "done:YYYY-MM-DD" for day: appended, or the first done token's day changed.
std::string WithDoneDate(std::string_view text, Date day);
// The text without its done tokens (and the space before each). WithoutDoneDate(
// WithDoneDate(t, d)) == t for a text t without a done token.
std::string WithoutDoneDate(std::string_view text);

}  // namespace brenvale

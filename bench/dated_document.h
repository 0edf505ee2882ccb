#pragma once

#include <string>

#include "schedule/calendar_date.h"

namespace brenvale::bench {

// The day the dated benchmark documents are spread around.
inline constexpr Date kDatedToday{2026, 12, 24};

// The generated document of `topics` Topics with " due:YYYY-MM-DD" on every tenth Item line,
// spread from 60 days before kDatedToday to 60 days after it, and one of 20 tags (#t0 to #t19)
// on every seventh. Rewritten line by line, so that the process writing it stays small.
void WriteDatedDocument(const std::string& path, int topics);

}  // namespace brenvale::bench

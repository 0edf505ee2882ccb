#pragma once

#include <optional>
#include <string_view>

#include "common/check_mark.h"
#include "document/topic.h"
#include "schedule/item_scan.h"

namespace brenvale {

// The first due of an open Item of t, for each of its Items that has one on `day`.
template <typename Fn>
void ForEachOpenDue(const Topic& t, const ListKindOptions& kinds, Date day, Fn&& fn) {
    ForEachStoredItem(t, [&](size_t i, std::string_view stored, bool may) {
        std::string_view text = StoredText(stored);
        if (!may || !CountsAsUnchecked(text, IsCheckedMark(StoredMark(stored)), kinds)) {
            return;
        }
        std::optional<DueDate> due;
        ForEachToken(text, [&](const ItemToken& token) {
            if (token.kind == TokenKind::Due && !due) {
                due = token.due;
            }
        });
        if (due && due->day == day) {
            fn(i, *due, text);
        }
    });
}

}  // namespace brenvale

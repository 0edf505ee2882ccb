#pragma once

#include <cstddef>
#include <string_view>

#include "document/item.h"
#include "document/topic.h"

namespace brenvale {

// For an Item's stored form at p (its mark, its text, then the CR that ends it), readable up
// to limit: where the CR lies, and in *may whether the text may hold a token (false only when
// it cannot: MayHoldTokens of the text). Finding the end and looking for ':', '#' and '＃' take
// one pass, 16 bytes at a time.
const char* ScanStoredForTokens(const char* p, const char* limit, bool* may);

// Calls fn(row, stored, may) for every Item of topic's list: its stored form and whether its
// text may hold a token.
template <typename Fn>
void ForEachStoredItem(const Topic& topic, Fn&& fn) {
    const ItemList& items = topic.items;
    const TextStore& store = items.store();
    for (size_t i = 0; i < items.size(); ++i) {
        TextRef ref = items.ref(i);
        const char* p = store.at(ref);
        bool may = false;
        const char* end = ScanStoredForTokens(p, store.limit(ref), &may);
        fn(i, std::string_view(p, static_cast<size_t>(end - p)), may);
    }
}

}  // namespace brenvale

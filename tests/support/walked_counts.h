#pragma once

#include <algorithm>

#include "document/document_counts.h"
#include "document/document_reader.h"
#include "document/item.h"

namespace brenvale::test {

// The counts of a document read whole and walked, as `stats` took them before it counted the
// file by itself: what the counter must agree with.
inline DocumentCounts WalkedCounts(const ReadResult& read, const ListKindOptions& list) {
    DocumentCounts c;
    c.topics = read.document->topicCount();
    ForEachTopic(*read.document, [&](const Topic& t, int level) {
        c.depth = std::max(c.depth, static_cast<size_t>(level));
        c.items += t.items.size();
        for (size_t i = 0; i < t.items.size(); ++i) {
            ItemView item = t.items[i];
            c.unchecked += !item.checked() && item.kind(list) == ItemKind::Ordinary;
        }
    });
    c.unreadLines = read.unreadLines;
    c.utf8 = read.utf8;
    return c;
}

}  // namespace brenvale::test

#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "document/document.h"

namespace brenvale {

enum class ChangeKind {
    TopicAdded,
    TopicRemoved,
    TopicMoved,
    TopicRenamed,
    TopicIconChanged,
    ItemAdded,
    ItemRemoved,
    ItemEdited,
    ItemTicked,
    ItemUnticked,
    ItemMoved,
};

// One difference between two versions of a document, with the texts a reader needs (CP932,
// as the Document holds them). Topics are matched as the merge matches them.
struct DocumentChange {
    ChangeKind kind = ChangeKind::TopicAdded;
    // The Topic's caption path ("A > B"): in the newer version, or the older for a removed one.
    std::string path;
    // TopicMoved, TopicRenamed: the path in the older version. ItemEdited: the older text.
    std::string before;
    // Items: the text (ItemEdited: the newer text). TopicIconChanged: unused.
    std::string text;
    // Items: the row (from 0) in the older list for a removed one, else in the newer list.
    // TopicMoved and ItemMoved: the older row, and rowAfter the newer.
    size_t row = 0;
    size_t rowAfter = 0;
    // TopicIconChanged: the icons. TopicAdded/TopicRemoved: the Topics and Items of the
    // subtree that came or went with it.
    int iconBefore = 0;
    int iconAfter = 0;
    size_t topics = 0;
    size_t items = 0;
};

// What changed from before to after: removed Topics first (the top of each removed subtree
// only), then in the newer version's tree order each added Topic (likewise), each matched
// Topic's move, rename and icon, and its Items' changes. Empty when the two hold the same
// tree (the window's geometry is not compared).
std::vector<DocumentChange> DiffDocuments(const Document& before, const Document& after);

}  // namespace brenvale

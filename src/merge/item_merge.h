#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document/item_list.h"
#include "merge/merge_conflict.h"

namespace brenvale {

// One Item of a merged list: ours' or theirs' Item as it is, or a stored form made by the
// merge (index into MergedList::made).
struct MergedItem {
    enum class From : uint8_t { Ours, Theirs, Made };
    From from;
    uint32_t index;
};

struct MergedList {
    std::vector<MergedItem> items;
    std::vector<std::string> made;
    std::vector<std::pair<size_t, ConflictKind>> conflicts;  // row in items
    // items is ours' list as it stands: nothing to change.
    bool sameAsOurs = false;
};

// Merges the check lists of one Topic. Ticks (the mark bytes) and texts merge apart, so an
// Item ticked on one side and edited on the other is both. What only one side changed lands;
// an Item changed two ways keeps ours' version followed by theirs' marked; an Item changed on
// one side and deleted on the other is kept as changed, marked. Order: see MergeOrder.
MergedList MergeItemLists(const ItemList& base, const ItemList& ours, const ItemList& theirs);

// Without a common ancestor: ours' list, with each Item theirs alone holds (or holds
// otherwise) marked and put where theirs has it.
MergedList UniteItemLists(const ItemList& ours, const ItemList& theirs);

// A stored form from a mark and a text; a mark shorter than two bytes before a text becomes
// the unchecked mark, as the editor makes it, so the text cannot slip into the mark.
std::string StoredFrom(std::string_view mark, std::string_view text);

}  // namespace brenvale

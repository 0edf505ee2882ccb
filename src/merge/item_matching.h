#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "document/item_list.h"

namespace brenvale {

// Which Item of one version of a check list is which Item of another. Items are matched as a
// text merge matches lines:
//   1. a sequence diff of the stored forms (marks and texts): the Items kept as they were;
//   2. within each stretch it left, equal texts in order: Items ticked or unticked;
//   3. what is left, by equal text anywhere in the list: Items moved (separators and other
//      repeated texts pair in order);
//   4. what is left within each stretch, in order where the texts mostly agree: edited Items.
struct ItemMatch {
    std::vector<int32_t> toAfter;   // per Item of the older version: its counterpart, or -1
    std::vector<int32_t> toBefore;  // per Item of the newer version
    std::vector<uint8_t> moved;     // per Item of the older version: out of order with the rest
};

ItemMatch MatchItems(const ItemList& before, const ItemList& after);

// Whether two lists hold the same stored forms (marks and texts) in the same order.
bool SameItems(const ItemList& a, const ItemList& b);

// Whether an edit turned one text into the other rather than replaced it: the start and the
// end they share cover at least half of the shorter.
bool SimilarTexts(std::string_view a, std::string_view b);

// The share of the longer text that the start and the end the two share make up (0 to 1).
double TextAffinity(std::string_view a, std::string_view b);

}  // namespace brenvale

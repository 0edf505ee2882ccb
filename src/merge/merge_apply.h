#pragma once

#include <vector>

#include "document/document.h"
#include "merge/flat_tree.h"
#include "merge/merge_conflict.h"
#include "merge/tree_merge.h"

namespace brenvale {

// Appends copies of from's Items to to (another Document's list).
void CopyItems(const ItemList& from, ItemList& to);

// Turns ours' Document, over which ours is a tree, into the planned tree; the Topics and Items
// it copies come from theirs. Returns the conflicts at their places in the result.
std::vector<MergeConflict> ApplyPlan(const TreePlan& plan, Document& doc, const FlatTree& ours,
                                     const FlatTree& theirs);

}  // namespace brenvale

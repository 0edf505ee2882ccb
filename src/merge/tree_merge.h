#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "merge/flat_tree.h"
#include "merge/item_merge.h"
#include "merge/merge_conflict.h"
#include "merge/topic_matching.h"

namespace brenvale {

// One Topic of the merged tree, as the merge plans it.
struct PlannedTopic {
    int32_t ours = kNoTopic;  // the Topic of ours it is (kept in ours' Document)
    // The Topic of theirs it copies when ours has none (none for a marker), or whose Items
    // its list takes or merges with.
    int32_t theirs = kNoTopic;
    int32_t parent = kNoTopic;  // planned parent: an index of TreePlan::topics
    int32_t caption = -1;       // a new caption: index of TreePlan::captions
    int32_t icon = -1;          // a new icon
    enum class Items : uint8_t { Keep, CopyTheirs, Merged } items = Items::Keep;
    int32_t list = -1;  // Merged: index of TreePlan::lists
    std::optional<ConflictKind> conflict;
};

// The merged tree: its Topics in tree order (each after its parent and earlier siblings), and
// for every Topic of ours whether it stays.
struct TreePlan {
    std::vector<PlannedTopic> topics;
    std::vector<std::string> captions;
    std::vector<MergedList> lists;
    std::vector<uint8_t> oursKept;
};

// The three versions as flat trees with their matchings. Without a common ancestor (a
// two-way merge) base is ours, matched to itself.
struct MergeInputs {
    const FlatTree& base;
    const FlatTree& ours;
    const FlatTree& theirs;
    const TopicMatch& baseToOurs;
    const TopicMatch& baseToTheirs;
    bool twoWay = false;
};

// Decides the merged tree. What only one side changed lands: added, deleted, moved and renamed
// Topics, icons, and the check lists (see MergeItemLists). A Topic moved by both sides goes
// where ours put it; a move of theirs that would put a Topic inside itself is left out. A Topic
// that one side deleted is kept when the other changed it (caption, icon, Items, parent) or
// put something into it. Two-way: ours' tree, with what only theirs holds added and marked.
TreePlan PlanTreeMerge(const MergeInputs& in);

}  // namespace brenvale

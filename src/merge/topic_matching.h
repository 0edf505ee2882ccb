#pragma once

#include <cstdint>
#include <vector>

#include "merge/flat_tree.h"

namespace brenvale {

// Which Topic of one version is which Topic of another. Topics carry no identity of their
// own, so they are matched by caption and place, as a line-based merge matches lines:
//   1. the captions in tree order, by a sequence diff: what kept its caption and its order;
//   2. what is left, by caption: Topics moved elsewhere (among several of one caption, the
//      one whose Items and children agree best);
//   3. what is left, by place among matched siblings: Topics renamed (see alonePairs);
//   4. what is left, by Items and children that mostly agree: Topics renamed and moved.
// Each step only pairs Topics the earlier ones left, so a Topic has at most one counterpart.
struct TopicMatch {
    std::vector<int32_t> toAfter;   // per Topic of the older version: its counterpart or kNoTopic
    std::vector<int32_t> toBefore;  // per Topic of the newer version
};

// alonePairs: a gap that holds one Topic on each side pairs them whatever they hold (one
// version derived from the other: a Topic renamed in place). Off for two versions without a
// common ancestor, where a place proves less.
TopicMatch MatchTopics(const FlatTree& before, const FlatTree& after, bool alonePairs = true);

// How the newer version holds a matched Topic.
enum class TopicMove : uint8_t {
    InPlace,     // same parent, and in order with its siblings
    Reordered,   // same parent, out of order with the siblings that stayed
    Reparented,  // under another parent (or moved out of a parent the newer version lacks)
};

// Per Topic of the older version (InPlace for one without counterpart).
std::vector<TopicMove> TopicMoves(const FlatTree& before, const FlatTree& after,
                                  const TopicMatch& match);

// The parent of after-Topic i as a Topic of the older version: kNoTopic for the top level,
// kNewParent when the parent has no counterpart there.
inline constexpr int32_t kNewParent = -2;
int32_t ParentBefore(const FlatTree& after, const TopicMatch& match, int32_t i);

}  // namespace brenvale

#pragma once
// The node of a TopicSequence, shared by the files that make up the sequence.

#include <climits>
#include <cstdint>

#include "common/packed_pointer.h"
#include "editor/topic_sequence.h"

namespace brenvale {

// Four-byte fields only, the flag in the count's spare bit: 44 bytes for each Topic of the tree.
struct TopicSequence::Node {
    PackedPointer<Topic> topic;
    NodeId left = 0;
    NodeId right = 0;
    NodeId parent = 0;
    uint32_t size = 0;
    // This Topic's folded ancestors, less what the nodes above still owe it.
    int32_t above = 0;
    // The smallest of those in the subtree and how many have it, what this node owes its
    // children included.
    int32_t least = INT32_MAX;
    uint32_t leastCount = 0;
    // Owed to every node below this one: the shift of a whole subtree, handed down lazily.
    int32_t owed = 0;
    // Topics of the subtree whose expanded flag is off.
    uint32_t foldedCount : 31 = 0;
    bool folded : 1 = false;  // this Topic's expanded flag is off
};

// A fixed pseudo-random priority per node number (a bijection, so no two nodes tie).
inline uint32_t NodePriority(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

}  // namespace brenvale

// Building a TopicSequence in one pass: the whole Document, or the nodes of a subtree.
#include <algorithm>
#include <new>
#include <vector>

#include "document/document.h"
#include "editor/topic_sequence.h"
#include "editor/topic_sequence_node.h"

namespace brenvale {

// ---- Building

class TopicSequence::Builder {
public:
    explicit Builder(TopicSequence& sequence) : s_(sequence) {}

    // Appends a node for t. The nodes of the right spine with a lower priority than the new
    // one are complete: they become its left subtree.
    void add(Topic* t, int above) {
        NodeId i = s_.allocate();
        Node& n = s_.node(i);
        n.topic = t;
        n.above = above;
        n.folded = !t->expanded;
        n.size = 1;
        n.least = above;
        n.leastCount = 1;
        n.foldedCount = n.folded ? 1 : 0;
        t->rowKey = i;
        uint32_t priority = NodePriority(i);
        NodeId popped = 0;
        NodeId x = last_;
        while (x && NodePriority(x) < priority) {
            s_.pull(x);
            popped = x;
            x = s_.node(x).parent;
        }
        s_.setLeft(i, popped);
        if (x) {
            s_.setRight(x, i);
        } else {
            root_ = i;
            n.parent = 0;
        }
        last_ = i;
    }

    NodeId finish() {
        for (NodeId x = last_; x; x = s_.node(x).parent) {
            s_.pull(x);
        }
        return root_;
    }

private:
    TopicSequence& s_;
    NodeId root_ = 0;
    NodeId last_ = 0;
};

void TopicSequence::rebuild(const Document& doc, const std::vector<bool>* shown) {
    // Built again over the blocks it has: a click on a tag rebuilds a big tree, and blocks
    // given back and taken again are fresh pages the system zeroes first, which cost as much
    // as the build. Nodes that were in use and are not now are wiped afterwards, and blocks
    // beyond the last one in use given back.
    const size_t before = used_;
    root_ = 0;
    used_ = 1;
    free_ = 0;
    freeCount_ = 0;
    reserve(doc.topicCount());
    Builder builder(*this);
    // Whether the Topic at each level of the path to the one at hand is hidden by `shown`.
    std::vector<bool> hidden;
    ForEachTopic(doc, [&](const Topic& x, int level) {
        const Topic* parent = x.parent();
        int above = parent ? node(parent->rowKey).above + (parent->expanded ? 0 : 1) : 0;
        if (shown) {
            // Read before the build gives x its new number.
            bool hide = !(x.rowKey < shown->size() && (*shown)[x.rowKey]);
            hidden.resize(static_cast<size_t>(level));
            // Below a hidden Topic the count already holds it.
            above += hide && (level == 0 || !hidden.back()) ? 1 : 0;
            hidden.push_back(hide);
        }
        builder.add(const_cast<Topic*>(&x), above);
    });
    root_ = builder.finish();
    blocks_.resize(std::max<size_t>(1, (used_ + kBlockSize - 1) / kBlockSize));
    for (size_t i = used_; i < std::min(before, blocks_.size() * kBlockSize); ++i) {
        node(static_cast<NodeId>(i)) = Node{};
    }
}

TopicSequence::Piece TopicSequence::make(const Topic& top, int foldedAbove) {
    Builder builder(*this);
    ForEachInSubtree(top, [&](const Topic& x, int) {
        int above = foldedAbove;
        if (&x != &top) {
            const Topic* holder = x.holder();
            above = node(holder->rowKey).above + (holder->expanded ? 0 : 1);
        }
        builder.add(const_cast<Topic*>(&x), above);
    });
    return Piece(this, builder.finish());
}

}  // namespace brenvale

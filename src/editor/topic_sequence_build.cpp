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

void TopicSequence::rebuild(const Document& doc) {
    // Built again over the blocks it has: blocks given back and taken again are fresh pages the
    // system zeroes first, which cost as much as the build. Nodes that were in use and are not
    // now are wiped afterwards, and blocks beyond the last one in use given back.
    const size_t before = used_;
    root_ = 0;
    used_ = 1;
    free_ = 0;
    freeCount_ = 0;
    reserve(doc.topicCount());
    Builder builder(*this);
    ForEachTopic(doc, [&](const Topic& x, int) {
        const Topic* parent = x.parent();
        int above = parent ? node(parent->rowKey).above + (parent->expanded ? 0 : 1) : 0;
        builder.add(const_cast<Topic*>(&x), above);
    });
    root_ = builder.finish();
    // The chunks wholly beyond the blocks in use go back.
    const size_t keep = std::max<size_t>(1, (used_ + kBlockSize - 1) / kBlockSize);
    while (chunks_.size() > 1 && blocks_.size() - chunks_.back().blocks >= keep) {
        blocks_.resize(blocks_.size() - chunks_.back().blocks);
        chunks_.pop_back();
    }
    for (size_t i = used_; i < std::min(before, blocks_.size() * kBlockSize); ++i) {
        node(static_cast<NodeId>(i)) = Node{};
    }
}

// ---- Folded counts in place

void TopicSequence::refold(const std::vector<bool>* shown) noexcept {
    refoldFrom(root_, shown);
}

// In tree order, so that a Topic's parent has its count before the Topic does; what a node owes
// its children is handed down on the way, and each node's sums are taken again on the way back.
void TopicSequence::refoldFrom(NodeId x, const std::vector<bool>* shown) noexcept {
    if (!x) {
        return;
    }
    push(x);
    refoldFrom(node(x).left, shown);
    Node& n = node(x);
    const Topic* parent = n.topic->parent();
    int above = 0;
    bool parentShown = true;
    if (parent) {
        above = node(parent->rowKey).above + (parent->expanded ? 0 : 1);
        parentShown = !shown || (*shown)[parent->rowKey];
    }
    // Below a Topic the filter hides, the count already holds it.
    if (shown && parentShown && !(*shown)[x]) {
        ++above;
    }
    n.above = above;
    refoldFrom(n.right, shown);
    pull(x);
}

namespace {

int HiddenBy(const std::vector<bool>* shown, uint32_t x) {
    return shown && x < shown->size() && !(*shown)[x] ? 1 : 0;
}

}  // namespace

void TopicSequence::refilter(const std::vector<bool>* before,
                             const std::vector<bool>* after) noexcept {
    refilterFrom(root_, before, after);
}

// What a node owes its children stays owed: each node's own count changes, and its sums are
// taken again once its children's are. A subtree's nodes lie near each other (the build gives
// them their numbers in order), so the walk goes through memory mostly in order.
void TopicSequence::refilterFrom(NodeId x, const std::vector<bool>* before,
                                 const std::vector<bool>* after) noexcept {
    if (!x) {
        return;
    }
    Node& n = node(x);
    __builtin_prefetch(&node(n.right));
    refilterFrom(n.left, before, after);
    refilterFrom(n.right, before, after);
    n.above += HiddenBy(after, x) - HiddenBy(before, x);
    pull(x);
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

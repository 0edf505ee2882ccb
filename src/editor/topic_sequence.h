#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "common/zeroed_array.h"

namespace brenvale {

class Document;
class Topic;

// Every Topic of a tree in tree order, each with the number of its folded ancestors (those
// whose expanded flag is off): the Topics with none are the rows a tree view shows.
//
// The order is kept in a treap, a search tree balanced by a pseudo-random priority per node,
// ordered by position. Each node carries, for its subtree, the number of nodes, the smallest
// folded count and how many nodes have it, and the number of folded Topics; a change of the
// folded counts of a whole subtree is noted at its top and handed down only when a walk passes
// there. So a Topic's position, the n-th shown Topic and the number shown before a position
// take O(log n); a run of positions is taken out, put in elsewhere or has its folded counts
// shifted in O(log n); nodes for a subtree of k Topics are made in O(k). Nodes live in blocks
// of an array, and each Topic keeps the number of its node (Topic::rowKey).
class TopicSequence {
public:
    using NodeId = uint32_t;

    // Nodes taken out of the sequence or made for it, in their order: put in again with put(),
    // or freed when the piece goes.
    class Piece {
    public:
        Piece() = default;
        Piece(Piece&& other) noexcept;
        Piece& operator=(Piece&& other) noexcept;
        ~Piece();
        explicit operator bool() const { return root_ != 0; }

    private:
        friend class TopicSequence;
        Piece(TopicSequence* sequence, NodeId root) : sequence_(sequence), root_(root) {}
        TopicSequence* sequence_ = nullptr;
        NodeId root_ = 0;
    };

    // The smallest folded count in a run and how many Topics of the run have it.
    struct RunFolds {
        int least = 0;
        size_t count = 0;
    };

    TopicSequence();
    ~TopicSequence();
    TopicSequence(const TopicSequence&) = delete;
    TopicSequence& operator=(const TopicSequence&) = delete;

    size_t size() const;
    // Topics with no folded ancestor.
    size_t shownCount() const;

    // Whether t has a node in the sequence (or in a piece taken out of it).
    bool holds(const Topic* t) const;
    // t's position and folded count; t must be held.
    size_t position(const Topic* t) const;
    int foldedAbove(const Topic* t) const;
    // The Topic with no folded ancestor that comes after `row` others; row < shownCount().
    Topic* shownAt(size_t row) const;
    // Topics with no folded ancestor among the first `position`.
    size_t shownBefore(size_t position) const;

    // Room for `count` more nodes, taken from the system now: made afterwards, they need no
    // allocation (and cannot fail).
    void reserve(size_t count);
    // Everything anew from the Document, in one pass. An empty sequence builds in the room
    // reserved for it: with enough of it, the build cannot fail.
    void rebuild(const Document& doc);
    // Every folded count worked out again in place, in one pass over the nodes (the Topics keep
    // their nodes): from the expanded flags alone, or with `shown` (indexed by node number,
    // Topic::rowKey) a Topic not marked there counts one folded ancestor more, and so does its
    // subtree. The marked Topics must include the ancestors of every marked one.
    void refold(const std::vector<bool>* shown) noexcept;
    // The folded counts from what the filter `before` hid to what `after` hides (as refold's
    // `shown`; nullptr: no filter), in one pass over the nodes alone: right only while no node
    // was made or moved since `before` was applied. A node past the end of either counts as
    // shown there.
    void refilter(const std::vector<bool>* before, const std::vector<bool>* after) noexcept;
    // Every node number in use is below this.
    size_t nodeLimit() const { return used_; }
    // Empty, allocating nothing.
    void clear();
    // Trades every node with other (no piece of either may be out).
    void swap(TopicSequence& other) noexcept {
        chunks_.swap(other.chunks_);
        blocks_.swap(other.blocks_);
        std::swap(root_, other.root_);
        std::swap(used_, other.used_);
        std::swap(free_, other.free_);
        std::swap(freeCount_, other.freeCount_);
    }

    // Nodes for top and its subtree, top with `foldedAbove` folded ancestors; from reserved
    // room (reserve the subtree's size first).
    Piece make(const Topic& top, int foldedAbove);
    // Takes out the run of `count` Topics from `position` on.
    Piece take(size_t position, size_t count);
    // Puts a piece in before `position`, adding foldedDelta to the folded counts in it.
    void put(size_t position, Piece piece, int foldedDelta);
    // Adds delta to the folded counts of a run.
    void shift(size_t position, size_t count, int delta);
    RunFolds folds(size_t position, size_t count);
    // Topics of a piece with no folded ancestor (before it is put in).
    size_t shownIn(const Piece& piece) const { return shownIn(piece.root_, 0); }
    // t's expanded flag changed to `expanded`.
    void setExpanded(const Topic* t, bool expanded);
    // The Topics of a run whose expanded flag is off, in tree order.
    std::vector<Topic*> foldedIn(size_t position, size_t count);

private:
    struct Node;
    static constexpr size_t kBlockBits = 12;
    static constexpr size_t kBlockSize = size_t{1} << kBlockBits;

    Node& node(NodeId i);
    const Node& node(NodeId i) const;
    NodeId allocate();
    void release(NodeId root);
    void setLeft(NodeId x, NodeId child);
    void setRight(NodeId x, NodeId child);
    void apply(NodeId x, int delta);
    void push(NodeId x);
    void pull(NodeId x);
    void split(NodeId t, size_t count, NodeId& first, NodeId& rest);
    NodeId merge(NodeId a, NodeId b);
    // Cuts the whole sequence into [0, position), [position, position + count) and the rest.
    void cut(size_t position, size_t count, NodeId& before, NodeId& run, NodeId& after);
    void join(NodeId before, NodeId run, NodeId after);
    size_t shownIn(NodeId x, int offset) const;
    void refoldFrom(NodeId x, const std::vector<bool>* shown) noexcept;
    void refilterFrom(NodeId x, const std::vector<bool>* before,
                      const std::vector<bool>* after) noexcept;

    // Builds a treap of nodes appended in order, with the right spine as its stack.
    class Builder;

    // Runs of blocks taken at once, of untouched zero pages: a node is written when first
    // taken, so an empty or small document costs only the pages of the nodes it uses, and a
    // big one its pages as it fills them (huge pages where the system has them). The first
    // chunk is one block, made with the sequence.
    struct Chunk {
        ZeroedArray<Node> nodes;
        size_t blocks = 0;
    };
    void addChunk(size_t blocks);

    std::vector<Chunk> chunks_;
    std::vector<Node*> blocks_;  // of kBlockSize nodes each, in the chunks
    NodeId root_ = 0;
    NodeId used_ = 1;  // node 0 stands for "none"
    NodeId free_ = 0;
    size_t freeCount_ = 0;
};

}  // namespace brenvale

#include "editor/topic_sequence.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <new>
#include <utility>

#include "document/document.h"
#include "editor/topic_sequence_node.h"

namespace brenvale {

// ---- Pieces

TopicSequence::Piece::Piece(Piece&& other) noexcept
    : sequence_(other.sequence_), root_(std::exchange(other.root_, 0)) {}

TopicSequence::Piece& TopicSequence::Piece::operator=(Piece&& other) noexcept {
    if (this != &other) {
        if (sequence_ && root_) {
            sequence_->release(root_);
        }
        sequence_ = other.sequence_;
        root_ = std::exchange(other.root_, 0);
    }
    return *this;
}

TopicSequence::Piece::~Piece() {
    if (sequence_ && root_) {
        sequence_->release(root_);
    }
}

TopicSequence::TopicSequence() {
    addChunk(1);
    node(0) = Node{};
}

void TopicSequence::addChunk(size_t blocks) {
    blocks_.reserve(blocks_.size() + blocks);
    chunks_.push_back({ZeroedArray<Node>(blocks * kBlockSize), blocks});
    Node* first = chunks_.back().nodes.get();
    for (size_t i = 0; i < blocks; ++i) {
        blocks_.push_back(first + i * kBlockSize);
    }
}

TopicSequence::~TopicSequence() = default;

void TopicSequence::clear() {
    // Back to the first block, wiped: no node left behind still names a Topic. Nothing is
    // allocated, so a failed build can always fall back to an empty sequence. The nodes from
    // used_ on never held one (a rebuild wipes those it stops using).
    chunks_.resize(1);
    blocks_.resize(1);
    std::fill(blocks_[0], blocks_[0] + std::min<size_t>(used_, kBlockSize), Node{});
    root_ = 0;
    used_ = 1;
    free_ = 0;
    freeCount_ = 0;
}

void TopicSequence::reserve(size_t count) {
    size_t fresh = count > freeCount_ ? count - freeCount_ : 0;
    if (fresh > UINT32_MAX - used_) {
        throw std::bad_alloc();
    }
    size_t needed = used_ + fresh;
    if (blocks_.size() * kBlockSize < needed) {
        addChunk((needed + kBlockSize - 1) / kBlockSize - blocks_.size());
    }
}

// ---- Nodes

TopicSequence::Node& TopicSequence::node(NodeId i) {
    return blocks_[i >> kBlockBits][i & (kBlockSize - 1)];
}

const TopicSequence::Node& TopicSequence::node(NodeId i) const {
    return blocks_[i >> kBlockBits][i & (kBlockSize - 1)];
}

TopicSequence::NodeId TopicSequence::allocate() {
    static_assert(sizeof(Node) == 44, "a node per Topic: no padding");
    NodeId i = free_;
    if (i) {
        free_ = node(i).left;
        --freeCount_;
    } else {
        assert(used_ < blocks_.size() * kBlockSize && "reserve() first");
        i = used_++;
    }
    node(i) = Node{};
    return i;
}

void TopicSequence::release(NodeId x) {
    while (x) {
        Node& n = node(x);
        release(n.left);
        NodeId right = n.right;
        n = Node{};
        n.left = free_;
        free_ = x;
        ++freeCount_;
        x = right;
    }
}

void TopicSequence::setLeft(NodeId x, NodeId child) {
    node(x).left = child;
    if (child) {
        node(child).parent = x;
    }
}

void TopicSequence::setRight(NodeId x, NodeId child) {
    node(x).right = child;
    if (child) {
        node(child).parent = x;
    }
}

void TopicSequence::apply(NodeId x, int delta) {
    if (x && delta) {
        Node& n = node(x);
        n.above += delta;
        n.least += delta;
        n.owed += delta;
    }
}

void TopicSequence::push(NodeId x) {
    Node& n = node(x);
    if (n.owed) {
        apply(n.left, n.owed);
        apply(n.right, n.owed);
        n.owed = 0;
    }
}

void TopicSequence::pull(NodeId x) {
    Node& n = node(x);
    const Node& l = node(n.left);
    const Node& r = node(n.right);
    n.size = 1 + l.size + r.size;
    n.foldedCount = (n.folded ? 1 : 0) + l.foldedCount + r.foldedCount;
    int least = n.above;
    uint32_t count = 1;
    for (const Node* c : {&l, &r}) {
        if (c->leastCount == 0) {
            continue;
        }
        int value = c->least + n.owed;
        if (value < least) {
            least = value;
            count = c->leastCount;
        } else if (value == least) {
            count += c->leastCount;
        }
    }
    n.least = least;
    n.leastCount = count;
}

void TopicSequence::split(NodeId t, size_t count, NodeId& first, NodeId& rest) {
    if (!t) {
        first = rest = 0;
        return;
    }
    push(t);
    size_t leftSize = node(node(t).left).size;
    NodeId a = 0;
    NodeId b = 0;
    if (count <= leftSize) {
        split(node(t).left, count, a, b);
        setLeft(t, b);
        first = a;
        rest = t;
    } else {
        split(node(t).right, count - leftSize - 1, a, b);
        setRight(t, a);
        first = t;
        rest = b;
    }
    pull(t);
}

TopicSequence::NodeId TopicSequence::merge(NodeId a, NodeId b) {
    if (!a) {
        return b;
    }
    if (!b) {
        return a;
    }
    if (NodePriority(a) > NodePriority(b)) {
        push(a);
        setRight(a, merge(node(a).right, b));
        pull(a);
        return a;
    }
    push(b);
    setLeft(b, merge(a, node(b).left));
    pull(b);
    return b;
}

void TopicSequence::cut(size_t position, size_t count, NodeId& before, NodeId& run, NodeId& after) {
    NodeId rest = 0;
    split(root_, position, before, rest);
    split(rest, count, run, after);
    for (NodeId x : {before, run, after}) {
        if (x) {
            node(x).parent = 0;
        }
    }
    root_ = 0;
}

void TopicSequence::join(NodeId before, NodeId run, NodeId after) {
    root_ = merge(merge(before, run), after);
    if (root_) {
        node(root_).parent = 0;
    }
}

// ---- Questions

size_t TopicSequence::size() const {
    return node(root_).size;
}

size_t TopicSequence::shownIn(NodeId x, int offset) const {
    const Node& n = node(x);
    return n.leastCount && n.least + offset == 0 ? n.leastCount : 0;
}

size_t TopicSequence::shownCount() const {
    return shownIn(root_, 0);
}

bool TopicSequence::holds(const Topic* t) const {
    NodeId i = t ? t->rowKey : 0;
    return i != 0 && i < used_ && node(i).topic == t;
}

size_t TopicSequence::position(const Topic* t) const {
    NodeId x = t->rowKey;
    size_t rank = node(node(x).left).size;
    for (NodeId p = node(x).parent; p; x = p, p = node(p).parent) {
        if (node(p).right == x) {
            rank += node(node(p).left).size + 1;
        }
    }
    return rank;
}

int TopicSequence::foldedAbove(const Topic* t) const {
    NodeId x = t->rowKey;
    int value = node(x).above;
    for (NodeId p = node(x).parent; p; p = node(p).parent) {
        value += node(p).owed;
    }
    return value;
}

Topic* TopicSequence::shownAt(size_t row) const {
    NodeId t = root_;
    int offset = 0;
    while (t) {
        const Node& n = node(t);
        int below = offset + n.owed;
        size_t left = shownIn(n.left, below);
        if (row < left) {
            t = n.left;
            offset = below;
            continue;
        }
        row -= left;
        if (n.above + offset == 0) {
            if (row == 0) {
                return n.topic;
            }
            --row;
        }
        t = n.right;
        offset = below;
    }
    return nullptr;
}

size_t TopicSequence::shownBefore(size_t position) const {
    size_t count = 0;
    NodeId t = root_;
    int offset = 0;
    while (t && position > 0) {
        const Node& n = node(t);
        int below = offset + n.owed;
        size_t leftSize = node(n.left).size;
        if (position <= leftSize) {
            if (position == leftSize) {
                count += shownIn(n.left, below);
                break;
            }
            t = n.left;
            offset = below;
            continue;
        }
        count += shownIn(n.left, below) + (n.above + offset == 0 ? 1 : 0);
        position -= leftSize + 1;
        t = n.right;
        offset = below;
    }
    return count;
}

// ---- Changes

TopicSequence::Piece TopicSequence::take(size_t position, size_t count) {
    NodeId before = 0;
    NodeId run = 0;
    NodeId after = 0;
    cut(position, count, before, run, after);
    join(before, 0, after);
    return Piece(this, run);
}

void TopicSequence::put(size_t position, Piece piece, int foldedDelta) {
    NodeId run = std::exchange(piece.root_, 0);
    apply(run, foldedDelta);
    NodeId before = 0;
    NodeId none = 0;
    NodeId after = 0;
    cut(position, 0, before, none, after);
    join(before, run, after);
}

void TopicSequence::shift(size_t position, size_t count, int delta) {
    NodeId before = 0;
    NodeId run = 0;
    NodeId after = 0;
    cut(position, count, before, run, after);
    apply(run, delta);
    join(before, run, after);
}

TopicSequence::RunFolds TopicSequence::folds(size_t position, size_t count) {
    NodeId before = 0;
    NodeId run = 0;
    NodeId after = 0;
    cut(position, count, before, run, after);
    RunFolds folds{node(run).least, node(run).leastCount};
    join(before, run, after);
    return folds;
}

void TopicSequence::setExpanded(const Topic* t, bool expanded) {
    NodeId x = t->rowKey;
    node(x).folded = !expanded;
    for (; x; x = node(x).parent) {
        Node& n = node(x);
        n.foldedCount = (n.folded ? 1 : 0) + node(n.left).foldedCount + node(n.right).foldedCount;
    }
}

std::vector<Topic*> TopicSequence::foldedIn(size_t position, size_t count) {
    NodeId before = 0;
    NodeId run = 0;
    NodeId after = 0;
    cut(position, count, before, run, after);
    size_t folded = node(run).foldedCount;
    join(before, run, after);
    std::vector<Topic*> out;
    out.reserve(folded);
    cut(position, count, before, run, after);
    struct Walk {
        const TopicSequence& s;
        std::vector<Topic*>& out;
        void operator()(NodeId x) const {
            while (x && s.node(x).foldedCount > 0) {
                const Node& n = s.node(x);
                (*this)(n.left);
                if (n.folded) {
                    out.push_back(n.topic);
                }
                x = n.right;
            }
        }
    };
    Walk{*this, out}(run);
    join(before, run, after);
    return out;
}

}  // namespace brenvale

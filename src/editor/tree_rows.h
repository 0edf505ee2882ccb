#pragma once

#include <cstddef>
#include <vector>

#include "editor/topic_sequence.h"

namespace brenvale {

class DocumentSession;
class Topic;

// What a change of the Document does to the tree's rows, in rows counted before the change.
struct TreeRowChange {
    enum class Kind {
        None,
        Insert,  // rows [first, first + count) come in
        Remove,  // rows [first, first + count) go
        Move,    // rows [first, first + count) go before row `destination`
        Update,  // rows [first, first + count) stay but look different (their level)
    };
    Kind kind = Kind::None;
    size_t first = 0;
    size_t count = 0;
    // The row the moved rows go before, counted before the move (as item models count it);
    // never inside or just after the moved rows.
    size_t destination = 0;
};

// The rows of the tree: the Topics whose ancestors are all expanded, in tree order, as one
// flat list that a view shows without walking the tree. DocumentChanges keeps them with every
// change of the Document, working out each change of the rows before the Document changes so
// that the views hear of it first; a bulk build of the tree builds them anew at its end. A
// row's Topic and a Topic's row are found in O(log n); inserting, removing or moving a subtree
// of k Topics costs O(log n) plus O(k) for the nodes made or freed, and expanding or folding a
// Topic O(log n), however many rows come or go.
class TreeRows {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    explicit TreeRows(const DocumentSession& session) : session_(session) {}
    TreeRows(const TreeRows&) = delete;
    TreeRows& operator=(const TreeRows&) = delete;

    // Whether the rows follow the Document: not during a bulk build of the tree (they are
    // built anew at its end), nor after a build that found no memory for them (the tree
    // shows no rows until the next one).
    bool current() const { return current_; }

    size_t rowCount() const;
    // nullptr past the last row.
    Topic* topicAt(size_t row) const;
    // npos for a Topic that is not shown (under a folded Topic) or not in the tree.
    size_t rowOf(const Topic* t) const;
    // t's position in tree order among all Topics (as Document::treeOrderIndex).
    size_t treeOrderIndex(const Topic* t) const;

    // A bulk build of the tree begins: the rows wait for its end.
    void suspend() { current_ = false; }
    // Takes the room for the rows of a document about to take the place of the open one, so
    // that one too big for them is refused (std::bad_alloc) while the open one is still whole;
    // the rebuild at the end of the bulk build that brings it in then builds them there.
    void prepare(const Document& doc);
    // Gives back the room prepare() took, for a document that does not come in after all.
    void dropPrepared();
    // Every row anew (and no filter).
    void rebuild() noexcept;

    // The tag filter: only the given Topics and their ancestors show, and of them only those
    // that folding does not hide. A Topic is hidden as if by one more folded ancestor, so every
    // change keeps working as without a filter: a Topic put in later shows where its parent
    // shows, and unfolding shows only what the filter lets through. showAll ends it. Each
    // works the rows out again in place, in one pass over them (a Topic keeps its node), which
    // looks at the Topics only when one was put in or moved under the filter; the views are
    // told of a reset.
    void showOnly(const std::vector<Topic*>& topics) noexcept;
    void showAll() noexcept;
    bool filtered() const { return filtered_; }

    // A change of the Document as the rows see it: planned before the Document changes (the
    // plan may throw, changing nothing), applied right after.
    class Plan {
    public:
        const TreeRowChange& change() const { return change_; }

    private:
        friend class TreeRows;
        enum class Op { None, Put, Take, Move, Fold };
        Op op_ = Op::None;
        TreeRowChange change_;
        size_t position_ = 0;
        size_t count_ = 0;
        size_t target_ = 0;
        int delta_ = 0;
        const Topic* topic_ = nullptr;
        bool expanded_ = false;
        TopicSequence::Piece piece_;
    };
    // top, with its subtree and out of the tree, becomes child row of parent (nullptr: the top
    // level).
    Plan planInsert(Topic* parent, size_t row, const Topic& top);
    // top, with its subtree, was put into the tree by a paste that tells of it afterwards; the
    // Topics before it in tree order have their rows. Room for its nodes was reserved.
    Plan planAdded(const Topic& top);
    Plan planRemove(const Topic& t);
    // t moves with its subtree to child row of parent, as Document::move.
    Plan planMove(const Topic& t, Topic* parent, size_t row);
    // t's expanded flag becomes `expanded`.
    Plan planExpansion(const Topic& t, bool expanded);
    void apply(Plan& plan);

    // Room for the rows of `count` more Topics, taken now so that making them cannot fail.
    void reserve(size_t count);
    // The Topics whose expanded flag is off, in tree order: in top's subtree, or (nullptr)
    // everywhere.
    std::vector<Topic*> foldedTopics(const Topic* top);

private:
    // Where a subtree put after `previous` (or as the first child of parent) begins.
    size_t insertionPoint(const Topic* parent, const Topic* previous) const;
    // The folded ancestors a child of parent has.
    int foldedBelow(const Topic* parent) const;
    size_t shownIn(size_t position, size_t count) const;
    Plan planPut(const Topic* parent, const Topic* previous, const Topic& top);

    void rebuildWith() noexcept;
    void endFilter() noexcept;

    const DocumentSession& session_;
    TopicSequence sequence_;
    bool current_ = true;
    bool filtered_ = false;
    // What the filter shows, by node number; and whether a Topic was put in or moved since it
    // was applied (the Topics it hides are then no longer all those not marked).
    std::vector<bool> shown_;
    bool reshaped_ = false;
    // The room prepare() took, and the document it is for.
    TopicSequence prepared_;
    const Document* preparedFor_ = nullptr;
};

}  // namespace brenvale

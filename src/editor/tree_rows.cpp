#include "editor/tree_rows.h"

#include <new>
#include <utility>

#include "document/document.h"
#include "editor/document_session.h"

namespace brenvale {

size_t TreeRows::rowCount() const {
    return current_ ? sequence_.shownCount() : 0;
}

Topic* TreeRows::topicAt(size_t row) const {
    return row < rowCount() ? sequence_.shownAt(row) : nullptr;
}

size_t TreeRows::rowOf(const Topic* t) const {
    if (!current_ || !sequence_.holds(t) || sequence_.foldedAbove(t) != 0) {
        return npos;
    }
    return sequence_.shownBefore(sequence_.position(t));
}

size_t TreeRows::treeOrderIndex(const Topic* t) const {
    const Document& doc = session_.document();
    if (!current_ || !sequence_.holds(t)) {
        return doc.treeOrderIndex(t);
    }
    return sequence_.position(t);
}

void TreeRows::prepare(const Document& doc) {
    preparedFor_ = nullptr;
    prepared_.clear();
    try {
        prepared_.reserve(doc.topicCount());
    } catch (const std::bad_alloc&) {
        prepared_.clear();
        throw;
    }
    preparedFor_ = &doc;
}

void TreeRows::dropPrepared() {
    preparedFor_ = nullptr;
    prepared_.clear();
}

void TreeRows::rebuild() noexcept {
    if (preparedFor_ == &session_.document()) {
        // The old rows go first; the new ones are built in the room taken for them.
        sequence_.swap(prepared_);
    }
    preparedFor_ = nullptr;
    prepared_.clear();
    rebuildWith();
}

void TreeRows::showOnly(const std::vector<Topic*>& topics) noexcept {
    if (!current_) {
        return;
    }
    std::vector<bool> shown;
    try {
        shown.resize(sequence_.nodeLimit());
    } catch (const std::bad_alloc&) {
        return;  // the rows stay as they are
    }
    for (const Topic* t : topics) {
        for (const Topic* a = t; a && !shown[a->rowKey]; a = a->parent()) {
            shown[a->rowKey] = true;
        }
    }
    if (!filtered_ || !reshaped_) {
        sequence_.refilter(filtered_ ? &shown_ : nullptr, &shown);
    } else {
        sequence_.refold(&shown);
    }
    shown_.swap(shown);
    filtered_ = true;
    reshaped_ = false;
}

void TreeRows::showAll() noexcept {
    if (!current_) {
        rebuild();
        return;
    }
    if (filtered_) {
        if (reshaped_) {
            sequence_.refold(nullptr);
        } else {
            sequence_.refilter(&shown_, nullptr);
        }
    }
    endFilter();
}

void TreeRows::endFilter() noexcept {
    filtered_ = false;
    reshaped_ = false;
    std::vector<bool>().swap(shown_);
}

void TreeRows::rebuildWith() noexcept {
    endFilter();
    try {
        sequence_.rebuild(session_.document());
        current_ = true;
    } catch (const std::bad_alloc&) {
        // Called where a bulk build ends, which cannot fail any more: the tree shows no rows
        // rather than rows that disagree with the Document, and the next build tries again.
        sequence_.clear();
        current_ = false;
    }
}

void TreeRows::reserve(size_t count) {
    if (current_) {
        sequence_.reserve(count);
    }
}

size_t TreeRows::shownIn(size_t position, size_t count) const {
    return sequence_.shownBefore(position + count) - sequence_.shownBefore(position);
}

size_t TreeRows::insertionPoint(const Topic* parent, const Topic* previous) const {
    if (previous) {
        return sequence_.position(previous) + SubtreeSize(*previous);
    }
    return parent ? sequence_.position(parent) + 1 : 0;
}

int TreeRows::foldedBelow(const Topic* parent) const {
    return parent ? sequence_.foldedAbove(parent) + (parent->expanded ? 0 : 1) : 0;
}

TreeRows::Plan TreeRows::planPut(const Topic* parent, const Topic* previous, const Topic& top) {
    Plan plan;
    if (!current_) {
        return plan;
    }
    sequence_.reserve(SubtreeSize(top));
    int above = foldedBelow(parent);
    plan.op_ = Plan::Op::Put;
    plan.position_ = insertionPoint(parent, previous);
    plan.piece_ = sequence_.make(top, above);
    size_t shown = above == 0 ? sequence_.shownIn(plan.piece_) : 0;
    if (shown > 0) {
        plan.change_ = {TreeRowChange::Kind::Insert, sequence_.shownBefore(plan.position_), shown};
    }
    return plan;
}

TreeRows::Plan TreeRows::planInsert(Topic* parent, size_t row, const Topic& top) {
    const Document& doc = session_.document();
    return planPut(parent, row > 0 ? doc.sibling(parent, row - 1) : nullptr, top);
}

TreeRows::Plan TreeRows::planAdded(const Topic& top) {
    return planPut(top.parent(), top.previousSibling(), top);
}

TreeRows::Plan TreeRows::planRemove(const Topic& t) {
    Plan plan;
    if (!current_) {
        return plan;
    }
    plan.op_ = Plan::Op::Take;
    plan.position_ = sequence_.position(&t);
    plan.count_ = SubtreeSize(t);
    size_t shown = shownIn(plan.position_, plan.count_);
    if (shown > 0) {
        plan.change_ = {TreeRowChange::Kind::Remove, sequence_.shownBefore(plan.position_), shown};
    }
    return plan;
}

TreeRows::Plan TreeRows::planMove(const Topic& t, Topic* parent, size_t row) {
    Plan plan;
    if (!current_) {
        return plan;
    }
    const Document& doc = session_.document();
    size_t from = sequence_.position(&t);
    size_t count = SubtreeSize(t);
    // The Topic that will come before t among parent's children, t itself left out.
    const Topic* previous = nullptr;
    if (row > 0) {
        size_t index = t.parent() == parent && t.row() <= row - 1 ? row : row - 1;
        previous = doc.sibling(parent, index);
    }
    size_t to = insertionPoint(parent, previous);  // outside t's subtree, counted before
    int oldAbove = sequence_.foldedAbove(&t);
    int newAbove = foldedBelow(parent);
    plan.op_ = Plan::Op::Move;
    plan.position_ = from;
    plan.count_ = count;
    plan.target_ = to <= from ? to : to - count;
    plan.delta_ = newAbove - oldAbove;

    // Whether t is shown decides for its whole subtree: its rows move, go, come or stay away.
    size_t shown = sequence_.folds(from, count).count;
    size_t first = sequence_.shownBefore(from);
    size_t destination = sequence_.shownBefore(to);
    using Kind = TreeRowChange::Kind;
    if (oldAbove == 0 && newAbove == 0) {
        bool stays = destination == first || destination == first + shown;
        plan.change_ = {stays ? Kind::Update : Kind::Move, first, shown, destination};
    } else if (oldAbove == 0) {
        plan.change_ = {Kind::Remove, first, shown};
    } else if (newAbove == 0) {
        plan.change_ = {Kind::Insert, destination, shown};
    }
    return plan;
}

TreeRows::Plan TreeRows::planExpansion(const Topic& t, bool expanded) {
    Plan plan;
    if (!current_) {
        return plan;
    }
    plan.op_ = Plan::Op::Fold;
    plan.topic_ = &t;
    plan.expanded_ = expanded;
    size_t at = sequence_.position(&t);
    plan.position_ = at + 1;
    plan.count_ = SubtreeSize(t) - 1;
    plan.delta_ = expanded ? -1 : 1;
    if (plan.count_ == 0 || sequence_.foldedAbove(&t) != 0) {
        return plan;
    }
    // t is shown: its children and the rows below them that have no other folded ancestor
    // come or go, right after t.
    size_t row = sequence_.shownBefore(at) + 1;
    if (expanded) {
        TopicSequence::RunFolds folds = sequence_.folds(plan.position_, plan.count_);
        size_t shown = folds.least == 1 ? folds.count : 0;
        plan.change_ = {TreeRowChange::Kind::Insert, row, shown};
    } else {
        plan.change_ = {TreeRowChange::Kind::Remove, row, shownIn(plan.position_, plan.count_)};
    }
    if (plan.change_.count == 0) {
        plan.change_ = {};
    }
    return plan;
}

void TreeRows::apply(Plan& plan) {
    switch (std::exchange(plan.op_, Plan::Op::None)) {
        case Plan::Op::None:
            break;
        case Plan::Op::Put:
            sequence_.put(plan.position_, std::move(plan.piece_), 0);
            reshaped_ = filtered_;
            break;
        case Plan::Op::Take:
            sequence_.take(plan.position_, plan.count_);
            break;
        case Plan::Op::Move:
            sequence_.put(plan.target_, sequence_.take(plan.position_, plan.count_), plan.delta_);
            reshaped_ = filtered_;
            break;
        case Plan::Op::Fold:
            if (plan.count_ > 0) {
                sequence_.shift(plan.position_, plan.count_, plan.delta_);
            }
            sequence_.setExpanded(plan.topic_, plan.expanded_);
            break;
    }
}

std::vector<Topic*> TreeRows::foldedTopics(const Topic* top) {
    if (!current_) {
        std::vector<Topic*> out;
        auto note = [&](Topic& t, int) {
            if (!t.expanded) {
                out.push_back(&t);
            }
        };
        top ? ForEachInSubtree(*top, note) : ForEachTopic(session_.document(), note);
        return out;
    }
    if (!top) {
        return sequence_.foldedIn(0, sequence_.size());
    }
    return sequence_.foldedIn(sequence_.position(top), SubtreeSize(*top));
}

}  // namespace brenvale

#include "document/document.h"

#include <cassert>

namespace brenvale {

Document::Document() = default;

Topic* Document::lastTopLevel() const {
    return root_.hasChildren() ? root_.child(root_.childCount() - 1) : nullptr;
}

void Document::renumber(Topic& parent, size_t from) {
    for (size_t i = from; i < parent.children_.size(); ++i) {
        parent.children_[i]->row_ = i;
    }
}

Topic& Document::insert(Topic* parent, size_t row, std::unique_ptr<Topic> t) {
    Topic& owner = container(parent);
    assert(row <= owner.children_.size());
    Topic* raw = t.get();
    raw->parent_ = &owner;
    count_ += SubtreeSize(*raw);
    owner.children_.insert(owner.children_.begin() + static_cast<std::ptrdiff_t>(row),
                           std::move(t));
    if (row + 1 == owner.children_.size()) {
        raw->row_ = row;
    } else {
        renumber(owner, row);
    }
    return *raw;
}

Topic& Document::append(Topic* parent, std::unique_ptr<Topic> t) {
    return insert(parent, container(parent).childCount(), std::move(t));
}

std::unique_ptr<Topic> Document::remove(Topic* t) {
    Topic& owner = *t->parent_;
    size_t row = t->row_;
    std::unique_ptr<Topic> taken = std::move(owner.children_[row]);
    owner.children_.erase(owner.children_.begin() + static_cast<std::ptrdiff_t>(row));
    renumber(owner, row);
    taken->parent_ = nullptr;
    taken->row_ = 0;
    count_ -= SubtreeSize(*taken);
    return taken;
}

void Document::move(Topic* t, Topic* newParent, size_t row) {
    assert(t != newParent && !t->isAncestorOf(newParent));
    std::unique_ptr<Topic> taken = remove(t);
    insert(newParent, row, std::move(taken));
}

void Document::clear() {
    root_.children_.clear();
    count_ = 0;
}

size_t Document::treeOrderIndex(const Topic* target) const {
    size_t index = 0;
    for (Topic* t = first(); t; t = NextInTreeOrder(t), ++index) {
        if (t == target) {
            return index;
        }
    }
    return index;
}

size_t SubtreeSize(const Topic& top) {
    size_t n = 0;
    ForEachInSubtree(top, [&](const Topic&, int) { ++n; });
    return n;
}

}  // namespace brenvale

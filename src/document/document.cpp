#include "document/document.h"

#include <cassert>
#include <vector>

#include "document/storage.h"

namespace brenvale {

DetachedTopic::DetachedTopic(std::shared_ptr<DocumentStorage> storage, Topic* topic)
    : storage_(std::move(storage)), topic_(topic) {}

DetachedTopic::DetachedTopic(DetachedTopic&& other) noexcept
    : storage_(std::move(other.storage_)), topic_(std::exchange(other.topic_, nullptr)) {}

DetachedTopic& DetachedTopic::operator=(DetachedTopic&& other) noexcept {
    if (this != &other) {
        reset();
        storage_ = std::move(other.storage_);
        topic_ = std::exchange(other.topic_, nullptr);
    }
    return *this;
}

DetachedTopic::~DetachedTopic() {
    reset();
}

void DetachedTopic::reset() {
    if (topic_) {
        DestroySubtree(*storage_, topic_);
        topic_ = nullptr;
    }
    storage_.reset();
}

void DestroySubtree(DocumentStorage& storage, Topic* top) {
    // Children before their parent, walking the parent links: deep trees (a file can nest
    // thousands of levels) need neither recursion nor a stack.
    auto deepestFirst = [](Topic* t) {
        while (t->hasChildren()) {
            t = t->child(0);
        }
        return t;
    };
    Topic* t = deepestFirst(top);
    for (;;) {
        Topic* next = nullptr;
        if (t != top) {
            Topic* sibling = t->nextSibling();
            next = sibling ? deepestFirst(sibling) : t->holder();
        }
        storage.topics.destroy(t);
        if (!next) {
            return;
        }
        t = next;
    }
}

Document::Document() : storage_(std::make_shared<DocumentStorage>()) {
    root_ = storage_->topics.make(storage_->texts);
}

Document::~Document() {
    // With nothing else holding the storage, every Topic made is in this tree (or was never
    // linked in), and they go in one pass over the pool.
    if (storage_.use_count() > 1 || !storage_->topics.destroyAllIfNoneDestroyed()) {
        DestroySubtree(*storage_, root_);
    }
}

Topic* Document::lastTopLevel() const {
    return root_->hasChildren() ? root_->child(root_->childCount() - 1) : nullptr;
}

void Document::renumber(Topic& parent, size_t from) {
    for (size_t i = from; i < parent.children_.size(); ++i) {
        parent.children_[i]->row_ = static_cast<uint32_t>(i);
    }
}

DetachedTopic Document::create() {
    return DetachedTopic(storage_, storage_->topics.make(storage_->texts));
}

void Document::link(Topic& owner, size_t row, Topic* t) {
    assert(row <= owner.children_.size());
    t->parent_ = &owner;
    owner.children_.insert(row, t);
    if (row + 1 == owner.children_.size()) {
        t->row_ = static_cast<uint32_t>(row);
    } else {
        renumber(owner, row);
    }
    MarkSizeStale(&owner);
}

void Document::unlink(Topic* t) {
    Topic& owner = *t->parent_;
    size_t row = t->row_;
    owner.children_.erase(row);
    renumber(owner, row);
    t->parent_ = nullptr;
    t->row_ = 0;
    MarkSizeStale(&owner);
}

Topic& Document::insert(Topic* parent, size_t row, DetachedTopic t) {
    assert(t.storage_ == storage_);
    Topic* raw = std::exchange(t.topic_, nullptr);
    link(container(parent), row, raw);
    count_ += SubtreeSize(*raw);
    return *raw;
}

Topic& Document::append(Topic* parent, DetachedTopic t) {
    return insert(parent, container(parent).childCount(), std::move(t));
}

DetachedTopic Document::remove(Topic* t) {
    unlink(t);
    count_ -= SubtreeSize(*t);
    return DetachedTopic(storage_, t);
}

void Document::move(Topic* t, Topic* newParent, size_t row) {
    assert(t != newParent && !t->isAncestorOf(newParent));
    unlink(t);
    link(container(newParent), row, t);
}

void Document::clear() {
    while (root_->hasChildren()) {
        remove(lastTopLevel());
    }
}

size_t Document::treeOrderIndex(const Topic* target) const {
    size_t index = 0;
    const Topic* t = target;
    for (; t && t != root_; t = t->parent_) {
        const Topic* holder = t->parent_;
        if (!holder) {
            return count_;
        }
        for (size_t i = 0; i < t->row_; ++i) {
            index += SubtreeSize(*holder->child(i));
        }
        ++index;
    }
    return t ? index - 1 : count_;
}

void MarkSizeStale(Topic* t) {
    // Every Topic above a stale one is stale already, so this stops early.
    for (; t && !t->sizeStale_; t = t->parent_) {
        t->sizeStale_ = 1;
    }
}

size_t SubtreeSize(const Topic& top) {
    if (!top.sizeStale_) {
        return top.size_;
    }
    // Only stale subtrees are counted again, children first, without recursion.
    std::vector<std::pair<const Topic*, size_t>> pending{{&top, 0}};
    while (!pending.empty()) {
        auto& [t, next] = pending.back();
        if (next < t->childCount()) {
            const Topic* child = t->child(next++);
            if (child->sizeStale_) {
                pending.emplace_back(child, 0);
            }
            continue;
        }
        size_t size = 1;
        for (size_t i = 0; i < t->childCount(); ++i) {
            size += t->child(i)->size_;
        }
        t->size_ = static_cast<uint32_t>(size) & 0x7FFFFFFF;
        t->sizeStale_ = 0;
        pending.pop_back();
    }
    return top.size_;
}

}  // namespace brenvale

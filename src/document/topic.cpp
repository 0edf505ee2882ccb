#include "document/topic.h"

namespace brenvale {

Topic::~Topic() {
    // Deep trees (a file can nest thousands of levels) are torn down without recursion.
    std::vector<std::unique_ptr<Topic>> pending = std::move(children_);
    while (!pending.empty()) {
        std::unique_ptr<Topic> t = std::move(pending.back());
        pending.pop_back();
        for (auto& c : t->children_) {
            pending.push_back(std::move(c));
        }
        t->children_.clear();
    }
}

int Topic::level() const {
    int level = 0;
    for (const Topic* p = parent(); p; p = p->parent()) {
        ++level;
    }
    return level;
}

Topic* Topic::previousSibling() const {
    return parent_ && row_ > 0 ? parent_->children_[row_ - 1].get() : nullptr;
}

Topic* Topic::nextSibling() const {
    return parent_ && row_ + 1 < parent_->children_.size() ? parent_->children_[row_ + 1].get()
                                                           : nullptr;
}

bool Topic::isAncestorOf(const Topic* other) const {
    for (const Topic* p = other ? other->parent() : nullptr; p; p = p->parent()) {
        if (p == this) {
            return true;
        }
    }
    return false;
}

Topic* NextOutsideSubtree(const Topic* t) {
    for (; t; t = t->parent()) {
        if (Topic* next = t->nextSibling()) {
            return next;
        }
    }
    return nullptr;
}

Topic* NextInTreeOrder(const Topic* t) {
    if (t->hasChildren()) {
        return t->child(0);
    }
    return NextOutsideSubtree(t);
}

}  // namespace brenvale

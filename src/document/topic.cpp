#include "document/topic.h"

namespace brenvale {

int Topic::level() const {
    int level = 0;
    for (const Topic* p = parent(); p; p = p->parent()) {
        ++level;
    }
    return level;
}

Topic* Topic::previousSibling() const {
    return parent_ && row_ > 0 ? parent_->children_[row_ - 1] : nullptr;
}

Topic* Topic::nextSibling() const {
    return parent_ && row() + 1 < parent_->children_.size() ? parent_->children_[row() + 1]
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

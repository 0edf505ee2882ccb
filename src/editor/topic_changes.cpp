#include "editor/topic_changes.h"

#include "editor/document_changes.h"

namespace brenvale {

size_t HeldSubtreeBytes(const Topic& top) {
    size_t bytes = 0;
    ForEachInSubtree(top, [&](const Topic& t, int) {
        bytes += sizeof(Topic) + t.childCount() * sizeof(Topic*) + t.items.size() * sizeof(TextRef);
    });
    return bytes;
}

TopicPlacement::TopicPlacement(const Topic& t) : parent_(t.parent()), row_(t.row()) {}

TopicPlacement::TopicPlacement(Topic* parent, size_t row, DetachedTopic held)
    : parent_(parent), row_(row), held_(std::move(held)), heldBytes_(HeldSubtreeBytes(*held_)) {}

void TopicPlacement::toggle(DocumentChanges& changes) {
    if (held_) {
        changes.putTopic(parent_, row_, std::move(held_));
        heldBytes_ = 0;
    } else {
        held_ = changes.takeTopic(parent_, row_);
        heldBytes_ = HeldSubtreeBytes(*held_);
    }
}

size_t TopicPlacement::bytes() const {
    return sizeof(*this) + heldBytes_;
}

void TopicMove::toggle(DocumentChanges& changes) {
    Topic* parent = topic_->parent();
    size_t row = topic_->row();
    // The place it left is counted without it, as Document::move counts.
    changes.moveTopic(topic_, parent_, row_);
    parent_ = parent;
    row_ = row;
}

void TopicCaptionChange::toggle(DocumentChanges& changes) {
    changes.swapCaption(topic_, other_);
}

void TopicIconChange::toggle(DocumentChanges& changes) {
    changes.swapIcon(topic_, other_);
}

void TopicExpansionChange::toggle(DocumentChanges& changes) {
    changes.swapExpanded(topic_, other_);
}

}  // namespace brenvale

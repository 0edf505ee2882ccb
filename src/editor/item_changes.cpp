#include "editor/item_changes.h"

#include <algorithm>

#include "editor/document_changes.h"

namespace brenvale {

void ItemPlacement::toggle(DocumentChanges& changes) {
    if (held_.empty()) {
        held_.reserve(count_);
        for (size_t i = 0; i < count_; ++i) {
            held_.push_back(changes.takeItemRef(topic_, row_));
        }
    } else {
        for (size_t i = 0; i < count_; ++i) {
            changes.putItemRef(topic_, row_ + i, held_[i]);
        }
        held_.clear();
        held_.shrink_to_fit();
    }
}

bool ItemPlacement::take(const ItemPlacement& next) {
    // Only Items still in the list, and only the next rows after them.
    if (next.topic_ != topic_ || !held_.empty() || !next.held_.empty() ||
        next.row_ != row_ + count_) {
        return false;
    }
    count_ += next.count_;
    return true;
}

void ItemMove::toggle(DocumentChanges& changes) {
    changes.moveItem(topic_, to_, from_);
    std::swap(from_, to_);
}

void ItemOrder::toggle(DocumentChanges& changes) {
    // Back the other way: the Item now at row order_[k] goes to row k.
    std::vector<uint32_t> back(order_.size());
    for (size_t k = 0; k < order_.size(); ++k) {
        back[order_[k]] = static_cast<uint32_t>(k);
    }
    changes.reorderItems(topic_, back);
    order_ = std::move(back);
}

void ItemFormChange::toggle(DocumentChanges& changes) {
    // A row changed twice in the step comes back through its forms in the reverse order;
    // reversing the record afterwards makes the next toggle run the other way.
    for (auto it = forms_.rbegin(); it != forms_.rend(); ++it) {
        changes.swapItemRef(topic_, it->first, it->second);
    }
    std::reverse(forms_.begin(), forms_.end());
}

bool ItemFormChange::take(const ItemFormChange& next) {
    if (next.topic_ != topic_) {
        return false;
    }
    forms_.insert(forms_.end(), next.forms_.begin(), next.forms_.end());
    return true;
}

}  // namespace brenvale

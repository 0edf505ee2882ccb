#pragma once

#include <vector>

#include "document/topic.h"

namespace brenvale {

// Collects the Items a reader or a paste appends to one Topic and hands them over in one
// block, so each Topic's list is allocated once at its exact size.
class ItemBatch {
public:
    ItemBatch() = default;
    ItemBatch(const ItemBatch&) = delete;
    ItemBatch& operator=(const ItemBatch&) = delete;
    ~ItemBatch() { flush(); }

    void add(Topic* topic, Item item) {
        if (topic != target_) {
            flush();
            target_ = topic;
        }
        pending_.push_back(std::move(item));
    }

    void flush() {
        if (target_) {
            target_->items.appendAll(pending_);
        }
        pending_.clear();
        target_ = nullptr;
    }

private:
    Topic* target_ = nullptr;
    std::vector<Item> pending_;
};

}  // namespace brenvale

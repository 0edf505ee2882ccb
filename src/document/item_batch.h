#pragma once

#include <exception>

#include <cstring>
#include <vector>

#include "common/arena.h"
#include "document/topic.h"

namespace brenvale {

// Collects the Items a reader or a paste appends to one Topic, as references to bytes the
// Document already keeps, and hands them over in one block: a Topic without Items takes a
// block of the storage's arena as its list, so reading costs no allocation per Topic.
class ItemBatch {
public:
    explicit ItemBatch(Arena& arena) : arena_(arena) {}
    ItemBatch(const ItemBatch&) = delete;
    ItemBatch& operator=(const ItemBatch&) = delete;
    // Hands on what it holds, unless an exception is leaving the scope.
    ~ItemBatch() {
        if (std::uncaught_exceptions() == exceptions_) {
            flush();
        }
    }

    void add(Topic* topic, TextRef ref) {
        if (topic != target_) {
            flush();
            target_ = topic;
        }
        pending_.push_back(ref);
    }

    void flush() {
        if (target_ && !pending_.empty()) {
            ItemList& items = target_->items;
            if (items.empty()) {
                TextRef* block = arena_.allocateArray<TextRef>(pending_.size());
                std::memcpy(block, pending_.data(), pending_.size() * sizeof(TextRef));
                items.useExternal(block, pending_.size());
            } else {
                items.appendRefs(pending_.data(), pending_.size());
            }
        }
        pending_.clear();
        target_ = nullptr;
    }

private:
    int exceptions_ = std::uncaught_exceptions();
    Arena& arena_;
    Topic* target_ = nullptr;
    std::vector<TextRef> pending_;
};

}  // namespace brenvale

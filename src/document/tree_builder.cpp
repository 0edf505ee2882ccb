#include "document/tree_builder.h"

#include <algorithm>
#include <cstring>

#include "document/storage.h"

namespace brenvale {

TreeBuilder::TreeBuilder(Document& doc, Topic* under) : doc_(doc) {
    for (Topic* t = under; t; t = t->parent()) {
        open_.push_back({t, 0, 0, true});
    }
    open_.push_back({doc.root_, 0, 0, true});
    std::reverse(open_.begin(), open_.end());
}

Topic& TreeBuilder::add(Topic* parent, std::string_view keptCaption, int icon) {
    Topic* holder = parent ? parent : doc_.root_;
    while (open_.back().topic != holder) {
        close();
    }
    Open& owner = open_.back();
    DocumentStorage& storage = doc_.storage();
    Topic* t = storage.topics.make(storage.texts);
    t->useKeptCaption(keptCaption);
    t->icon = icon;
    t->expanded = true;
    t->parent_ = holder;
    size_t row = children_.size() - owner.firstChild;
    t->row_ = static_cast<uint32_t>(row + (owner.existing ? holder->childCount() : 0));
    children_.push_back(t);
    open_.push_back({t, children_.size(), 1, false});
    return *t;
}

void TreeBuilder::close() {
    Open done = open_.back();
    open_.pop_back();
    Topic* t = done.topic;
    size_t count = children_.size() - done.firstChild;
    Topic** first = children_.data() + done.firstChild;
    if (done.existing) {
        if (done.added > 0) {
            grafts_.push_back({t, std::vector<Topic*>(first, first + count), done.added});
        }
    } else {
        if (count > 0) {
            Topic** block = doc_.storage().arena.allocateArray<Topic*>(count);
            std::memcpy(block, first, count * sizeof(Topic*));
            t->children_.useExternal(block, count);
        }
        t->size_ = static_cast<uint32_t>(done.added);
    }
    children_.resize(done.firstChild);
    if (!open_.empty()) {
        open_.back().added += done.added;
    }
}

void TreeBuilder::finish() {
    while (!open_.empty()) {
        close();
    }
    // Room first: nothing below can fail once the first graft is made.
    for (Graft& g : grafts_) {
        g.topic->children_.reserve(g.topic->childCount() + g.children.size());
    }
    for (Graft& g : grafts_) {
        g.topic->children_.append(g.children.data(), g.children.size());
        g.topic->size_ += static_cast<uint32_t>(g.added);
        if (g.topic == doc_.root_) {
            doc_.count_ += g.added;
        }
    }
    grafts_.clear();
}

}  // namespace brenvale

#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/gap_vector.h"
#include "document/item.h"

namespace brenvale {

using ItemList = GapVector<Item>;

// One node of the to-do tree: a caption, an icon and its own check list. Topics are owned by
// their parent (the Document owns the top level through a hidden root); structural changes go
// through Document so that counts and positions stay right.
class Topic {
public:
    Topic() = default;
    ~Topic();
    Topic(const Topic&) = delete;
    Topic& operator=(const Topic&) = delete;

    std::string caption;
    // Index of the normal image in the topic image list; 0 is the folder pair (selected image 1).
    int icon = 0;
    bool expanded = false;
    ItemList items;

    int selectedImage() const { return icon == 0 ? 1 : icon; }

    // The parent Topic; nullptr for a top-level Topic.
    Topic* parent() const { return parent_ && parent_->parent_ ? parent_ : nullptr; }
    // The node holding this Topic: its parent, the Document's hidden root for a top-level
    // Topic, nullptr once taken out of a tree.
    Topic* holder() const { return parent_; }
    // Position among its siblings.
    size_t row() const { return row_; }
    const std::vector<std::unique_ptr<Topic>>& children() const { return children_; }
    size_t childCount() const { return children_.size(); }
    Topic* child(size_t i) const { return children_[i].get(); }
    bool hasChildren() const { return !children_.empty(); }
    // 0 for a top-level Topic.
    int level() const;

    Topic* previousSibling() const;
    Topic* nextSibling() const;
    bool isAncestorOf(const Topic* other) const;

private:
    friend class Document;

    Topic* parent_ = nullptr;  // the hidden root for a top-level Topic
    size_t row_ = 0;
    std::vector<std::unique_ptr<Topic>> children_;
};

// The Topic after t in tree order (depth-first pre-order), or nullptr at the end.
Topic* NextInTreeOrder(const Topic* t);
// The Topic after t in tree order that is not inside t's subtree.
Topic* NextOutsideSubtree(const Topic* t);

}  // namespace brenvale

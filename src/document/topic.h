#pragma once

#include <cstdint>
#include <string_view>

#include "common/arena.h"
#include "common/gap_vector.h"
#include "common/packed_pointer.h"
#include "document/caption.h"
#include "document/item_list.h"

namespace brenvale {

// What the editor has counted of a Topic's check list and of its subtree, for the progress
// the tree shows (see editor/progress_counts.h): worked out when first asked for, kept up to
// date by every change since. Counts of another generation than the counter's are unknown.
struct TopicTally {
    uint32_t checked = 0;
    uint32_t total = 0;
    uint32_t subtreeChecked = 0;
    uint32_t subtreeTotal = 0;
    uint32_t generation : 30 = 0;
    uint32_t ownKnown : 1 = 0;
    uint32_t subtreeKnown : 1 = 0;
};

// One node of the to-do tree: a caption, an icon and its own check list. Topics live in their
// Document's storage (see DocumentStorage) and are made and destroyed by it; structural
// changes go through Document so that counts and positions stay right.
class Topic {
public:
    Topic(const Topic&) = delete;
    Topic& operator=(const Topic&) = delete;

    Caption caption;
    // Index of the normal image in the topic image list; 0 is the folder pair (selected image 1).
    int icon = 0;
    ItemList items;
    mutable TopicTally tally;
    // The number under which the editor's list of the tree's rows keeps this Topic (0: none).
    // The Document neither reads nor changes it.
    uint32_t rowKey = 0;

    // Copies text into the Document's storage as the new caption.
    void setCaption(std::string_view text) { caption = Caption(items.store().keep(text)); }

    int selectedImage() const { return icon == 0 ? 1 : icon; }

    // The parent Topic; nullptr for a top-level Topic.
    Topic* parent() const {
        Topic* holder = parent_.get();
        return holder && holder->parent_ ? holder : nullptr;
    }
    // The node holding this Topic: its parent, the Document's hidden root for a top-level
    // Topic, nullptr once taken out of a tree.
    Topic* holder() const { return parent_.get(); }
    // Position among its siblings.
    size_t row() const { return row_; }
    size_t childCount() const { return children_.size(); }
    Topic* child(size_t i) const { return children_[i]; }
    bool hasChildren() const { return !children_.empty(); }
    // 0 for a top-level Topic.
    int level() const;

    Topic* previousSibling() const;
    Topic* nextSibling() const;
    bool isAncestorOf(const Topic* other) const;

private:
    friend class Document;
    friend class ObjectPool<Topic>;
    friend class TreeBuilder;
    friend void MarkSizeStale(Topic* t);
    friend size_t SubtreeSize(const Topic& t);

    explicit Topic(TextStore& store) : items(store) {}
    ~Topic() = default;

    // Bytes the Document's storage already keeps (a block read or pasted) as the caption.
    void useKeptCaption(std::string_view kept) { caption = Caption(kept); }

    PackedPointer<Topic> parent_;  // the hidden root for a top-level Topic
    uint32_t row_ : 31 = 0;

public:
    // The Topic shows its children (in the row's bits, as a Document holds millions).
    bool expanded : 1 = false;

private:
    // Topics in this subtree, this one included; worked out again when asked for after a
    // change below (sizeStale_), so that a change costs nothing until it is needed.
    mutable uint32_t size_ : 31 = 1;
    mutable uint32_t sizeStale_ : 1 = 0;
    GapVector<Topic*> children_;
};

// A Document holds one Topic per line of its file that is not an Item: every member is of
// four-byte alignment, so none is padded.
static_assert(alignof(Topic) == 4 && sizeof(Topic) <= 104);

// The Topic after t in tree order (depth-first pre-order), or nullptr at the end.
Topic* NextInTreeOrder(const Topic* t);
// The Topic after t in tree order that is not inside t's subtree.
Topic* NextOutsideSubtree(const Topic* t);

}  // namespace brenvale

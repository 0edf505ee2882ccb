#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "document/topic.h"

namespace brenvale {

struct DocumentStorage;

// CP932 texts the program writes into a Document.
inline constexpr std::string_view kNewTopicCaption =
    "\x90\x56\x82\xB5\x82\xA2\x83\x63\x83\x8A\x81\x5B";                        // 新しいツリー
inline constexpr std::string_view kTrashCaption = "\x82\xB2\x82\xDD\x94\xA0";  // ごみ箱

// A Topic with its subtree outside the tree: made by Document::create or taken out by
// Document::remove. It keeps its Document's storage alive, so the Topics, their Items and
// their bytes stay exactly as they were until the handle is put back with Document::insert
// (which copies nothing) or destroyed (which destroys the subtree).
class DetachedTopic {
public:
    DetachedTopic() = default;
    DetachedTopic(DetachedTopic&& other) noexcept;
    DetachedTopic& operator=(DetachedTopic&& other) noexcept;
    ~DetachedTopic();

    Topic* get() const { return topic_; }
    Topic* operator->() const { return topic_; }
    Topic& operator*() const { return *topic_; }
    explicit operator bool() const { return topic_ != nullptr; }
    void reset();

private:
    friend class Document;
    DetachedTopic(std::shared_ptr<DocumentStorage> storage, Topic* topic);

    std::shared_ptr<DocumentStorage> storage_;
    Topic* topic_ = nullptr;
};

// The to-do tree: an ordered forest of Topics. Structural changes go through these methods,
// which keep every Topic's parent, position and subtree size right. Not movable: the
// top-level Topics point at the hidden root held inside.
class Document {
public:
    Document();
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    size_t topLevelCount() const { return root_->childCount(); }
    Topic* topLevel(size_t i) const { return root_->child(i); }
    Topic* first() const { return root_->hasChildren() ? root_->child(0) : nullptr; }
    Topic* lastTopLevel() const;
    bool empty() const { return !root_->hasChildren(); }
    size_t topicCount() const { return count_; }

    // The siblings list a Topic lives in: its parent's children, or the top level.
    size_t siblingCount(const Topic* parent) const { return container(parent).childCount(); }
    Topic* sibling(const Topic* parent, size_t row) const { return container(parent).child(row); }

    // A new Topic of this Document, not yet in the tree.
    DetachedTopic create();
    // Inserts t (with its subtree; made by or taken from this Document) as child row of
    // parent (nullptr: the top level).
    Topic& insert(Topic* parent, size_t row, DetachedTopic t);
    Topic& append(Topic* parent, DetachedTopic t);
    // Takes t with its subtree out of the tree.
    DetachedTopic remove(Topic* t);
    // Moves t with its subtree to child row of newParent, row counted after t has left its
    // place. newParent must not lie inside t's subtree.
    void move(Topic* t, Topic* newParent, size_t row);
    void clear();

    // Depth-first position of t among all Topics (0 for the first); topicCount() for a
    // Topic outside the tree. Costs the siblings before t and before each of its ancestors:
    // their subtree sizes are kept, and worked out again only below a change.
    size_t treeOrderIndex(const Topic* t) const;

    DocumentStorage& storage() const { return *storage_; }
    TextStore& texts() const { return root_->items.store(); }

    // Lifecycle fields: the full path of the file (or the untitled name), and whether the
    // document has never been saved under a name.
    std::string fileName;
    bool untitled = false;

private:
    friend class TreeBuilder;

    Topic& container(const Topic* parent) const {
        return parent ? const_cast<Topic&>(*parent) : *root_;
    }
    static void renumber(Topic& parent, size_t from);
    void link(Topic& owner, size_t row, Topic* t);
    void unlink(Topic* t);

    std::shared_ptr<DocumentStorage> storage_;
    Topic* root_;
    size_t count_ = 0;
};

// Destroys t and its subtree in storage, without recursion.
void DestroySubtree(DocumentStorage& storage, Topic* t);

// t and every Topic below it.
size_t SubtreeSize(const Topic& t);

// The same over t's subtree; level counts from 0 at t.
template <typename Fn>
void ForEachInSubtree(const Topic& top, Fn&& fn) {
    Topic* t = const_cast<Topic*>(&top);
    int level = 0;
    while (t) {
        fn(*t, level);
        if (t->hasChildren()) {
            t = t->child(0);
            ++level;
            continue;
        }
        while (t != &top && !t->nextSibling()) {
            t = t->holder();
            --level;
        }
        t = t == &top ? nullptr : t->nextSibling();
    }
}

// Calls fn(topic, level) for every Topic in tree order, without recursion.
template <typename Fn>
void ForEachTopic(const Document& doc, Fn&& fn) {
    for (Topic* top = doc.first(); top; top = top->nextSibling()) {
        ForEachInSubtree(*top, fn);
    }
}

}  // namespace brenvale

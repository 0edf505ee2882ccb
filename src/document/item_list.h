#pragma once

#include <cstddef>
#include <string_view>

#include "common/gap_vector.h"
#include "common/packed_pointer.h"
#include "document/item.h"
#include "document/text_store.h"

namespace brenvale {

// A Topic's check list: a gap buffer of TextRefs into its Document's TextStore, so an Item
// costs four bytes here and its bytes stay where they were read. Changing an Item writes its
// new stored form to the store's arena and points the slot at it; the old bytes stay for any
// holder of their TextRef. Texts are made file-safe as they enter (see safe_text.h), so a
// stored form never holds a CR or 0x1A.
class ItemList {
public:
    class Ref;

    explicit ItemList(TextStore& store) : store_(&store) {}
    ItemList(const ItemList&) = delete;
    ItemList& operator=(const ItemList&) = delete;

    size_t size() const { return refs_.size(); }
    bool empty() const { return refs_.empty(); }
    ItemView operator[](size_t i) const { return view(refs_[i]); }
    Ref operator[](size_t i);

    void insert(size_t pos, const Item& item) { insert(pos, item.stored(), {}); }
    // Inserts the Item whose stored form is mark followed by text.
    void insert(size_t pos, std::string_view mark, std::string_view text);
    void push_back(const Item& item) { insert(size(), item); }
    void erase(size_t pos) { refs_.erase(pos); }
    void move(size_t from, size_t to) { refs_.move(from, to); }
    void reserve(size_t capacity) { refs_.reserve(capacity); }
    void clear() { refs_.clear(); }

    // Gives Item i the stored form mark followed by text.
    void set(size_t i, std::string_view mark, std::string_view text);

    // Items as references into the store, to move them without copying their bytes: to
    // another list of the same Document, or out to an undo record and back.
    TextRef ref(size_t i) const { return refs_[i]; }
    TextRef take(size_t pos) { return refs_.take(pos); }
    void insertRef(size_t pos, TextRef ref) { refs_.insert(pos, ref); }
    // Points Item i at an earlier stored form again (the bytes of a change stay in the store).
    void setRef(size_t i, TextRef ref) { refs_[i] = ref; }
    void appendRefs(const TextRef* refs, size_t count) { refs_.append(refs, count); }
    // Uses refs, which the Document's storage keeps, as the whole list (see GapVector).
    void useExternal(TextRef* refs, size_t count) { refs_.useExternal(refs, count); }

    TextStore& store() const { return *store_; }

private:
    ItemView view(TextRef ref) const { return ItemView(store_->at(ref), store_->limit(ref)); }
    TextRef add(std::string_view mark, std::string_view text);

    PackedPointer<TextStore> store_;
    GapVector<TextRef> refs_;
};

static_assert(sizeof(ItemList) == 28 && alignof(ItemList) == 4);

// Item i of a list, to read or change in place.
class ItemList::Ref {
public:
    Ref(ItemList& list, size_t index) : list_(list), index_(index) {}

    operator ItemView() const { return std::as_const(list_)[index_]; }
    std::string_view stored() const { return ItemView(*this).stored(); }
    std::string_view mark() const { return ItemView(*this).mark(); }
    std::string_view text() const { return ItemView(*this).text(); }
    bool checked() const { return ItemView(*this).checked(); }

    // Both give the Item a program-written mark ("■" or "□") when its mark is shorter.
    void setText(std::string_view text);
    // Leaves an Item whose mark already says so as it is.
    void setChecked(bool checked);

private:
    ItemList& list_;
    size_t index_;
};

inline ItemList::Ref ItemList::operator[](size_t i) {
    return Ref(*this, i);
}

}  // namespace brenvale

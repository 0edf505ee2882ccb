#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "document/text_store.h"
#include "editor/undo_change.h"

namespace brenvale {

class Topic;

// A run of Items put into a list or taken out of it (added, pasted, deleted, cut). While they
// are out, the record holds their references; their bytes stay in the Document's storage.
class ItemPlacement final : public UndoChange {
public:
    // count Items from row on are in the list now.
    ItemPlacement(Topic* t, size_t row, size_t count) : topic_(t), row_(row), count_(count) {}
    // ref was taken out at row.
    ItemPlacement(Topic* t, size_t row, TextRef ref)
        : topic_(t), row_(row), count_(1), held_{ref} {}

    void toggle(DocumentChanges& changes) override;
    size_t bytes() const override { return sizeof(*this) + held_.capacity() * sizeof(TextRef); }

protected:
    bool mergeInto(UndoChange& last) const override { return last.take(*this); }
    // Rows added right after the ones recorded extend the record.
    bool take(const ItemPlacement& next) override;

private:
    Topic* topic_;
    size_t row_;
    size_t count_;
    std::vector<TextRef> held_;  // empty while the Items are in the list
};

// An Item moved within its list.
class ItemMove final : public UndoChange {
public:
    ItemMove(Topic* t, size_t from, size_t to) : topic_(t), from_(from), to_(to) {}

    void toggle(DocumentChanges& changes) override;
    size_t bytes() const override { return sizeof(*this); }

private:
    Topic* topic_;
    size_t from_;
    size_t to_;
};

// The Items of a list put in another order (sorted by due).
class ItemOrder final : public UndoChange {
public:
    // order[k] is the row the Item now at row k came from.
    ItemOrder(Topic* t, std::vector<uint32_t> order) : topic_(t), order_(std::move(order)) {}

    void toggle(DocumentChanges& changes) override;
    size_t bytes() const override { return sizeof(*this) + order_.capacity() * sizeof(uint32_t); }

private:
    Topic* topic_;
    std::vector<uint32_t> order_;
};

// Items of one list given other stored forms (a new text, a tick, marks written afresh); the
// record keeps the other form of each, so a mark read from a file comes back as read.
class ItemFormChange final : public UndoChange {
public:
    ItemFormChange(Topic* t, size_t row, TextRef other) : topic_(t), forms_{{row, other}} {}

    void toggle(DocumentChanges& changes) override;
    size_t bytes() const override {
        return sizeof(*this) + forms_.capacity() * sizeof(forms_.front());
    }

protected:
    bool mergeInto(UndoChange& last) const override { return last.take(*this); }
    // Later changes of the same list join the record.
    bool take(const ItemFormChange& next) override;

private:
    Topic* topic_;
    std::vector<std::pair<uint32_t, TextRef>> forms_;
};

}  // namespace brenvale

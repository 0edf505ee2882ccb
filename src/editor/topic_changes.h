#pragma once

#include <cstddef>

#include "document/document.h"
#include "editor/undo_change.h"

namespace brenvale {

// A Topic with its subtree put into the tree or taken out of it: the record of an added, a
// pasted or a deleted Topic. While it is out, the record holds it whole.
class TopicPlacement final : public UndoChange {
public:
    // t is in the tree now.
    explicit TopicPlacement(const Topic& t);
    // held was taken out of child row of parent.
    TopicPlacement(Topic* parent, size_t row, DetachedTopic held);

    void toggle(DocumentChanges& changes) override;
    size_t bytes() const override;

private:
    Topic* parent_;
    size_t row_;
    DetachedTopic held_;
    size_t heldBytes_ = 0;
};

// A Topic moved with its subtree; the record keeps the place it left.
class TopicMove final : public UndoChange {
public:
    TopicMove(Topic* t, Topic* parent, size_t row) : topic_(t), parent_(parent), row_(row) {}

    void toggle(DocumentChanges& changes) override;
    size_t bytes() const override { return sizeof(*this); }

private:
    Topic* topic_;
    Topic* parent_;
    size_t row_;
};

// The caption of a Topic; the record keeps the other one.
class TopicCaptionChange final : public UndoChange {
public:
    TopicCaptionChange(Topic* t, Caption other) : topic_(t), other_(std::move(other)) {}

    void toggle(DocumentChanges& changes) override;
    size_t bytes() const override { return sizeof(*this) + other_.size(); }

private:
    Topic* topic_;
    Caption other_;
};

// The icon of a Topic.
class TopicIconChange final : public UndoChange {
public:
    TopicIconChange(Topic* t, int other) : topic_(t), other_(other) {}

    void toggle(DocumentChanges& changes) override;
    size_t bytes() const override { return sizeof(*this); }

private:
    Topic* topic_;
    int other_;
};

// The expanded state of a Topic.
class TopicExpansionChange final : public UndoChange {
public:
    TopicExpansionChange(Topic* t, bool other) : topic_(t), other_(other) {}

    void toggle(DocumentChanges& changes) override;
    size_t bytes() const override { return sizeof(*this); }

private:
    Topic* topic_;
    bool other_;
};

// The memory a subtree out of the tree keeps: its Topics and their lists of Item references
// (the Item bytes stay in the Document's storage either way).
size_t HeldSubtreeBytes(const Topic& t);

}  // namespace brenvale

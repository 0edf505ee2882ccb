#pragma once

#include <cstddef>

namespace brenvale {

class DocumentChanges;
class ItemFormChange;
class ItemPlacement;

// One recorded change of a Document. Toggling it undoes it and toggling it again redoes it:
// each change keeps what the other state needs (the Topic taken out, the earlier stored form),
// taking it from the Document as it toggles, so both directions are one operation and a step
// recorded before a save still fits the Document after the save trimmed its texts.
class UndoChange {
public:
    virtual ~UndoChange() = default;
    virtual void toggle(DocumentChanges& changes) = 0;
    // Memory the change keeps alive beyond the Document, for the history's bound.
    virtual size_t bytes() const = 0;

    // Takes a change recorded right after this one into this record (the Items of one
    // multi-line add, the ticks of one store); false when the two do not go together.
    bool mergeWith(const UndoChange& next) { return next.mergeInto(*this); }

protected:
    // The double dispatch of mergeWith: `next.mergeInto(last)` asks last to take next by its
    // own type.
    virtual bool mergeInto(UndoChange& /*last*/) const { return false; }
    friend class ItemFormChange;
    friend class ItemPlacement;
    virtual bool take(const ItemPlacement& /*next*/) { return false; }
    virtual bool take(const ItemFormChange& /*next*/) { return false; }
};

}  // namespace brenvale

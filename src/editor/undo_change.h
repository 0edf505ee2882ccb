#pragma once

#include <cstddef>

namespace brenvale {

class DocumentChanges;

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
};

}  // namespace brenvale

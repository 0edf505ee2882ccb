#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "editor/undo_change.h"

namespace brenvale {

class Topic;

// What was selected around a step: the Topic and the Item of its list (its index, not its
// row: hidden Items may show differently after the step).
struct UndoSelection {
    Topic* topic = nullptr;
    int row = -1;
};

// The changes one user action made, undone and redone as one.
struct UndoStep {
    std::string name;  // UTF-8, for the hint: "ツリー削除"
    std::vector<std::unique_ptr<UndoChange>> changes;
    UndoSelection before;
    UndoSelection after;
    // The Topic a rename step renamed: the keystrokes of one rename of one Topic follow one
    // another into one step.
    const Topic* renamed = nullptr;
    uint64_t id = 0;
    size_t bytes = 0;

    void countBytes();
};

// The undo and redo stacks of one document. A step opens with begin and closes with the
// outermost end; changes recorded meanwhile belong to it. The history is bounded by the
// memory its steps hold: the oldest are dropped first.
class UndoHistory {
public:
    static constexpr size_t kDefaultLimit = size_t{64} << 20;

    explicit UndoHistory(size_t limitBytes = kDefaultLimit) : limit_(limitBytes) {}

    // Steps nest: an inner begin (a command another one runs) joins the outer step.
    void begin(std::string_view name, UndoSelection before, const Topic* renamed = nullptr);
    // Closes the step; the outermost end commits it when it changed something.
    void end(UndoSelection after);
    bool inStep() const { return depth_ > 0; }
    // While a step is replayed nothing is recorded.
    bool replaying() const { return replaying_; }

    // A change outside any step (which no command should make) becomes a step of its own
    // rather than going unrecorded. Inside a step a change that goes with the one before it
    // (see UndoChange::mergeWith) joins that record. Nothing is recorded while replaying.
    void record(std::unique_ptr<UndoChange> change);

    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    // Toggles the changes of the last step back (undo) or of the next one again (redo) and
    // returns the step, which stays in the history; nullptr when there is none.
    const UndoStep* undo(DocumentChanges& changes);
    const UndoStep* redo(DocumentChanges& changes);
    // Steps that follow one another are merged only until something else happens.
    void breakMerge() { mergeOpen_ = false; }

    // A new document: no steps, and no state yet that was saved.
    void clear();
    // The document as it is now is the one in its file.
    void markSaved();
    bool atSavedState() const { return stateId() == savedId_; }
    // No state is in the file any more (it was deleted).
    void forgetSaved() { savedId_ = ~uint64_t{0}; }

    void setLimit(size_t bytes);
    size_t bytes() const { return bytes_; }
    size_t undoCount() const { return undo_.size(); }
    size_t redoCount() const { return redo_.size(); }

private:
    // Nothing is recorded while a step's changes are toggled, however the toggle ends.
    class ReplayScope {
    public:
        explicit ReplayScope(bool& flag) : flag_(flag) { flag_ = true; }
        ~ReplayScope() { flag_ = false; }
        ReplayScope(const ReplayScope&) = delete;
        ReplayScope& operator=(const ReplayScope&) = delete;

    private:
        bool& flag_;
    };

    uint64_t stateId() const { return undo_.empty() ? baseId_ : undo_.back().id; }
    void commit(UndoStep step);
    void replay(UndoStep& step, DocumentChanges& changes, bool backwards);
    void trim();
    void dropRedo();

    size_t limit_;
    std::deque<UndoStep> undo_;
    std::vector<UndoStep> redo_;
    UndoStep open_;
    int depth_ = 0;
    bool replaying_ = false;
    bool mergeOpen_ = false;
    size_t bytes_ = 0;
    uint64_t nextId_ = 1;
    uint64_t baseId_ = 0;
    uint64_t savedId_ = 0;
};

}  // namespace brenvale

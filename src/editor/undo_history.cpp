#include "editor/undo_history.h"

#include <utility>

namespace brenvale {

void UndoStep::countBytes() {
    bytes = sizeof(UndoStep) + name.capacity() + changes.capacity() * sizeof(changes.front());
    for (const auto& change : changes) {
        bytes += change->bytes();
    }
}

void UndoHistory::begin(std::string_view name, UndoSelection before, const Topic* renamed) {
    if (depth_++ > 0) {
        return;
    }
    open_ = UndoStep();
    open_.name = std::string(name);
    open_.before = before;
    open_.renamed = renamed;
}

void UndoHistory::end(UndoSelection after) {
    if (--depth_ > 0) {
        return;
    }
    UndoStep step = std::exchange(open_, UndoStep());
    if (!step.changes.empty()) {
        step.after = after;
        commit(std::move(step));
    }
}

void UndoHistory::record(std::unique_ptr<UndoChange> change) {
    if (replaying_) {
        return;
    }
    if (depth_ > 0) {
        if (open_.changes.empty() || !open_.changes.back()->mergeWith(*change)) {
            open_.changes.push_back(std::move(change));
        }
        return;
    }
    UndoStep step;
    step.name = "編集";
    step.changes.push_back(std::move(change));
    commit(std::move(step));
}

void UndoHistory::commit(UndoStep step) {
    dropRedo();
    if (mergeOpen_ && step.renamed && !undo_.empty() && undo_.back().renamed == step.renamed) {
        UndoStep& last = undo_.back();
        bytes_ -= last.bytes;
        for (auto& change : step.changes) {
            last.changes.push_back(std::move(change));
        }
        last.after = step.after;
        last.countBytes();
        bytes_ += last.bytes;
        return;
    }
    step.id = nextId_++;
    step.countBytes();
    bytes_ += step.bytes;
    undo_.push_back(std::move(step));
    mergeOpen_ = undo_.back().renamed != nullptr;
    trim();
}

void UndoHistory::trim() {
    // The newest step always stays, however big: it is what the user just did.
    while (bytes_ > limit_ && undo_.size() > 1) {
        bytes_ -= undo_.front().bytes;
        baseId_ = undo_.front().id;
        undo_.pop_front();
    }
}

void UndoHistory::dropRedo() {
    for (const UndoStep& step : redo_) {
        bytes_ -= step.bytes;
    }
    redo_.clear();
}

void UndoHistory::replay(UndoStep& step, DocumentChanges& changes, bool backwards) {
    mergeOpen_ = false;
    bytes_ -= step.bytes;
    ReplayScope replaying(replaying_);
    if (backwards) {
        for (auto it = step.changes.rbegin(); it != step.changes.rend(); ++it) {
            (*it)->toggle(changes);
        }
    } else {
        for (auto& change : step.changes) {
            change->toggle(changes);
        }
    }
    // A Topic taken out is held by its step now, one put back no longer.
    step.countBytes();
    bytes_ += step.bytes;
}

const UndoStep* UndoHistory::undo(DocumentChanges& changes) {
    if (undo_.empty()) {
        return nullptr;
    }
    redo_.push_back(std::move(undo_.back()));
    undo_.pop_back();
    replay(redo_.back(), changes, true);
    return &redo_.back();
}

const UndoStep* UndoHistory::redo(DocumentChanges& changes) {
    if (redo_.empty()) {
        return nullptr;
    }
    undo_.push_back(std::move(redo_.back()));
    redo_.pop_back();
    replay(undo_.back(), changes, false);
    trim();
    return &undo_.back();
}

void UndoHistory::clear() {
    undo_.clear();
    redo_.clear();
    // A step still open (a document opened by a command) goes on, for the new document.
    open_.changes.clear();
    open_.before = {};
    open_.renamed = nullptr;
    bytes_ = 0;
    mergeOpen_ = false;
    baseId_ = nextId_++;
    // No state of a document that was never read nor saved is its file's.
    savedId_ = 0;
}

void UndoHistory::markSaved() {
    savedId_ = stateId();
    mergeOpen_ = false;
}

void UndoHistory::setLimit(size_t bytes) {
    limit_ = bytes;
    trim();
}

}  // namespace brenvale

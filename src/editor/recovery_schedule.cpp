#include "editor/recovery_schedule.h"

#include <algorithm>

namespace brenvale {

void RecoverySchedule::Changed(RecoveryTime now) {
    if (!firstPending_) {
        firstPending_ = now;
    }
    lastChange_ = now;
}

void RecoverySchedule::CopyTaken(RecoveryTime now) {
    takenFirst_ = firstPending_;
    firstPending_.reset();
    lastCopy_ = now;
}

void RecoverySchedule::CopyFailed() {
    if (takenFirst_ && (!firstPending_ || *takenFirst_ < *firstPending_)) {
        firstPending_ = takenFirst_;
    }
    takenFirst_.reset();
}

void RecoverySchedule::Clear() {
    firstPending_.reset();
    takenFirst_.reset();
}

std::optional<RecoveryTime> RecoverySchedule::Due() const {
    if (!firstPending_) {
        return std::nullopt;
    }
    RecoveryTime due = std::min(lastChange_ + timing_.quiet, *firstPending_ + timing_.spacing);
    if (lastCopy_) {
        due = std::max(due, *lastCopy_ + timing_.spacing);
    }
    return due;
}

bool RecoverySchedule::IsDue(RecoveryTime now) const {
    std::optional<RecoveryTime> due = Due();
    return due && *due <= now;
}

}  // namespace brenvale

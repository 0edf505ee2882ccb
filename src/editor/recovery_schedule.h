#pragma once

#include <chrono>
#include <optional>

namespace brenvale {

using RecoveryClock = std::chrono::steady_clock;
using RecoveryTime = RecoveryClock::time_point;

struct RecoveryTiming {
    // A copy follows this long a pause in the changes...
    RecoveryClock::duration quiet = std::chrono::seconds(3);
    // ...but copies are at least this far apart, and a change waits no longer than this
    // for its copy even while the changes go on without a pause.
    RecoveryClock::duration spacing = std::chrono::seconds(30);
};

// When the next recovery copy is due. It only keeps times: the caller says when the
// document changed, when a copy of it was taken and when nothing is unsaved any more.
class RecoverySchedule {
public:
    explicit RecoverySchedule(RecoveryTiming timing = {}) : timing_(timing) {}

    void Changed(RecoveryTime now);
    // A copy of the document as it is at `now` was taken: later changes need another.
    void CopyTaken(RecoveryTime now);
    // A copy that was taken could not be written: its changes are still without a copy.
    void CopyFailed();
    // Nothing is unsaved: no copy is due until the next change.
    void Clear();

    // When the next copy is due; nothing while every change is in a copy.
    std::optional<RecoveryTime> Due() const;
    bool IsDue(RecoveryTime now) const;

private:
    RecoveryTiming timing_;
    std::optional<RecoveryTime> firstPending_;  // the oldest change without a copy
    RecoveryTime lastChange_{};
    std::optional<RecoveryTime> lastCopy_;
    // Kept so that a failed copy restores what it had taken away.
    std::optional<RecoveryTime> takenFirst_;
};

}  // namespace brenvale

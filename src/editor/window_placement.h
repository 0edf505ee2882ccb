#pragma once

#include <cstdint>
#include <optional>

#include "editor/bounds.h"

namespace brenvale {

// Keeps a window that is being moved inside the work area: each edge that crosses it is
// pushed back, left before right and top before bottom, so a window larger than the work
// area ends at its right or bottom edge.
Bounds KeepOnScreen(Bounds proposed, const Bounds& workArea);

// Tells the user's moves of a window from the moves its maximise and restore transitions and
// the program's own placing cause, which come from the window system just the same: a move
// counts as the user's when the window keeps its size and nothing else has happened to it for
// a moment. Times are milliseconds of a steady clock.
class UserMoveFilter {
public:
    static constexpr int64_t kSettleMs = 300;

    // The window was maximised, restored or minimised, or the program placed it.
    void Unsettle(int64_t nowMs);
    void Resized(const Bounds& frame);
    // A move of the window's frame while it is in the normal state.
    bool IsUserMove(int64_t nowMs, const Bounds& frame);

private:
    int64_t quietUntil_ = 0;
    std::optional<Bounds> last_;
};

// Where a window of the wanted size opens for its owner (both outer bounds, frame included):
// centred over the owner, shrunk to fit the work area of the owner's screen, and wholly
// inside that work area.
Bounds PlaceOverOwner(int width, int height, const Bounds& owner, const Bounds& workArea);

// The start-up position of a window whose stored top or left is -1: centred on that axis.
Bounds CentreUnset(Bounds window, int screenWidth, int screenHeight);

}  // namespace brenvale

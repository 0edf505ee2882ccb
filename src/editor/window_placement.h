#pragma once

#include "editor/bounds.h"

namespace brenvale {

// Keeps a window that is being moved inside the work area: each edge that crosses it is
// pushed back, left before right and top before bottom, so a window larger than the work
// area ends at its right or bottom edge.
Bounds KeepOnScreen(Bounds proposed, const Bounds& workArea);

// The start-up position of a window whose stored top or left is -1: centred on that axis.
Bounds CentreUnset(Bounds window, int screenWidth, int screenHeight);

}  // namespace brenvale

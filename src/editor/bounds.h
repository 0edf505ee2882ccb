#pragma once

namespace brenvale {

// A rectangle in pixels: a window on the screen, or a control in the window.
struct Bounds {
    int left;
    int top;
    int width;
    int height;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool operator==(const Bounds&) const = default;
};

}  // namespace brenvale

#include "editor/window_placement.h"

namespace brenvale {

Bounds KeepOnScreen(Bounds b, const Bounds& work) {
    if (b.left < work.left) {
        b.left = work.left;
    }
    if (b.right() > work.right()) {
        b.left = work.right() - b.width;
    }
    if (b.top < work.top) {
        b.top = work.top;
    }
    if (b.bottom() > work.bottom()) {
        b.top = work.bottom() - b.height;
    }
    return b;
}

void UserMoveFilter::Unsettle(int64_t nowMs) {
    quietUntil_ = nowMs + kSettleMs;
    last_.reset();
}

void UserMoveFilter::Resized(const Bounds& frame) {
    last_ = frame;
}

bool UserMoveFilter::IsUserMove(int64_t nowMs, const Bounds& frame) {
    bool sameSize = last_ && last_->width == frame.width && last_->height == frame.height;
    last_ = frame;
    return sameSize && nowMs >= quietUntil_;
}

Bounds CentreUnset(Bounds b, int screenWidth, int screenHeight) {
    if (b.top == -1) {
        b.top = (screenHeight - b.height) / 2;
    }
    if (b.left == -1) {
        b.left = (screenWidth - b.width) / 2;
    }
    return b;
}

}  // namespace brenvale

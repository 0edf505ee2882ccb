#include "editor/window_placement.h"

#include <algorithm>

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

Bounds PlaceOverOwner(int width, int height, const Bounds& owner, const Bounds& work) {
    Bounds b{0, 0, std::min(width, work.width), std::min(height, work.height)};
    b.left = owner.left + (owner.width - b.width) / 2;
    b.top = owner.top + (owner.height - b.height) / 2;
    return KeepOnScreen(b, work);
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

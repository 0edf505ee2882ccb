#include "editor/window_placement.h"

#include <gtest/gtest.h>

namespace brenvale {
namespace {

TEST(WindowPlacement, AMovedWindowStaysInsideTheWorkArea) {
    Bounds work{0, 0, 1000, 700};
    EXPECT_EQ(KeepOnScreen({-30, 10, 300, 200}, work), (Bounds{0, 10, 300, 200}));
    EXPECT_EQ(KeepOnScreen({800, 600, 300, 200}, work), (Bounds{700, 500, 300, 200}));
    EXPECT_EQ(KeepOnScreen({100, 100, 300, 200}, work), (Bounds{100, 100, 300, 200}));
    // Larger than the work area: aligned to the right and bottom edges.
    EXPECT_EQ(KeepOnScreen({-10, -10, 1200, 900}, work), (Bounds{-200, -200, 1200, 900}));
}

TEST(WindowPlacement, AnOwnedWindowOpensOverItsOwnerWhollyOnItsScreen) {
    const Bounds right{1920, 0, 1280, 1024};  // the second of two screens
    EXPECT_EQ(PlaceOverOwner(780, 540, {2000, 100, 600, 400}, right), (Bounds{1920, 30, 780, 540}));
    EXPECT_EQ(PlaceOverOwner(400, 300, {2200, 300, 600, 400}, right),
              (Bounds{2300, 350, 400, 300}));
    // An owner half off the screen's far edge: the window stays on the screen.
    EXPECT_EQ(PlaceOverOwner(780, 540, {2900, 800, 600, 400}, right),
              (Bounds{1920 + 1280 - 780, 1024 - 540, 780, 540}));
    // Larger than the work area: as large as it.
    EXPECT_EQ(PlaceOverOwner(2000, 1500, {2000, 100, 600, 400}, right), right);
}

TEST(WindowPlacement, MinusOneCentresOnThatAxisOnly) {
    EXPECT_EQ(CentreUnset({100, -1, 573, 376}, 1024, 768), (Bounds{100, 196, 573, 376}));
    EXPECT_EQ(CentreUnset({-1, -1, 573, 376}, 1024, 768), (Bounds{225, 196, 573, 376}));
    EXPECT_EQ(CentreUnset({-1, 5, 1025, 376}, 1024, 768), (Bounds{0, 5, 1025, 376}));
}

TEST(WindowPlacement, OnlyMovesOfTheSameSizeAtRestAreTheUsers) {
    UserMoveFilter filter;
    filter.Unsettle(1000);  // placed at start
    filter.Resized({0, 0, 575, 401});
    EXPECT_FALSE(filter.IsUserMove(1010, {0, 0, 575, 401}));  // the window system's answer
    EXPECT_TRUE(filter.IsUserMove(2000, {-40, 0, 575, 401}));
    EXPECT_TRUE(filter.IsUserMove(2010, {-80, 0, 575, 401}));

    // Restoring a maximised window: the state changes first, then a move still carrying the
    // maximised size, then the resize and the move to the restored place.
    filter.Unsettle(5000);
    EXPECT_FALSE(filter.IsUserMove(5002, {0, 0, 1026, 774}));
    filter.Resized({0, 0, 575, 401});
    EXPECT_FALSE(filter.IsUserMove(5003, {50, 100, 575, 401}));
    // A move that changes the size (dragging the left edge) is no move of the window.
    EXPECT_FALSE(filter.IsUserMove(6000, {40, 100, 585, 401}));
    EXPECT_TRUE(filter.IsUserMove(6010, {30, 100, 585, 401}));
}

}  // namespace
}  // namespace brenvale

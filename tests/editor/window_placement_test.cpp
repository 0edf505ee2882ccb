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

TEST(WindowPlacement, MinusOneCentresOnThatAxisOnly) {
    EXPECT_EQ(CentreUnset({100, -1, 573, 376}, 1024, 768), (Bounds{100, 196, 573, 376}));
    EXPECT_EQ(CentreUnset({-1, -1, 573, 376}, 1024, 768), (Bounds{225, 196, 573, 376}));
    EXPECT_EQ(CentreUnset({-1, 5, 1025, 376}, 1024, 768), (Bounds{0, 5, 1025, 376}));
}

}  // namespace
}  // namespace brenvale

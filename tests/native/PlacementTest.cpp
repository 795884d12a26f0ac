// Where Preview and Stored Messages open beside the main window, on whichever screen it is.
#include <gtest/gtest.h>

#include "misc/Placement.h"

namespace velmora {
namespace {

constexpr Box kPrimary{0, 0, 1920, 1040};
// A second screen to the right of the first, a little higher and shorter.
constexpr Box kSecond{1920, -200, 3200, 800};
constexpr int kGap = 8;
constexpr Spot kPut{100, 100};

TEST(PlaceBeside, OpensOnThePreferredSideElseTheOtherElseAtTheEdgeOrWhereItWasPut) {
    const Box main{600, 300, 932, 686};
    EXPECT_EQ(PlaceBeside(main, kPrimary, 360, 360, kGap, kPut, Side::Right, true).x, 940);
    EXPECT_EQ(PlaceBeside(main, kPrimary, 480, 360, kGap, kPut, Side::Left, false).x, 112);
    // No room on the left: the right.
    EXPECT_EQ(PlaceBeside(main, kPrimary, 700, 360, kGap, kPut, Side::Left, false).x, 940);
    // Room on neither side.
    const Box wide{400, 300, 1500, 686};
    EXPECT_EQ(PlaceBeside(wide, kPrimary, 480, 360, kGap, kPut, Side::Right, true).x, 1920 - 480);
    EXPECT_EQ(PlaceBeside(wide, kPrimary, 480, 360, kGap, kPut, Side::Left, true).x, 0);
    const Spot stays = PlaceBeside(wide, kPrimary, 480, 360, kGap, kPut, Side::Left, false);
    EXPECT_EQ(stays.x, kPut.x);
    EXPECT_EQ(stays.y, kPut.y);
}

TEST(PlaceBeside, StaysOnTheScreenOfTheMainWindowNotThePrimaryOne) {
    // The main window near the second screen's right edge: the preview goes to its left, kept
    // within that screen's bottom (the primary screen's would have let it hang below).
    const Box main{2700, 600, 3032, 986};
    const Spot preview = PlaceBeside(main, kSecond, 360, 360, kGap, kPut, Side::Right, true);
    EXPECT_EQ(preview.x, 2700 - kGap - 360);
    // Its top level with the main window's, raised to stay on that screen's bottom.
    EXPECT_EQ(preview.y, 800 - 360);
    // Nothing fits on either side: at that screen's edge, not the primary screen's.
    const Box wide{1950, -150, 3150, 300};
    EXPECT_EQ(PlaceBeside(wide, kSecond, 480, 360, kGap, kPut, Side::Left, true).x, 1920);
    EXPECT_EQ(PlaceBeside(wide, kSecond, 480, 360, kGap, kPut, Side::Right, true).x, 3200 - 480);
    // A top above the primary screen's is kept: the second screen reaches up there.
    EXPECT_EQ(PlaceBeside(wide, kSecond, 480, 360, kGap, kPut, Side::Left, true).y, -150);
}

}  // namespace
}  // namespace velmora

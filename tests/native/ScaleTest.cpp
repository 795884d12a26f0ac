#include <gtest/gtest.h>

#include "misc/Scale.h"

namespace velmora {
namespace {

TEST(Scale, DesignPixelsFollowTheDpiRoundedToNearest) {
    EXPECT_EQ(ScaleForDpi(332, 96), 332);
    EXPECT_EQ(ScaleForDpi(332, 144), 498);
    EXPECT_EQ(ScaleForDpi(17, 120), 21);  // 21.25
    EXPECT_EQ(ScaleForDpi(9, 120), 11);   // 11.25
    EXPECT_EQ(ScaleForDpi(3, 144), 5);    // 4.5 rounds away from zero, as MulDiv does
    EXPECT_EQ(ScaleForDpi(-3, 144), -5);
}

TEST(Scale, FontHeightsComeFromPoints) {
    EXPECT_EQ(FontHeightForDpi(825, 96), -11);
    EXPECT_EQ(FontHeightForDpi(675, 96), -9);
    EXPECT_EQ(FontHeightForDpi(975, 96), -13);
    EXPECT_EQ(FontHeightForDpi(825, 144), -17);  // 16.5
}

TEST(Scale, DesignColoursBecomeWindowsColourValues) {
    EXPECT_EQ(ColourRefFromRgb(0xC00000), 0x0000C0u);
    EXPECT_EQ(ColourRefFromRgb(0x0000FF), 0xFF0000u);
    EXPECT_EQ(ColourRefFromRgb(0x123456), 0x563412u);
}

}  // namespace
}  // namespace velmora

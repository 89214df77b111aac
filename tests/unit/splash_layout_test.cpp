#include "splash_layout.h"

#include <gtest/gtest.h>

namespace {

// At 96 dpi every figure of the form is a whole number of pixels; at other
// scales the platform rounds to the nearest pixel, halves away from zero.
TEST(SplashScale, TwipsRoundToTheNearestPixelAtAnyScale) {
    EXPECT_EQ(splash::ToPixels(7770, 96), 518);
    EXPECT_EQ(splash::ToPixels(7770, 120), 648);  // 647.5
    EXPECT_EQ(splash::ToPixels(5595, 120), 466);  // 466.25
    EXPECT_EQ(splash::ToPixels(7785, 144), 779);  // 778.5
}

TEST(SplashScale, FontHeightsAreCharacterHeightsRoundedLikeMulDiv) {
    EXPECT_EQ(splash::FontHeight(1425, 96), -19);
    EXPECT_EQ(splash::FontHeight(825, 96), -11);
    EXPECT_EQ(splash::FontHeight(750, 120), -13);   // 12.5
    EXPECT_EQ(splash::FontHeight(1425, 120), -24);  // 23.75
}

}  // namespace

#include "core/platform/twips.h"

#include <gtest/gtest.h>

namespace bladeway {
namespace {

TEST(Twips, FifteenTwipsArePixel) {
    EXPECT_EQ(TwipsToPixels(15), 1);
    EXPECT_EQ(TwipsToPixels(5730), 382);
    EXPECT_EQ(PixelsToTwips(382), 5730);
}

TEST(Twips, NearestPixelOnBothSidesOfZero) {
    EXPECT_EQ(TwipsToPixels(7), 0);
    EXPECT_EQ(TwipsToPixels(8), 1);
    EXPECT_EQ(TwipsToPixels(200), 13);    // 13.33
    EXPECT_EQ(TwipsToPixels(5654), 377);  // 376.93
    EXPECT_EQ(TwipsToPixels(-7), 0);
    EXPECT_EQ(TwipsToPixels(-8), -1);
    EXPECT_EQ(TwipsToPixels(-600), -40);
}

}  // namespace
}  // namespace bladeway

// Twips and pixels: the one conversion every front end uses.
#include "core/presentation/twips.h"

#include <gtest/gtest.h>

namespace bladeway {
namespace {

TEST(Twips, PixelsAtAnyDpiAreTheNearestHalvesAwayFromZero) {
    struct Row {
        std::int64_t twips;
        int dpi;
        std::int64_t pixels;
    };
    for (const Row& row : {Row{1815, 96, 121}, Row{7, 96, 0}, Row{8, 96, 1}, Row{-8, 96, -1},
                           Row{-7, 96, 0}, Row{1815, 144, 182}, Row{5, 144, 1}, Row{-5, 144, -1},
                           Row{4, 144, 0}, Row{1260, 120, 105}, Row{15, 0, 1}}) {
        EXPECT_EQ(TwipsToPixelsAt(row.twips, row.dpi), row.pixels)
            << row.twips << " at " << row.dpi;
    }
    EXPECT_EQ(TwipsToPixels(1815), 121);
    EXPECT_EQ(PixelsToTwipsAt(121, 96), 1815);
    EXPECT_EQ(PixelsToTwipsAt(181, 144), 1810);
    EXPECT_EQ(PixelsToTwipsAt(-1, 144), -10);
    EXPECT_EQ(PixelsToTwipsAt(1, 192), 8);  // 7.5 rounds away from zero
}

}  // namespace
}  // namespace bladeway

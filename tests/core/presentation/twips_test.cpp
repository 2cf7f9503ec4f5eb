// Twips and pixels: the one conversion every front end uses.
#include "core/presentation/twips.h"

#include <utility>

#include <gtest/gtest.h>

#include "support/case_table.h"

namespace bladeway {
namespace {

TEST(Twips, PixelsAtAnyDpiAreTheNearestHalvesAwayFromZero) {
    // clang-format off
    testing::ExpectEach<std::pair<std::int64_t, int>, std::int64_t>(  // twips at DPI: pixels
        [](const auto& at) { return TwipsToPixelsAt(at.first, at.second); },
        {{{1815, 96}, 121}, {{7, 96}, 0}, {{8, 96}, 1}, {{-8, 96}, -1}, {{-7, 96}, 0},
         {{1815, 144}, 182}, {{5, 144}, 1}, {{-5, 144}, -1}, {{4, 144}, 0}, {{1260, 120}, 105},
         {{15, 0}, 1}});
    // clang-format on
    EXPECT_EQ(TwipsToPixels(1815), 121);
    EXPECT_EQ(PixelsToTwipsAt(121, 96), 1815);
    EXPECT_EQ(PixelsToTwipsAt(181, 144), 1810);
    EXPECT_EQ(PixelsToTwipsAt(-1, 144), -10);
    EXPECT_EQ(PixelsToTwipsAt(1, 192), 8);  // 7.5 rounds away from zero
}

}  // namespace
}  // namespace bladeway

#include "core/dialogs/var_sub_rules.h"

#include <gtest/gtest.h>

namespace bladeway {
namespace {

TEST(VarSubLayout, GridTakesTheRoomLeftAndButtonsFollowIt) {
    // Outer 4500 high, 5385 wide: 4500 - 1400 = 3100 high, 5385 - 500 = 4885 wide.
    const VarSubLayout layout = LayOutVarSub(4500, 5385, 1, 1);
    EXPECT_EQ(layout.grid, (TwipsRect{200, 200, 4885, 3100}));
    EXPECT_EQ(layout.ok, (TwipsRect{200, 3500, 1215, 495}));
    EXPECT_EQ(layout.cancel, (TwipsRect{3870, 3500, 1215, 495}));
}

TEST(VarSubLayout, HundredTwipsOrLessKeepsTheGridsHeight) {
    // 1500 leaves exactly 100: the grid keeps 3015, the buttons sit below it.
    const VarSubLayout kept = LayOutVarSub(1500, 5385, 3015, 4815);
    EXPECT_EQ(kept.grid.height, 3015);
    EXPECT_EQ(kept.grid.width, 4885);
    EXPECT_EQ(kept.ok.top, 3015 + 200 + 200);
    EXPECT_EQ(kept.cancel.top, kept.ok.top);

    const VarSubLayout set = LayOutVarSub(1501, 5385, 3015, 4815);
    EXPECT_EQ(set.grid.height, 101);
    EXPECT_EQ(set.ok.top, 501);
}

TEST(VarSubLayout, HundredTwipsOrLessKeepsTheGridsWidth) {
    const VarSubLayout kept = LayOutVarSub(4500, 600, 3015, 4815);
    EXPECT_EQ(kept.grid.width, 4815);
    EXPECT_EQ(kept.cancel.left, 4815 + 200 - 1215);

    const VarSubLayout set = LayOutVarSub(4500, 601, 3015, 4815);
    EXPECT_EQ(set.grid.width, 101);
    // A grid narrower than the button puts Cancel left of the window's edge.
    EXPECT_EQ(set.cancel.left, 101 + 200 - 1215);
    EXPECT_EQ(set.ok.left, 200);
}

TEST(VarSubLayout, BothDirectionsKeptForATinyOrEmptyWindow) {
    for (const double side : {0.0, -600.0, 100.0}) {
        const VarSubLayout layout = LayOutVarSub(side, side, 2000, 3000);
        EXPECT_EQ(layout.grid, (TwipsRect{200, 200, 3000, 2000}));
        EXPECT_EQ(layout.ok, (TwipsRect{200, 2400, 1215, 495}));
        EXPECT_EQ(layout.cancel, (TwipsRect{1985, 2400, 1215, 495}));
    }
}

TEST(VarSubLayout, RoomLeftIsRoundedToAWholeTwipHalfToEven) {
    EXPECT_EQ(LayOutVarSub(1500.5, 5385, 3015, 4815).grid.height, 3015);  // 100.5 -> 100: kept
    EXPECT_EQ(LayOutVarSub(1501.5, 5385, 3015, 4815).grid.height, 102);   // 101.5 -> 102
    EXPECT_EQ(LayOutVarSub(1502.5, 5385, 3015, 4815).grid.height, 102);   // 102.5 -> 102
}

TEST(VarSubTable, FirstSheetHasElevenLetterRowsWithoutASecondH) {
    EXPECT_EQ(kVarSubRowCount, 11);
    EXPECT_EQ(kVarSubColumnCount, 50);
    std::string letters;
    for (const auto heading : kVarSubRowHeadings)
        letters += heading;
    EXPECT_EQ(letters, "LHSABCDEFGI");
    EXPECT_EQ(kVarTabFileName, "VarTab.Dat");
}

}  // namespace
}  // namespace bladeway

#include "dialogs/window_placement.h"

#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace bladeway {
namespace {

TEST(WindowPlacement, ControlsTakeTheirDesignPlaceAtFifteenTwipsAPixel) {
    QWidget window;
    QWidget control(&window);
    PlaceControl(control, 360, 240, 1815, 2625);
    EXPECT_EQ(control.geometry(), QRect(24, 16, 121, 175));
}

TEST(WindowPlacement, TwipsRoundToTheNearestPixel) {
    QWidget window;
    QWidget control(&window);
    PlaceControl(control, 7, 8, 22, 23);  // 0.47, 0.53, 1.47 and 1.53 pixels
    EXPECT_EQ(control.geometry(), QRect(0, 1, 1, 2));
}

TEST(WindowPlacement, ClientSizeInTwips) {
    QWidget window;
    SetClientSize(window, 6690, 4665);
    EXPECT_EQ(window.size(), QSize(446, 311));
}

TEST(WindowPlacement, OuterEdgesAndSizeOfAShownWindow) {
    QWidget window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // The offscreen platform draws a frame, as a desktop does: sizes include it.
    ASSERT_TRUE(HasFrame(window));
    SetOuterHeight(window, 3000);
    SetOuterWidth(window, 4500);
    SetOuterTop(window, 1500);
    SetOuterLeft(window, 750);
    EXPECT_EQ(OuterHeight(window), 3000);
    EXPECT_EQ(OuterWidth(window), 4500);
    EXPECT_EQ(OuterTop(window), 1500);
    EXPECT_EQ(OuterLeft(window), 750);
    EXPECT_EQ(window.frameGeometry(), QRect(50, 100, 300, 200));
    EXPECT_LT(window.height(), 200);
}

TEST(WindowPlacement, EdgesLeftOfAndAboveTheScreenAreNegative) {
    QWidget window;
    window.move(-4, -8);
    EXPECT_EQ(OuterLeft(window), -60);
    EXPECT_EQ(OuterTop(window), -120);
}

TEST(WindowPlacement, AbsurdStoredSizesDoNotWrap) {
    QWidget window;
    SetOuterTop(window, std::int64_t{1} << 40);
    EXPECT_GT(window.y(), 0);
}

}  // namespace
}  // namespace bladeway

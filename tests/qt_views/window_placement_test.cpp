#include "qt_views/window_placement.h"

#include <QDialog>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

#include "support/qt_helpers.h"

namespace bladeway {
namespace {

// The rounding is the core's (Twips.PixelsAtAnyDpiAreTheNearestHalvesAwayFromZero).
TEST(WindowPlacement, ControlsAndClientAreasGoToTheNearestPixelAtFifteenTwips) {
    QWidget window;
    QWidget control(&window);
    PlaceControl(control, 7, 8, 22, 23);  // 0.47, 0.53, 1.47 and 1.53 pixels
    EXPECT_EQ(control.geometry(), QRect(0, 1, 1, 2));
    PlaceControl(control, 15, 15, -300, -15);  // a size below zero is none
    EXPECT_EQ(control.geometry(), QRect(1, 1, 0, 0));
    SetClientSize(window, 6690, 4665);
    EXPECT_EQ(window.size(), QSize(446, 311));
}

TEST(WindowPlacement, APlaceAskedBeforeTheFrameIsKnownIsWhereTheFrameEndsUp) {
    QWidget window;
    PlaceWindow(window, OuterPlace{.top = 600, .left = {}, .height = {}, .width = {}});
    const OuterPlace place{.top = 1500, .left = 750, .height = 3000, .width = 4500};
    PlaceWindow(window, place);                              // the last place asked counts
    EXPECT_EQ(window.geometry(), QRect(50, 100, 300, 200));  // no frame known yet
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(HasFrame(window));
    EXPECT_TRUE(testing::WaitFor([&] { return OuterHeight(window) == 3000; }));
    EXPECT_EQ(OuterWidth(window), 4500);
    EXPECT_EQ(OuterTop(window), 1500);
    EXPECT_EQ(OuterLeft(window), 750);
    EXPECT_TRUE(window.findChildren<QObject*>("PendingPlace").isEmpty());  // done once
    // Once the frame is known, a place is applied at once and for good.
    PlaceWindow(window, OuterPlace{.top = 3000, .left = {}, .height = {}, .width = {}});
    EXPECT_EQ(OuterTop(window), 3000);
    EXPECT_TRUE(window.findChildren<QObject*>("PendingPlace").isEmpty());
    EXPECT_EQ(window.frameGeometry(), QRect(50, 200, 300, 200));
    EXPECT_LT(window.height(), 200);
    SetOuterTop(window, std::int64_t{1} << 40);  // absurd stored values do not wrap
    EXPECT_GT(window.y(), 0);
}

TEST(WindowPlacement, ADialogBorrowsItsParentsFrameAndAReportedFrameIsKept) {
    QWidget window;
    QDialog dialog(&window);
    EXPECT_TRUE(KnownFrameMargins(dialog).isNull());  // nothing known anywhere yet
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QMargins frame = KnownFrameMargins(window);
    ASSERT_FALSE(frame.isNull());
    dialog.resize(100, 50);
    EXPECT_EQ(OuterWidth(dialog), (100 + frame.left() + frame.right()) * 15);
    // The platform forgets the frame: the one it last reported still counts.
    window.hide();
    window.windowHandle()->destroy();
    ASSERT_FALSE(HasFrame(window));
    EXPECT_EQ(OuterHeight(window), (window.height() + frame.top() + frame.bottom()) * 15);
}

}  // namespace
}  // namespace bladeway

#include "dialogs/window_placement.h"

#include <QDialog>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

#include "support/qt_helpers.h"

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

TEST(WindowPlacement, APlaceAskedBeforeTheFrameIsKnownIsWhereTheFrameEndsUp) {
    QWidget window;
    OuterPlace place;
    place.height = 3000;
    place.width = 4500;
    place.top = 1500;
    place.left = 750;
    PlaceWindow(window, place);
    EXPECT_EQ(window.geometry(), QRect(50, 100, 300, 200));  // no frame known yet
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(HasFrame(window));
    EXPECT_TRUE(testing::WaitFor([&] { return OuterHeight(window) == 3000; }));
    EXPECT_EQ(OuterWidth(window), 4500);
    EXPECT_EQ(OuterTop(window), 1500);
    EXPECT_EQ(OuterLeft(window), 750);
    EXPECT_LT(window.height(), 200);
    EXPECT_EQ(window.findChild<QObject*>("PendingPlace"), nullptr);  // done once

    // Once the frame is known, a place is applied at once and for good.
    place.top = 3000;
    PlaceWindow(window, place);
    EXPECT_EQ(OuterTop(window), 3000);
    EXPECT_EQ(window.findChild<QObject*>("PendingPlace"), nullptr);
}

TEST(WindowPlacement, APlaceAskedTwiceBeforeShowingKeepsTheLastOne) {
    QWidget window;
    OuterPlace first;
    first.top = 600;
    PlaceWindow(window, first);
    OuterPlace second;
    second.top = 900;
    second.left = 300;
    PlaceWindow(window, second);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(testing::WaitFor([&] { return OuterTop(window) == 900; }));
    EXPECT_EQ(OuterLeft(window), 300);
    EXPECT_EQ(window.findChildren<QObject*>("PendingPlace").size(), 0);
}

TEST(WindowPlacement, AFrameOnceReportedIsKeptAndADialogBorrowsItsParents) {
    QWidget window;
    QDialog dialog(&window);
    EXPECT_TRUE(KnownFrameMargins(dialog).isNull());  // nothing known anywhere yet
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QMargins frame = KnownFrameMargins(window);
    ASSERT_FALSE(frame.isNull());
    // A dialog not yet shown measures with its parent window's frame.
    dialog.resize(100, 50);
    EXPECT_EQ(KnownFrameMargins(dialog), frame);
    EXPECT_EQ(OuterWidth(dialog), (100 + frame.left() + frame.right()) * 15);
    // The platform forgets the frame: the one it last reported still counts.
    window.hide();
    window.windowHandle()->destroy();
    ASSERT_FALSE(HasFrame(window));
    EXPECT_EQ(KnownFrameMargins(window), frame);
    EXPECT_EQ(OuterHeight(window), (window.height() + frame.top() + frame.bottom()) * 15);
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

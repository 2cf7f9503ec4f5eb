// The main of the desktop tests: GoogleTest with a QApplication on the xcb
// platform, made by the first test that runs (so that listing the tests
// needs no display) and ended before the program ends.
#include <QByteArray>
#include <gtest/gtest.h>

#include "desktop/desktop_fixture.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // These tests are about the window system: never the offscreen platform.
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
    const int result = RUN_ALL_TESTS();
    bladeway::testing::desktop::EndApplication();
    return result;
}

// The main of the GUI test programs: GoogleTest inside a QApplication on the
// offscreen platform, so the tests need no display.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The runs the tests make are kept for undo in a folder of their own,
    // gone with the tests, never among the user's.
    const QTemporaryDir state;
    if (qEnvironmentVariableIsEmpty("XDG_STATE_HOME") && state.isValid()) {
        qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    }
    const QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

#include <iostream>
#include <string_view>

#include <QApplication>

#include "app/app_environment.h"
#include "app/main_window.h"
#include "app/unbroken_text_view.h"
#include "bladeway/version.h"
#include "core/journal/journal_trimming.h"
#include "qt_views/design_controls.h"
#include "qt_views/program_icon.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: bladeway [--help | --version]\n"
    "\n"
    "Bladeway, the desktop program for CNC key-cutting shops: it lists the\n"
    "Lockplan key data files (*.dat) of a folder, shows the keys of one in a\n"
    "grid and writes a G-code program for every selected key from its master\n"
    "template.\n"
    "\n"
    "Options:\n"
    "  --help     print this text and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "The command-line tool bladeway-cli does the same from a shell or a script\n"
    "(see bladeway-cli --help).\n";

}  // namespace

int main(int argc, char** argv) {
    // Answered before Qt starts, so that they need no display.
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::cout << "bladeway " << bladeway::kVersion << '\n';
        return 0;
    }
    if (argc == 2 && std::string_view(argv[1]) == "--help") {
        std::cout << kUsage;
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(bladeway::ProgramTitle());
    QApplication::setWindowIcon(bladeway::ProgramIcon());
    // The main window ends the program itself: by Exit, or by its close box
    // after storing its place.
    QApplication::setQuitOnLastWindowClosed(false);
    bladeway::KeepCopiesPlain();

    bladeway::MainWindow window(bladeway::DesktopEnvironment());
    window.Load();
    window.show();
    const int status = QApplication::exec();
    // Old run journals a run began to remove are not left half removed.
    bladeway::WaitForJournalTrims();
    return status;
}

#include <iostream>
#include <string_view>

#include <QApplication>

#include "app/app_environment.h"
#include "app/app_icon.h"
#include "app/main_window.h"
#include "bladeway/version.h"

int main(int argc, char** argv) {
    // Answered before Qt starts, so that it needs no display.
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::cout << "bladeway " << bladeway::kVersion << '\n';
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Bladeway"));
    QApplication::setWindowIcon(bladeway::BladewayIcon());
    // The main window ends the program itself: by Exit, or by its close box
    // after storing its place.
    QApplication::setQuitOnLastWindowClosed(false);

    bladeway::MainWindow window(bladeway::DesktopEnvironment());
    window.Load();
    window.show();
    return QApplication::exec();
}

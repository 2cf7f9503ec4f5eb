#include "app/app_environment.h"

#include <QCoreApplication>
#include <QDate>
#include <QMessageBox>

#include "app/startup_about.h"
#include "core/platform/file_system.h"
#include "core/platform/paths.h"

namespace bladeway {

AppEnvironment DesktopEnvironment() {
    AppEnvironment environment;
    environment.programPath = ExeName();
    environment.fileSystem = &Disk();
    environment.showStartupAbout = &ShowStartupAbout;
    environment.endProgram = [] { QCoreApplication::exit(0); };
    environment.showMessage = [](QWidget* parent, const QString& message) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Bladeway"), message, QMessageBox::Ok,
                        parent);
        box.exec();
    };
    environment.today = [] {
        // Digits only, so the format is the same under every language setting.
        return QDate::currentDate().toString(QStringLiteral("MM/dd/yy")).toStdString();
    };
    return environment;
}

}  // namespace bladeway

#include "app/app_environment.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "app/run_message_box.h"
#include "core/gcode/local_date.h"
#include "core/os/paths.h"
#include "core/storage/file_system.h"
#include "qt_views/about_dialog.h"
#include "qt_views/design_controls.h"

namespace bladeway {

AppEnvironment DesktopEnvironment() {
    AppEnvironment environment;
    environment.programPath = RunningProgramPath();
    environment.fileSystem = &Disk();
    environment.showStartupAbout = &ShowAboutDialog;
    environment.endProgram = [] { QCoreApplication::exit(0); };
    environment.showMessage = [](QWidget* parent, const QString& message) {
        QMessageBox box(QMessageBox::Warning, ProgramTitle(), message, QMessageBox::Ok, parent);
        box.exec();
    };
    environment.showRunMessage = &OpenRunMessage;
    environment.today = &TodayMonthDayYear;
    return environment;
}

}  // namespace bladeway

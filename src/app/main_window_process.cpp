// The Process button: the processing run over the keys in the grid.
#include <string_view>

#include <QGuiApplication>
#include <QTableView>

#include "app/grid_selection.h"
#include "app/key_grid_model.h"
#include "app/main_window.h"
#include "core/platform/code_page.h"
#include "core/run/processing_run.h"

namespace bladeway {
namespace {

// The busy pointer for as long as the run lasts, however it ends.
class BusyPointer {
  public:
    BusyPointer() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QGuiApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

}  // namespace

void MainWindow::RunProcess() {
    const BusyPointer busy;
    const GridSelection selection(*gridView_->selectionModel());
    const RunEnvironment environment{
        .preferences = preferences_,
        .flatTemplateMode = flatTemplateMode_,
        .fileSystem = *environment_.fileSystem,
        .today = environment_.today,
        .showMessage =
            [this](std::string_view message) {
                // The message box shows the normal pointer over it.
                QGuiApplication::restoreOverrideCursor();
                environment_.showMessage(this, QString::fromStdString(DecodeWindows1252(message)));
                QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            },
    };
    // The run reports each key's outcome for the command-line tool; the
    // window shows only the index message, through the callback above.
    (void)RunProcessing(gridModel_->GetSheet(), selection, environment);
}

}  // namespace bladeway

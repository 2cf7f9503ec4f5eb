// The main window's place and size: the resize rule that makes the grid
// follow the window, and the settings that keep size and place.
#include <string>

#include <QCloseEvent>
#include <QTableView>

#include "app/background_run.h"
#include "app/main_window.h"
#include "core/presentation/twips.h"
#include "qt_views/window_placement.h"

namespace bladeway {
namespace {

constexpr std::int64_t kGridTop = 240;
constexpr std::int64_t kGridLeft = 2520;
// The grid keeps its size in a direction where less than this would be left.
constexpr std::int64_t kSmallestGridSide = 100;

}  // namespace

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (loadComplete_)
        ApplyResizeRule();
}

// Only the grid follows the window's size; the file list and the buttons keep
// their places. Every resize after the start-up stores the window's size.
void MainWindow::ApplyResizeRule() {
    gridView_->move(PixelsOf(kGridLeft), PixelsOf(kGridTop));
    const std::int64_t height = OuterHeight(*this) - (kGridTop + 500);
    const std::int64_t width = OuterWidth(*this) - (kGridLeft + 200);
    if (height > kSmallestGridSide)
        gridView_->resize(gridView_->width(), PixelsOf(height));
    if (width > kSmallestGridSide)
        gridView_->resize(PixelsOf(width), gridView_->height());
    StoreSize(settings_, *this, settings_keys::kMainWindowPlace);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closed during a run, the window stops it and closes once the key
    // being written is finished and the index entries made so far are saved.
    if (RunGoingOn()) {
        event->ignore();
        closeAfterRun_ = true;
        run_->Stop();
        return;
    }
    StorePlace();
    event->accept();
    environment_.endProgram();
}

void MainWindow::StorePlace() {
    StorePosition(settings_, *this, settings_keys::kMainWindowPlace);
}

}  // namespace bladeway

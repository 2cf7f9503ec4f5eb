// The main window's place and size: the resize rule that makes the grid
// follow the window, and the settings that keep size and place.
#include <string>

#include <QCloseEvent>
#include <QTableView>

#include "app/form1.h"
#include "core/platform/twips.h"
#include "dialogs/window_placement.h"

namespace bladeway {
namespace {

constexpr std::int64_t kGridTop = 240;
constexpr std::int64_t kGridLeft = 2520;
// The grid keeps its size in a direction where less than this would be left.
constexpr std::int64_t kSmallestGridSide = 100;

int Pixels(std::int64_t twips) {
    return static_cast<int>(TwipsToPixels(twips));
}

}  // namespace

void Form1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (loadComplete_)
        ApplyResizeRule();
}

// Only the grid follows the window's size; the file list and the buttons keep
// their places. Every resize after the start-up stores the window's size.
void Form1::ApplyResizeRule() {
    keyData_->move(Pixels(kGridLeft), Pixels(kGridTop));
    const std::int64_t height = OuterHeight(*this) - (kGridTop + 500);
    const std::int64_t width = OuterWidth(*this) - (kGridLeft + 200);
    if (height > kSmallestGridSide)
        keyData_->resize(keyData_->width(), Pixels(height));
    if (width > kSmallestGridSide)
        keyData_->resize(Pixels(width), keyData_->height());
    (void)settings_.WriteSetting("Positions", "MainHeight", std::to_string(OuterHeight(*this)));
    (void)settings_.WriteSetting("Positions", "MainWidth", std::to_string(OuterWidth(*this)));
}

void Form1::closeEvent(QCloseEvent* event) {
    StorePlace();
    event->accept();
    environment_.endProgram();
}

void Form1::StorePlace() {
    (void)settings_.WriteSetting("Positions", "MainTop", std::to_string(OuterTop(*this)));
    (void)settings_.WriteSetting("Positions", "MainLeft", std::to_string(OuterLeft(*this)));
}

}  // namespace bladeway

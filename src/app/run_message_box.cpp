#include "app/run_message_box.h"

#include <memory>

#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include "app/view_text.h"
#include "qt_views/window_placement.h"

namespace bladeway {
namespace {

// Beside its parent (the progress window), where RunMessagePlace puts it.
// The parent's frame tells how tall the box's title bar will be.
void PlaceBeside(QWidget& box, const QWidget& parent) {
    const QScreen* screen = parent.screen();
    if (screen == nullptr || !parent.isVisible())
        return;
    const QRect progress = parent.frameGeometry();
    const int titleBar = progress.height() - parent.height();
    const QSize size = box.sizeHint() + QSize(0, titleBar);
    const PixelPoint place = RunMessagePlace(PixelsOf(progress), size.width(), size.height(),
                                             PixelsOf(screen->availableGeometry()));
    box.move(static_cast<int>(place.x), static_cast<int>(place.y));
}

}  // namespace

QWidget* OpenRunMessage(QWidget* parent, const QString& message,
                        std::function<void(bool stop)> answered) {
    auto* box = new QMessageBox(QMessageBox::Warning, ViewText(kRunMessageCaption), message,
                                QMessageBox::Ok, parent);
    box->setObjectName(ViewText(kRunMessageObjectName));
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Modal to nothing: a modal box would block the progress window's Cancel,
    // and under a window-modal progress window it could not take input at all.
    box->setWindowModality(Qt::NonModal);
    QPushButton* stop =
        Named(box->addButton(ViewText(kRunMessageStop.caption), QMessageBox::RejectRole),
              kRunMessageStop);
    auto* ok = qobject_cast<QPushButton*>(box->button(QMessageBox::Ok));
    const auto buttonOf = [ok, stop](RunMessageButton button) {
        return button == RunMessageButton::kOk ? ok : stop;
    };
    box->setDefaultButton(buttonOf(kRunMessageDefault));
    // Escape and the close box press this button.
    box->setEscapeButton(buttonOf(kRunMessageEscape));
    auto model = std::make_shared<RunMessageModel>(std::move(answered));
    QObject::connect(box, &QMessageBox::finished, box, [box, ok, model] {
        model->Answer(box->clickedButton() == ok ? RunMessageButton::kOk
                                                 : RunMessageButton::kStopProcessing);
    });
    if (parent != nullptr)
        PlaceBeside(*box, *parent);
    box->show();
    box->raise();
    box->activateWindow();
    return box;
}

}  // namespace bladeway

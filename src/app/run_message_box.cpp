#include "app/run_message_box.h"

#include <algorithm>

#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include "qt_views/design_controls.h"

namespace bladeway {
namespace {

// The message goes just above its parent (the progress window), or below it
// when the screen has no room above, rather than over it: Cancel stays in
// sight. The parent's frame tells how tall the box's title bar will be.
void PlaceBeside(QWidget& box, const QWidget& parent) {
    const QScreen* screen = parent.screen();
    if (screen == nullptr || !parent.isVisible())
        return;
    const QRect progress = parent.frameGeometry();
    const int titleBar = progress.height() - parent.height();
    const QSize size = box.sizeHint() + QSize(0, titleBar);
    const QRect available = screen->availableGeometry();
    QPoint place(progress.left() + (progress.width() - size.width()) / 2,
                 progress.top() - size.height());
    if (place.y() < available.top())
        place.setY(progress.bottom() + 1);
    place.setX(std::clamp(place.x(), available.left(),
                          std::max(available.left(), available.right() - size.width())));
    box.move(place);
}

}  // namespace

QWidget* OpenRunMessage(QWidget* parent, const QString& message,
                        std::function<void(bool stop)> answered) {
    auto* box =
        new QMessageBox(QMessageBox::Warning, ProgramTitle(), message, QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("RunMessage"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Modal to nothing: a modal box would block the progress window's Cancel,
    // and under a window-modal progress window it could not take input at all.
    box->setWindowModality(Qt::NonModal);
    QPushButton* stop =
        box->addButton(QString::fromLatin1(kStopRunCaption), QMessageBox::RejectRole);
    stop->setObjectName(QStringLiteral("StopRun"));
    box->setDefaultButton(QMessageBox::Ok);
    // Escape and the close box stop the run, as Stop Processing does.
    box->setEscapeButton(stop);
    QObject::connect(box, &QMessageBox::finished, box, [box, answered = std::move(answered)] {
        answered(box->clickedButton() != box->button(QMessageBox::Ok));
    });
    if (parent != nullptr)
        PlaceBeside(*box, *parent);
    box->show();
    box->raise();
    box->activateWindow();
    return box;
}

}  // namespace bladeway

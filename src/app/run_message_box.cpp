#include "app/run_message_box.h"

#include <QMessageBox>
#include <QPushButton>

namespace bladeway {

QWidget* OpenRunMessage(QWidget* parent, const QString& message,
                        std::function<void(bool stop)> answered) {
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Bladeway"), message,
                                QMessageBox::Ok, parent);
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
    box->show();
    box->raise();
    box->activateWindow();
    return box;
}

}  // namespace bladeway

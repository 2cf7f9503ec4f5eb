#include "app/run_message_box.h"

#include <QMessageBox>
#include <QPushButton>

namespace bladeway {

bool ShowRunMessage(QWidget* parent, const QString& message) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Bladeway"), message, QMessageBox::Ok,
                    parent);
    box.setObjectName(QStringLiteral("RunMessage"));
    QPushButton* stop =
        box.addButton(QString::fromLatin1(kStopRunCaption), QMessageBox::RejectRole);
    stop->setObjectName(QStringLiteral("StopRun"));
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
    return box.clickedButton() == stop;
}

}  // namespace bladeway

#include "app/before_run_box.h"

#include <QMessageBox>
#include <QPushButton>

#include "app/view_text.h"
#include "core/presentation/before_run_model.h"

namespace bladeway {

void AskBeforeRun(QWidget* parent, BeforeRunModel& model) {
    QMessageBox box(QMessageBox::Warning, ViewText(kBeforeRunCaption), ViewText(model.Text()),
                    QMessageBox::NoButton, parent);
    box.setObjectName(ViewText(kBeforeRunObjectName));
    QPushButton* process =
        Named(box.addButton(ViewText(kBeforeRunProcess.caption), QMessageBox::AcceptRole),
              kBeforeRunProcess);
    QPushButton* cancel =
        Named(box.addButton(ViewText(kBeforeRunCancel.caption), QMessageBox::RejectRole),
              kBeforeRunCancel);
    const auto buttonOf = [process, cancel](BeforeRunButton button) {
        return button == BeforeRunButton::kProcessAnyway ? process : cancel;
    };
    box.setDefaultButton(buttonOf(kBeforeRunDefault));
    box.setEscapeButton(buttonOf(kBeforeRunEscape));
    box.exec();
    model.Answer(box.clickedButton() == process ? BeforeRunButton::kProcessAnyway
                                                : BeforeRunButton::kCancel);
}

}  // namespace bladeway

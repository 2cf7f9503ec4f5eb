#include "app/undo_messages.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

#include "app/view_text.h"
#include "qt_views/design_controls.h"

namespace bladeway {
namespace {

int Show(QMessageBox& box) {
    // The undo waits for the user, not for a run: the normal pointer.
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    const int answer = box.exec();
    QGuiApplication::restoreOverrideCursor();
    return answer;
}

}  // namespace

bool AskYesOrNo(QWidget* parent, const std::string& question, const char* objectName) {
    QMessageBox box(QMessageBox::Question, ProgramTitle(), ViewText(question),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setObjectName(objectName);
    box.setDefaultButton(QMessageBox::No);
    return Show(box) == QMessageBox::Yes;
}

// The text can be selected (the undo's ID, to undo it in turn); lines the
// box leaves out are under Show Details, in a scrolling text.
void TellUndoOutcome(QWidget* parent, const UndoOutcome& outcome) {
    QMessageBox box(outcome.complete ? QMessageBox::Information : QMessageBox::Warning,
                    ProgramTitle(), ViewText(outcome.text), QMessageBox::Ok, parent);
    box.setObjectName(kUndoOutcomeName);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QPushButton* copy = nullptr;
    if (outcome.whole != outcome.text) {
        box.setDetailedText(ViewText(outcome.whole));
        copy = box.addButton(ViewText(kUndoOutcomeCopy.caption), QMessageBox::ActionRole);
        copy->setObjectName(ViewText(kUndoOutcomeCopy.objectName));
    }
    Show(box);
    if (copy != nullptr && box.clickedButton() == copy)
        QGuiApplication::clipboard()->setText(ViewText(outcome.whole));
}

}  // namespace bladeway

#include "app/undo_messages.h"

#include <QGuiApplication>
#include <QMessageBox>

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

void TellUndoOutcome(QWidget* parent, const std::string& text, bool complete) {
    QMessageBox box(complete ? QMessageBox::Information : QMessageBox::Warning, ProgramTitle(),
                    ViewText(text), QMessageBox::Ok, parent);
    box.setObjectName(kUndoOutcomeName);
    Show(box);
}

}  // namespace bladeway

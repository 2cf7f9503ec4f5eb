#include "app/before_run_box.h"

#include <algorithm>

#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include "app/unbroken_text_view.h"
#include "app/view_text.h"
#include "core/presentation/before_run_model.h"

namespace bladeway {
namespace {

// A message box as wide as its widest path or command, up to the screen's
// width: QMessageBox keeps itself narrower than a long repair command, and
// would cut it.
class WideEnoughMessageBox final : public QMessageBox {
  public:
    WideEnoughMessageBox(const std::string& text, const QString& caption, QWidget* parent)
        : QMessageBox(QMessageBox::Warning, caption, UnbrokenViewText(text), QMessageBox::NoButton,
                      parent),
          text_(text) {}

  protected:
    // QMessageBox sizes itself when shown and at each layout request.
    bool event(QEvent* event) override {
        const bool handled = QMessageBox::event(event);
        if (event->type() == QEvent::Show || event->type() == QEvent::LayoutRequest)
            Widen();
        return handled;
    }

  private:
    void Widen() {
        const auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        if (label == nullptr || layout() == nullptr)
            return;
        const int widest = WidestUnbrokenWidth(label->fontMetrics(), text_);
        const int needed = label->x() + widest + label->fontMetrics().averageCharWidth() +
                           layout()->contentsMargins().right();
        if (needed <= width())
            return;
        const QScreen* shownOn = screen();
        const int wide =
            shownOn != nullptr ? std::min(needed, shownOn->availableGeometry().width()) : needed;
        setFixedSize(wide, layout()->totalHeightForWidth(wide));
    }

    std::string text_;
};

}  // namespace

void AskBeforeRun(QWidget* parent, BeforeRunModel& model) {
    WideEnoughMessageBox box(model.Text(), ViewText(kBeforeRunCaption), parent);
    box.setObjectName(ViewText(kBeforeRunObjectName));
    box.setTextFormat(Qt::PlainText);
    // Its paths and commands can be selected and copied; Ctrl+C copies it all.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
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

#pragma once
// While it lives, the window given and every control in it take no input:
// no click, key, wheel or context menu reaches them. Closing is left to the
// window, which knows how to end what blocks it. Other windows (a progress
// dialog, a message box) work as usual, and the blocked window still paints.
#include <QObject>

class QWidget;

namespace bladeway {

class InputBlocker final : public QObject {
    Q_OBJECT

  public:
    explicit InputBlocker(QWidget& window);
    ~InputBlocker() override;
    InputBlocker(const InputBlocker&) = delete;
    InputBlocker& operator=(const InputBlocker&) = delete;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget& window_;
};

}  // namespace bladeway

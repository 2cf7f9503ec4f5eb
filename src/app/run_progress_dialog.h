#pragma once
// The progress of a long run (RunProgress): "Writing programs: 1,234 of
// 3,000 keys", a bar, and Cancel. Cancel, Escape and the window's close
// button ask the run to stop; the dialog stays until the run has ended. It
// blocks no other window: the run's message opens above it.
#include <cstddef>

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace bladeway {

class RunProgressDialog final : public QDialog {
    Q_OBJECT

  public:
    explicit RunProgressDialog(QWidget* parent);

    void ShowProgress(std::size_t done, std::size_t total);
    QString Text() const;
    QPushButton& CancelButton() { return *cancel_; }

  signals:
    void StopRequested();

  public slots:
    void reject() override;

  private:
    QLabel* label_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace bladeway

#pragma once
// The progress window of a long run (RunProgress): a view over
// RunProgressModel (core/presentation/run_progress_model.h), which words the
// count and decides what Cancel does. Cancel, Escape and the window's close
// button ask the run to stop; the dialog stays until the run has ended. It
// blocks no other window: the run's message opens above it.
#include <cstddef>
#include <string>
#include <string_view>

#include <QDialog>

#include "core/presentation/run_progress_model.h"

class QHideEvent;
class QLabel;
class QProgressBar;
class QPushButton;

namespace bladeway {

class RunProgressDialog final : public QDialog, private RunProgressView {
    Q_OBJECT

  public:
    explicit RunProgressDialog(QWidget* parent);

    // A run begins: nothing done yet, Cancel ready. Hiding the dialog at a
    // run's end does the same.
    void BeginRun() { model_.Begin(); }
    void ShowProgress(const RunCounts& counts) { model_.ShowProgress(counts); }
    void ShowWaiting(std::string_view line) { model_.ShowWaiting(line); }
    QString Text() const;
    QString WaitingText() const;
    QPushButton& CancelButton() { return *cancel_; }
    const RunProgressModel& Model() const { return model_; }

  signals:
    void StopRequested();

  public slots:
    void reject() override { model_.Cancel(); }

  protected:
    void hideEvent(QHideEvent* event) override;

  private:
    // RunProgressView
    void ShowCount(const std::string& text, std::size_t done, std::size_t total) override;
    void ShowCancel(std::string_view caption, bool enabled) override;
    void ShowWaiting(const std::string& text) override;
    void RequestStop() override { emit StopRequested(); }

    RunProgressModel model_;
    QLabel* label_ = nullptr;
    QLabel* waiting_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace bladeway

#pragma once
// The progress window of a long run (RunProgress): a view over the run
// session's RunProgressModel (core/presentation/run_progress_model.h), which
// words the count and decides what Cancel does. Cancel, Escape and the
// window's close button ask the run to stop; the dialog stays until the run
// has ended. It blocks no other window: the run's message opens above it.
#include <cstddef>
#include <string>
#include <string_view>

#include <QDialog>

#include "core/presentation/run_progress_model.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace bladeway {

class RunProgressDialog final : public QDialog, private RunProgressView {
    Q_OBJECT

  public:
    // Shows `model` from now on; its owner ends that before the model goes
    // (RunProgressModel::SetView(nullptr)).
    RunProgressDialog(QWidget* parent, RunProgressModel& model);

    QString Text() const;
    QPushButton& CancelButton() { return *cancel_; }
    const RunProgressModel& Model() const { return model_; }

  public slots:
    void reject() override { model_.Cancel(); }

  private:
    // RunProgressView
    void ShowCount(const std::string& text, std::size_t done, std::size_t total) override;
    void ShowCancel(std::string_view caption, bool enabled) override;
    void ShowWaiting(const std::string& text) override;

    RunProgressModel& model_;
    QLabel* label_ = nullptr;
    QLabel* waiting_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace bladeway

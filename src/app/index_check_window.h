#pragma once
// The index check window (IndexCheck): a view over IndexCheckModel
// (core/presentation/index_check_model.h), which reads the index, words
// what `bladeway-cli index check` says of it and repairs it on request.
#include <QWidget>

#include "core/presentation/index_check_model.h"

class QPlainTextEdit;
class QPushButton;

namespace bladeway {

// The repair's question box, by which tests find it.
inline constexpr const char* kRepairQuestionName = "RepairQuestion";

class IndexCheckWindow final : public QWidget, private IndexCheckView {
    Q_OBJECT

  public:
    // Shows `model` (the application's) from now on.
    IndexCheckWindow(QWidget* parent, IndexCheckModel& model);

    QString Text() const;

  private:
    // IndexCheckView
    void ShowFindings(const std::string& text) override;
    void EnableRepair(bool enabled) override;
    bool ConfirmRepair(const std::string& question) override;
    void Close() override { close(); }
    void FitLongestLine();

    IndexCheckModel& model_;
    QPlainTextEdit* text_ = nullptr;
    QPushButton* repair_ = nullptr;
};

}  // namespace bladeway

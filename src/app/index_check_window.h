#pragma once
// The index check window (IndexCheck): a view over IndexCheckModel
// (core/presentation/index_check_model.h), which reads the index and words
// what `bladeway-cli index check` says of it.
#include <string>

#include <QWidget>

#include "core/presentation/index_check_model.h"

class QPlainTextEdit;

namespace bladeway {

class IndexCheckWindow final : public QWidget, private IndexCheckView {
    Q_OBJECT

  public:
    explicit IndexCheckWindow(QWidget* parent);

    // Reads the index at `path` now and shows the findings, or why it
    // cannot be read.
    void Check(const std::string& path) { model_.Check(path); }
    QString Text() const;

  private:
    // IndexCheckView
    void ShowFindings(const std::string& text) override;
    void Close() override { close(); }

    IndexCheckModel model_;
    QPlainTextEdit* text_ = nullptr;
};

}  // namespace bladeway

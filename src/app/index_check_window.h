#pragma once
// What `bladeway-cli index check` says of one INDICE.Prg, in a window of its
// own (IndexCheck), read-only: repairing stays a deliberate command.
#include <QWidget>

class QPlainTextEdit;

namespace bladeway {

class IndexCheckWindow final : public QWidget {
    Q_OBJECT

  public:
    explicit IndexCheckWindow(QWidget* parent);

    // Reads the index at `path` now and shows the findings, or why it
    // cannot be read.
    void Check(const std::string& path);
    QString Text() const;

  private:
    QPlainTextEdit* text_ = nullptr;
};

}  // namespace bladeway

#pragma once
// The main window's file list (File1): shows the names MainWindowModel lists
// and chooses, and tells the model when the user chooses a row and when the
// listed folder changes on the disk (files came or went).
#include <optional>
#include <span>
#include <string>

#include <QFileSystemWatcher>
#include <QListWidget>
#include <QString>

namespace bladeway {

class DataFileList final : public QListWidget {
    Q_OBJECT

  public:
    explicit DataFileList(QWidget* parent = nullptr);

    // Shows `names` (the file system's bytes) of `folder`, row `chosen`
    // selected or none, and watches `folder`; reports no choice.
    void Show(const std::string& folder, std::span<const std::string> names,
              std::optional<std::size_t> chosen);
    // The folder whose files are shown.
    QString Folder() const;
    // The selected file's name; empty when none is selected.
    QString SelectedFileName() const;

  signals:
    // The user chose this row.
    void RowChosen(int row);
    // Files came or went in the watched folder.
    void FolderChanged();

  protected:
    // With nothing selected, an arrow key, Space or Return first chooses the
    // file the list's focus frame is on (the only file of a one-file list
    // could not be chosen by an arrow otherwise).
    void keyPressEvent(QKeyEvent* event) override;

  private:
    std::string folder_;
    QFileSystemWatcher watcher_;
    bool showing_ = false;
};

}  // namespace bladeway

#pragma once
// The main window's file list (File1): the key data files of one folder
// (which ones and their order: core/presentation/key_data_file_list.h), kept
// up to date while files appear and vanish.
// A change of the selection by the user, by mouse or keyboard, is reported;
// refreshing the list keeps the selected name and reports nothing.
#include <string>

#include <QFileSystemWatcher>
#include <QListWidget>
#include <QString>

namespace bladeway {

class DataFileList final : public QListWidget {
    Q_OBJECT

  public:
    // Starts on the process's current folder.
    explicit DataFileList(QWidget* parent = nullptr);

    // Lists `folder` (absolute, or relative to the process's current folder).
    // Returns false and keeps the list as it was when it cannot be listed.
    bool SetFolder(const QString& folder);
    // The listed folder as an absolute path.
    const QString& Folder() const { return folder_; }
    // The selected file's name; empty when none is selected.
    QString SelectedFileName() const;

    // Folder and selected name as the file system names them (bytes).
    std::string FolderBytes() const;
    std::string SelectedFileNameBytes() const;

    // Lists the folder again.
    void Refresh();

  signals:
    // The user selected another file.
    void SelectionChanged();

  protected:
    // With nothing selected, an arrow key, Space or Return first chooses the
    // file the list's focus frame is on (the only file of a one-file list
    // could not be chosen by an arrow otherwise).
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QString folder_;
    QFileSystemWatcher watcher_;
    bool refreshing_ = false;
};

}  // namespace bladeway

#pragma once
// The folder list of the browse dialog (Dir1): the path from the open
// folder's root down to the open folder, then the folders inside it. The
// user opens a folder by double-clicking it (or pressing Enter on it); a
// folder that is merely highlighted is not open.
#include <QString>
#include <QStringList>
#include <QTreeWidget>

namespace bladeway {

class FolderList final : public QTreeWidget {
    Q_OBJECT

  public:
    explicit FolderList(QWidget* parent = nullptr);

    // Where the shown path begins: the deepest of these that holds the open
    // folder, or "/" when none does.
    void SetRoots(const QStringList& roots);

    // Opens `folder` (absolute, or relative to the process's current folder).
    // Returns false and changes nothing when it names no existing folder.
    bool SetOpenFolder(const QString& folder);
    // The open folder as a clean absolute path: no trailing "/" but for "/".
    const QString& OpenFolder() const { return openFolder_; }

  signals:
    // The open folder is now a different one.
    void OpenFolderChanged(const QString& folder);

  private:
    void Rebuild();
    void OpenItem(QTreeWidgetItem* item);

    QString openFolder_;
    QStringList roots_;
};

}  // namespace bladeway

#include "app/data_file_list.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace bladeway {

DataFileList::DataFileList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    // The selection, not the current row: a list that takes the focus by
    // the keyboard gets a current row without selecting a file.
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (!refreshing_ && !SelectedFileName().isEmpty())
            emit SelectionChanged();
    });
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &DataFileList::Refresh);
    SetFolder(QDir::currentPath());
}

bool DataFileList::SetFolder(const QString& folder) {
    if (folder.isEmpty())
        return false;
    const QFileInfo info(folder);
    if (!info.isDir())
        return false;
    if (!folder_.isEmpty())
        watcher_.removePath(folder_);
    folder_ = QDir::cleanPath(info.absoluteFilePath());
    watcher_.addPath(folder_);
    // A new folder starts with nothing selected.
    refreshing_ = true;
    clear();
    refreshing_ = false;
    Refresh();
    return true;
}

void DataFileList::Refresh() {
    const QString selected = SelectedFileName();
    const QStringList names = QDir(folder_).entryList({QStringLiteral("*.dat")}, QDir::Files,
                                                      QDir::Name | QDir::IgnoreCase);
    refreshing_ = true;
    clear();
    addItems(names);
    if (!selected.isEmpty()) {
        const int row = static_cast<int>(names.indexOf(selected));
        if (row >= 0)
            setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
    refreshing_ = false;
    // A folder that was removed and made again is watched anew.
    if (!watcher_.directories().contains(folder_))
        watcher_.addPath(folder_);
}

QString DataFileList::SelectedFileName() const {
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

std::string DataFileList::FolderBytes() const {
    return QFile::encodeName(folder_).toStdString();
}

std::string DataFileList::SelectedFileNameBytes() const {
    return QFile::encodeName(SelectedFileName()).toStdString();
}

}  // namespace bladeway

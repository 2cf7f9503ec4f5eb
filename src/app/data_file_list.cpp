#include "app/data_file_list.h"

#include <algorithm>
#include <string>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>

#include "core/presentation/key_data_file_list.h"
#include "core/storage/file_system.h"

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

void DataFileList::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool chooses = key == Qt::Key_Down || key == Qt::Key_Up || key == Qt::Key_Space ||
                         key == Qt::Key_Return || key == Qt::Key_Enter;
    if (chooses && event->modifiers() == Qt::NoModifier && selectedItems().isEmpty() &&
        count() > 0) {
        setCurrentRow(std::max(currentRow(), 0), QItemSelectionModel::ClearAndSelect);
        return;
    }
    QListWidget::keyPressEvent(event);
}

bool DataFileList::SetFolder(const QString& folder) {
    if (folder.isEmpty())
        return false;
    const QFileInfo info(folder);
    if (!CanListFolder(Disk(), QFile::encodeName(info.absoluteFilePath()).toStdString()))
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
    // Every file the system does not hide; the core picks and orders them.
    std::vector<std::string> files;
    for (const QString& name : QDir(folder_).entryList(QDir::Files, QDir::Unsorted))
        files.push_back(QFile::encodeName(name).toStdString());
    QStringList names;
    for (const std::string& name : KeyDataFileNames(std::move(files)))
        names.append(QFile::decodeName(QByteArray::fromStdString(name)));
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

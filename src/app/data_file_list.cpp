#include "app/data_file_list.h"

#include <algorithm>

#include <QFile>
#include <QKeyEvent>

namespace bladeway {

DataFileList::DataFileList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    // The selection, not the current row: a list that takes the focus by
    // the keyboard gets a current row without selecting a file.
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> selected = selectedItems();
        if (!showing_ && !selected.isEmpty())
            emit RowChosen(row(selected.first()));
    });
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &DataFileList::FolderChanged);
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

void DataFileList::Show(const std::string& folder, std::span<const std::string> names,
                        std::optional<std::size_t> chosen) {
    if (folder != folder_ && !folder_.empty())
        watcher_.removePath(Folder());
    folder_ = folder;
    const QString watched = Folder();
    // A folder that was removed and made again is watched anew.
    if (!watcher_.directories().contains(watched))
        watcher_.addPath(watched);
    showing_ = true;
    clear();
    for (const std::string& name : names)
        addItem(QFile::decodeName(QByteArray::fromStdString(name)));
    if (chosen)
        setCurrentRow(static_cast<int>(*chosen), QItemSelectionModel::ClearAndSelect);
    showing_ = false;
}

QString DataFileList::Folder() const {
    return QFile::decodeName(QByteArray::fromStdString(folder_));
}

QString DataFileList::SelectedFileName() const {
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

}  // namespace bladeway

#include "app/data_file_list.h"

#include <algorithm>
#include <optional>

#include <QFile>
#include <QKeyEvent>

#include "core/presentation/key_data_file_list.h"

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
    const FileListKey key = [event] {
        switch (event->key()) {
            case Qt::Key_Down:
                return FileListKey::kDown;
            case Qt::Key_Up:
                return FileListKey::kUp;
            case Qt::Key_Space:
                return FileListKey::kSpace;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                return FileListKey::kReturn;
            default:
                return FileListKey::kOther;
        }
    }();
    const bool modified = (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                                 Qt::AltModifier | Qt::MetaModifier)) != 0;
    const std::optional<std::size_t> focus =
        currentRow() >= 0 ? std::optional(static_cast<std::size_t>(currentRow())) : std::nullopt;
    if (const auto row = RowTheFirstKeyChooses(key, modified, !selectedItems().isEmpty(),
                                               static_cast<std::size_t>(count()), focus)) {
        setCurrentRow(static_cast<int>(*row), QItemSelectionModel::ClearAndSelect);
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

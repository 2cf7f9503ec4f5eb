#include "app/key_grid_model.h"

#include <optional>
#include <string>
#include <utility>

#include "core/keydata/key_data_file.h"
#include "core/presentation/key_grid_rules.h"
#include "core/text/code_page.h"

namespace bladeway {

KeyGridModel::KeyGridModel(QObject* parent) : QAbstractTableModel(parent) {}

// True for an index of this model that lies inside the sheet.
bool KeyGridModel::IsCell(const QModelIndex& index) const {
    return index.isValid() && index.model() == this && index.row() < sheet_.RowCount() &&
           index.column() < sheet_.ColumnCount();
}

int KeyGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : sheet_.RowCount();
}

int KeyGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : sheet_.ColumnCount();
}

QVariant KeyGridModel::data(const QModelIndex& index, int role) const {
    if (!IsCell(index))
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const std::string_view bytes = sheet_.CellText(index.column() + 1, index.row() + 1);
    if (bytes.empty())
        return QString();
    return QString::fromStdString(DecodeWindows1252(bytes));
}

bool KeyGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole)
        return false;
    if (!IsCell(index))
        return false;
    const std::string bytes = EncodeWindows1252(value.toString().toStdString());
    if (!sheet_.SetCellText(index.column() + 1, index.row() + 1, bytes))
        return false;
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags KeyGridModel::flags(const QModelIndex& index) const {
    if (!IsCell(index))
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

QVariant KeyGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || section < 0)
        return {};
    if (orientation == Qt::Horizontal) {
        const std::optional<std::string> heading = KeyGridColumnHeading(sheet_, section);
        return heading ? QVariant(QString::fromStdString(*heading)) : QVariant();
    }
    const std::optional<int> heading = KeyGridRowHeading(sheet_, section);
    return heading ? QVariant(*heading) : QVariant();
}

Outcome KeyGridModel::LoadFile(std::string_view folder, std::string_view fileName,
                               const FileSystem& fileSystem) {
    // Load into a new sheet first, so a failed read changes nothing.
    Sheet loaded;
    if (Outcome outcome = LoadKeyDataFile(folder, fileName, loaded, fileSystem); !outcome) {
        return outcome;
    }
    beginResetModel();
    sheet_ = std::move(loaded);
    endResetModel();
    return {};
}

}  // namespace bladeway

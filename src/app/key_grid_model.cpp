#include "app/key_grid_model.h"

#include <optional>
#include <string>

#include "core/presentation/key_grid_rules.h"
#include "core/text/code_page.h"

namespace bladeway {

KeyGridModel::KeyGridModel(EditableSheet& sheet, QObject* parent)
    : QAbstractTableModel(parent), sheet_(sheet) {}

// True for an index of this model that lies inside the sheet.
bool KeyGridModel::IsCell(const QModelIndex& index) const {
    return index.isValid() && index.model() == this && index.row() < Cells().RowCount() &&
           index.column() < Cells().ColumnCount();
}

int KeyGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Cells().RowCount();
}

int KeyGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Cells().ColumnCount();
}

QVariant KeyGridModel::data(const QModelIndex& index, int role) const {
    if (!IsCell(index))
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const std::string_view bytes = Cells().CellText(index.column() + 1, index.row() + 1);
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
    if (!sheet_.EditCell(index.column() + 1, index.row() + 1, bytes))
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
        const std::optional<std::string> heading = KeyGridColumnHeading(Cells(), section);
        return heading ? QVariant(QString::fromStdString(*heading)) : QVariant();
    }
    const std::optional<int> heading = KeyGridRowHeading(Cells(), section);
    return heading ? QVariant(*heading) : QVariant();
}

}  // namespace bladeway

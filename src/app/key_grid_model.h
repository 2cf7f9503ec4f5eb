#pragma once
// The key grid's model (KeyData): a table view over the main window model's
// key sheet, one column per key. That sheet stays the only store of the
// keys: the view shows its cells decoded from Windows-1252 and hands what the
// user types back to it, encoded.
#include <QAbstractTableModel>

#include "core/presentation/editable_sheet.h"

namespace bladeway {

class KeyGridModel final : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit KeyGridModel(EditableSheet& sheet, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The sheet has been replaced whole. Its cells are the new ones already:
    // the reset only tells the views to forget every index of the old one
    // (nothing reads the cells between the two calls, and a read of a cell
    // the new sheet does not have gives nothing).
    void SheetReplaced() {
        beginResetModel();
        endResetModel();
    }

  private:
    bool IsCell(const QModelIndex& index) const;

    const Sheet& Cells() const { return sheet_.Cells(); }

    EditableSheet& sheet_;
};

}  // namespace bladeway

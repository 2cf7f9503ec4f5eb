#pragma once
// The key grid's model (KeyData): a table view over the core sheet, one
// column per key. The sheet stays the only store of the keys: the view shows
// its cells decoded from Windows-1252 and stores what the user types back
// into it, encoded, and the processing run reads the sheet itself.
#include <string_view>

#include <QAbstractTableModel>

#include "core/keydata/sheet.h"
#include "core/storage/file_system.h"
#include "core/text/expected.h"

namespace bladeway {

class KeyGridModel final : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit KeyGridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Read-only access for the processing run and for tests.
    const Sheet& GetSheet() const { return sheet_; }

    // Loads a key data file, replacing the whole sheet. A file that cannot be
    // read leaves the sheet (and the view) as they were.
    Outcome LoadFile(std::string_view folder, std::string_view fileName,
                     const FileSystem& fileSystem);

  private:
    bool IsCell(const QModelIndex& index) const;

    Sheet sheet_;
};

}  // namespace bladeway

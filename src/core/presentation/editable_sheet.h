#pragma once
// A grid's sheet as a view shows and edits it: the view reads Cells() and
// hands each edit to EditCell, so that whoever keeps the sheet decides what
// becomes of it. The key grid's sheet is the main window model's; the
// substitution table's grid keeps its own (OwnedSheet).
#include <string_view>
#include <utility>

#include "core/keydata/sheet.h"

namespace bladeway {

class EditableSheet {
  public:
    virtual ~EditableSheet() = default;
    virtual const Sheet& Cells() const = 0;
    // Stores the cell's new bytes; false, storing nothing, for a cell
    // outside the sheet.
    virtual bool EditCell(int column, int row, std::string_view bytes) = 0;
};

class OwnedSheet final : public EditableSheet {
  public:
    const Sheet& Cells() const override { return sheet_; }
    bool EditCell(int column, int row, std::string_view bytes) override {
        return sheet_.SetCellText(column, row, bytes);
    }
    void Replace(Sheet sheet) { sheet_ = std::move(sheet); }

  private:
    Sheet sheet_;
};

}  // namespace bladeway

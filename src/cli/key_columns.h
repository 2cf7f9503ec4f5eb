#pragma once
// The key columns a `--keys` list names ("2,5-7", or by the grid's letters
// "B,E-G"), and the selection that picks exactly their row-1 cells, as a
// user would in the grid.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/keydata/sheet_selection.h"
#include "core/text/expected.h"

namespace bladeway {

class KeyColumns final : public SheetSelection {
  public:
    // Comma-separated columns and ranges "first-last"; a column is a number
    // from 1 or the grid's letters in any letter case, and the two may mix
    // ("1,C-E"). Blanks around the items are allowed. Anything else is
    // refused with the reason.
    static Expected<KeyColumns> Parse(std::string_view list);

    int LastColumn() const;

    bool IsCellSelected(int column, int row) const override;
    bool IsAnyBlockSelected() const override { return true; }

  private:
    std::vector<std::pair<int, int>> ranges_;
};

}  // namespace bladeway

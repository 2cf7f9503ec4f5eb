#pragma once
// The key columns a `--keys` list names ("2,5-7"), and the selection that
// picks exactly their row-1 cells, as a user would in the grid.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/keydata/sheet_selection.h"
#include "core/platform/expected.h"

namespace bladeway {

class KeyColumns final : public SheetSelection {
  public:
    // Comma-separated columns (from 1) and ranges "first-last"; blanks around
    // the items are allowed. Anything else is refused with the reason.
    static Expected<KeyColumns> Parse(std::string_view list);

    int LastColumn() const;

    bool IsCellSelected(int column, int row) const override;
    bool IsAnyBlockSelected() const override { return true; }

  private:
    std::vector<std::pair<int, int>> ranges_;
};

}  // namespace bladeway

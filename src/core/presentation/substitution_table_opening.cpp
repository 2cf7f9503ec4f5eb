#include "core/presentation/substitution_table_opening.h"

namespace bladeway {

void MakeSubstitutionTable(SubstitutionTableWindows& windows) {
    if (!windows.IsMade())
        windows.Make();
}

void OpenSubstitutionTable(SubstitutionTableWindows& windows,
                           std::optional<OuterPosition> position) {
    // Made first: the place is read from the settings after the Load.
    MakeSubstitutionTable(windows);
    windows.ShowModalAt(position.value_or(windows.StoredPosition()));
    // Closed from its frame: the next opening makes it afresh.
    if (windows.IsMade() && windows.IsUnloaded())
        windows.Unmake();
}

}  // namespace bladeway

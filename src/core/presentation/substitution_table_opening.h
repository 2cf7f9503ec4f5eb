#pragma once
// How the main window's Vars button opens the substitution table editor,
// whatever windows a front end makes it of: the editor is made on first use
// (making it is its Load, which sizes it as the settings keep it), kept while
// it is hidden, so that it keeps its grid, and made afresh after its frame
// closed it (the model says it is unloaded then).
#include <optional>

#include "core/presentation/window_place.h"

namespace bladeway {

// A front end's hold on the editor's window; there is one at a time.
class SubstitutionTableWindows {
  public:
    virtual ~SubstitutionTableWindows() = default;

    virtual bool IsMade() const = 0;
    // Makes the window over a new SubstitutionTableModel.
    virtual void Make() = 0;
    // The made window's SubstitutionTableModel::StoredPosition and Unloaded.
    virtual OuterPosition StoredPosition() const = 0;
    virtual bool IsUnloaded() const = 0;
    // Moves the made window's outer top and then its left to `position`
    // and shows it modally; returns once it is hidden or closed.
    virtual void ShowModalAt(OuterPosition position) = 0;
    // Destroys the made window.
    virtual void Unmake() = 0;
};

// Makes the editor's window unless it is made.
void MakeSubstitutionTable(SubstitutionTableWindows& windows);

// Vars: makes the window unless it is made, shows it modally at `position`
// or, without one, at the top and left the settings keep (read once it is
// made), and destroys it when its frame closed it.
void OpenSubstitutionTable(SubstitutionTableWindows& windows,
                           std::optional<OuterPosition> position = std::nullopt);

}  // namespace bladeway

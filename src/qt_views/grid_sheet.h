#pragma once

// The whole sheet of a QTableWidget (its size, cell texts, header texts,
// column widths and row heights) as the core's SavedSheet, the form the
// saved-sheet file holds (core/settings/saved_sheet.h). Texts go to the
// core as UTF-8 and come back from it the same way.

#include <QTableWidget>

#include "core/settings/saved_sheet.h"

namespace bladeway {

SavedSheet CaptureSheet(const QTableWidget& grid);
// Replaces the grid's whole sheet by `sheet`: its size, every header (a
// missing one is the grid's default heading), size and cell.
void ApplySheet(QTableWidget& grid, const SavedSheet& sheet);

}  // namespace bladeway

#pragma once
// The key grid's selection as the core's rules take it (GridSelectionRanges
// in core/presentation/key_grid_rules.h): the table view's selected ranges
// and its current cell, translated into cells counted from 1.
#include "core/presentation/key_grid_rules.h"

class QItemSelectionModel;

namespace bladeway {

GridSelectionRanges SelectionOf(const QItemSelectionModel& selection);

}  // namespace bladeway

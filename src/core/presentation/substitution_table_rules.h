#pragma once

// The substitution table editor's fixed parts: the table file, its first
// sheet and the layout that follows the window's size.

#include <array>
#include <cstdint>
#include <string_view>

#include "core/presentation/twips.h"

namespace bladeway {

inline constexpr std::string_view kSubstitutionTableFileName = "VarTab.Dat";
inline constexpr std::string_view kSubstitutionTableCaption = "Variable Substitution Table";

// The first sheet, used until a saved table has been loaded.
inline constexpr int kSubstitutionTableRowCount = 11;
inline constexpr int kSubstitutionTableColumnCount = 50;
inline constexpr std::array<std::string_view, kSubstitutionTableRowCount>
    kSubstitutionTableRowHeadings = {
        "L", "H", "S", "A", "B", "C", "D", "E", "F", "G", "I",
};

// Its sizes as a saved sheet keeps them (pixels at 96 DPI), the same for
// both desktop programs at any DPI: columns as wide as the key grid's (1260
// twips), rows a line of the grid's font (8-point Tahoma, 13 pixels) and a
// table row's room above and below it.
inline constexpr int kSubstitutionTableColumnPixels = 84;
inline constexpr int kSubstitutionTableRowPixels = 19;

// Design sizes, in twips.
inline constexpr std::int64_t kSubstitutionTableClientWidth = 5265;
inline constexpr std::int64_t kSubstitutionTableClientHeight = 4095;
inline constexpr std::int64_t kSubstitutionTableButtonWidth = 1215;
inline constexpr std::int64_t kSubstitutionTableButtonHeight = 495;
// The grid's size before the first layout sets it: the design client area
// less the margins and the button row.
inline constexpr std::int64_t kSubstitutionTableGridDesignWidth = 4815;
inline constexpr std::int64_t kSubstitutionTableGridDesignHeight = 3015;

struct SubstitutionTableLayout {
    TwipsRect grid;
    TwipsRect ok;
    TwipsRect cancel;
};

// The layout for a window of this outer height and width (title bar and
// borders included) when the grid is now `gridHeight` high and `gridWidth`
// wide. The grid sits 200 twips from the top and left; it takes the height
// and width left over (outer size less 1400 and 500) where more than 100 is
// left, and keeps its size otherwise. The buttons lie 200 twips below the
// grid, OK under its left edge and Cancel ending under its right edge.
SubstitutionTableLayout LayOutSubstitutionTable(double outerHeight, double outerWidth,
                                                std::int64_t gridHeight, std::int64_t gridWidth);

// The smallest outer size the window may be given or dragged to (twips,
// height and width): the grid as high as a button and wide enough for OK
// and Cancel side by side, so that both stay in the window and apart. At
// any smaller size the layout would leave the buttons where the grid's old
// size put them, possibly outside the window.
std::int64_t SmallestSubstitutionTableHeight();
std::int64_t SmallestSubstitutionTableWidth();

}  // namespace bladeway

#pragma once

// The substitution table editor's fixed parts: the table file, its first
// sheet, the settings keys of its window, and the layout that follows the
// window's size.

#include <array>
#include <cstdint>
#include <string_view>

namespace bladeway {

inline constexpr std::string_view kVarTabFileName = "VarTab.Dat";
inline constexpr std::string_view kVarSubCaption = "Variable Substitution Table";

// The first sheet, used until a saved table has been loaded.
inline constexpr int kVarSubRowCount = 11;
inline constexpr int kVarSubColumnCount = 50;
inline constexpr std::array<std::string_view, kVarSubRowCount> kVarSubRowHeadings = {
    "L", "H", "S", "A", "B", "C", "D", "E", "F", "G", "I",
};

// Settings of the window, section "Positions".
inline constexpr std::string_view kPositionsSection = "Positions";
inline constexpr std::string_view kVarSubTopKey = "VarSubTop";
inline constexpr std::string_view kVarSubLeftKey = "VarSubLeft";
inline constexpr std::string_view kVarSubHeightKey = "VarSubHeight";
inline constexpr std::string_view kVarSubWidthKey = "VarSubWidth";

// Design sizes, in twips.
inline constexpr std::int64_t kVarSubClientWidth = 5265;
inline constexpr std::int64_t kVarSubClientHeight = 4095;
inline constexpr std::int64_t kVarSubButtonWidth = 1215;
inline constexpr std::int64_t kVarSubButtonHeight = 495;
// The grid's size before the first layout sets it: the design client area
// less the margins and the button row.
inline constexpr std::int64_t kVarSubGridDesignWidth = 4815;
inline constexpr std::int64_t kVarSubGridDesignHeight = 3015;

struct TwipsRect {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;

    bool operator==(const TwipsRect&) const = default;
};

struct VarSubLayout {
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
VarSubLayout LayOutVarSub(double outerHeight, double outerWidth, std::int64_t gridHeight,
                          std::int64_t gridWidth);

}  // namespace bladeway

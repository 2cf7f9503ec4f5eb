#include "core/presentation/substitution_table_rules.h"

#include "core/text/text.h"

namespace bladeway {
namespace {

constexpr std::int64_t kGridTop = 200;
constexpr std::int64_t kGridLeft = 200;
constexpr std::int64_t kBelowGrid = 1200;  // title bar, borders, margins and the button row
constexpr std::int64_t kBesideGrid = 300;  // borders and margins
constexpr std::int64_t kSmallestGridSide = 100;
constexpr std::int64_t kButtonGap = 200;

}  // namespace

SubstitutionTableLayout LayOutSubstitutionTable(double outerHeight, double outerWidth,
                                                std::int64_t gridHeight, std::int64_t gridWidth) {
    SubstitutionTableLayout layout;
    layout.grid = TwipsRect{kGridLeft, kGridTop, gridWidth, gridHeight};

    const std::int64_t availableHeight =
        RoundHalfEven(outerHeight - static_cast<double>(kGridTop + kBelowGrid));
    const std::int64_t availableWidth =
        RoundHalfEven(outerWidth - static_cast<double>(kGridLeft + kBesideGrid));
    if (availableHeight > kSmallestGridSide)
        layout.grid.height = availableHeight;
    if (availableWidth > kSmallestGridSide)
        layout.grid.width = availableWidth;

    const std::int64_t buttonTop = layout.grid.height + layout.grid.top + kButtonGap;
    layout.ok = TwipsRect{layout.grid.left, buttonTop, kSubstitutionTableButtonWidth,
                          kSubstitutionTableButtonHeight};
    layout.cancel =
        TwipsRect{layout.grid.width + layout.grid.left - kSubstitutionTableButtonWidth, buttonTop,
                  kSubstitutionTableButtonWidth, kSubstitutionTableButtonHeight};
    return layout;
}

std::int64_t SmallestSubstitutionTableHeight() {
    return kGridTop + kBelowGrid + kSubstitutionTableButtonHeight;
}

std::int64_t SmallestSubstitutionTableWidth() {
    return kGridLeft + kBesideGrid + 2 * kSubstitutionTableButtonWidth + kButtonGap;
}

}  // namespace bladeway

#pragma once
// How a program compares with the file already at its path, line by line, for
// showing the two side by side. Lines that only one side has (a continuation
// line a key gained, say) are paired around, so that they do not make every
// later line differ. Texts come out as UTF-8 decoded from Windows-1252.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace bladeway {

// One row of the side-by-side view. A line number is 0 where that side has no
// line in the row. A row of context holds a line both sides have.
struct ComparedLine {
    std::size_t beforeNumber = 0;
    std::string beforeText;
    std::size_t afterNumber = 0;
    std::string afterText;
    bool differs = false;
};

struct LineComparison {
    // The differing rows up to the shown limit, each run of them with the
    // line both sides have before and after it, where there is one.
    std::vector<ComparedLine> rows;
    std::size_t differing = 0;  // every differing row, shown or not
    std::size_t notShown = 0;   // differing rows past the shown limit
};

inline constexpr std::size_t kShownDifferingLines = 20;
// A longer line is shown cut, ending in "…".
inline constexpr std::size_t kShownLineBytes = 256;

// Compares `before` (the file on disk) with `after` (what would be written),
// lines split after each line feed and compared with their line ends. Where
// two differing lines would read the same, their line ends are named:
// "[CR LF]", "[LF]" or "[no line end]".
LineComparison CompareLines(std::string_view before, std::string_view after,
                            std::size_t shownLimit = kShownDifferingLines);

// "and 12 more differing lines"
std::string MoreDifferingText(std::size_t count);

}  // namespace bladeway

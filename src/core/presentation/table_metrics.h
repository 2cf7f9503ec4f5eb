#pragma once
// Measures the tables and trees of both desktop programs share, in pixels at
// 96 DPI: each program scales them to its screen as it scales the rest.
namespace bladeway {

// A table row is its font's height and this much room above and below the
// text together (the key grid, the run report, the differing lines).
inline constexpr int kTableRowPadding = 6;

// How far a folder's name stands in from its parent's in a folder tree.
inline constexpr int kFolderTreeIndentation = 10;

}  // namespace bladeway

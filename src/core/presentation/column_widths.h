#pragma once
// The key grid's column widths in pixels: every column as wide as the
// default, except those the user resized by their heading's edge. Few are,
// so only they are kept, and a place is found by walking them.
#include <map>

namespace bladeway {

class ColumnWidths {
  public:
    // `count` columns, all `defaultWidth` wide.
    void Reset(int count, int defaultWidth);
    // A new default (a new DPI): the resized columns scale with it.
    void Rescale(int defaultWidth);

    int Width(int column) const;
    // Below 1 counts as 1; the default width is kept as no exception.
    void SetWidth(int column, int width);

    // Where column `column` (from 1) begins, from the first one's left edge.
    int Left(int column) const;
    int Total() const { return Left(count_ + 1); }
    // The column at `x` from the first one's left edge; a place before the
    // first or after the last gives that column.
    int ColumnAt(int x) const;

  private:
    int count_ = 0;
    int default_ = 1;
    std::map<int, int> resized_;
};

}  // namespace bladeway

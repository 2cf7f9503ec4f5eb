#pragma once

// The key grid's data: a sheet of text cells addressed by column and row
// (both from 1), with a column count and a row count. A loaded key data file is kept as one
// buffer that the cells refer into; only cells edited afterwards own their
// text, and empty cells cost nothing.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace bladeway {

// Where one cell's text lies in a loaded buffer.
struct CellSpan {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

// A whole sheet as a loader builds it: the buffer, the counts, and for each
// column the spans of its rows 1, 2, ... (rows past a column's spans are empty).
struct LoadedSheet {
    std::shared_ptr<const std::string> buffer;
    int columnCount = 0;
    int rowCount = 0;
    std::vector<std::uint32_t> columnFirstSpan;  // columnCount + 1 entries into `spans`
    std::vector<CellSpan> spans;
};

class Sheet {
  public:
    static constexpr int kInitialColumnCount = 500;
    static constexpr int kInitialRowCount = 500;

    // 500 columns and 500 rows, all empty.
    Sheet();

    int ColumnCount() const { return columnCount_; }
    int RowCount() const { return rowCount_; }
    // A count below 0 counts as 0. Shrinking drops the cells outside.
    void SetColumnCount(int count);
    void SetRowCount(int count);

    // The cell's text; empty for a cell outside the sheet. The view lasts
    // until the sheet changes.
    std::string_view CellText(int column, int row) const;
    // Stores the text unchanged; returns false (and stores nothing) for a cell
    // outside the sheet.
    bool SetCellText(int column, int row, std::string_view text);

    // Replaces the whole sheet by a loaded one: its counts and cells.
    void Load(LoadedSheet loaded);
    // True once a file has been loaded (an empty one too).
    bool IsLoaded() const { return loaded_.buffer != nullptr; }
    // The bytes the sheet was last loaded from (none before a load); edits
    // do not change them.
    std::string_view LoadedContent() const {
        return loaded_.buffer ? std::string_view(*loaded_.buffer) : std::string_view();
    }

  private:
    bool Contains(int column, int row) const;
    static std::uint64_t Key(int column, int row);

    int columnCount_ = kInitialColumnCount;
    int rowCount_ = kInitialRowCount;
    LoadedSheet loaded_;
    // Loaded cells beyond these stay hidden, also when the counts grow again.
    int loadedColumnLimit_ = 0;
    int loadedRowLimit_ = 0;
    std::unordered_map<std::uint64_t, std::string> edited_;
};

}  // namespace bladeway

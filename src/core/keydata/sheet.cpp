#include "core/keydata/sheet.h"

#include <algorithm>
#include <utility>

namespace bladeway {

Sheet::Sheet() = default;

void Sheet::SetColumnCount(int count) {
    count = std::max(count, 0);
    if (count < columnCount_) {
        std::erase_if(edited_, [count](const auto& cell) {
            return static_cast<int>(cell.first >> 32) > count;
        });
        loadedColumnLimit_ = std::min(loadedColumnLimit_, count);
    }
    columnCount_ = count;
}

void Sheet::SetRowCount(int count) {
    count = std::max(count, 0);
    if (count < rowCount_) {
        std::erase_if(edited_, [count](const auto& cell) {
            return static_cast<int>(cell.first & 0xFFFFFFFFU) > count;
        });
        loadedRowLimit_ = std::min(loadedRowLimit_, count);
    }
    rowCount_ = count;
}

bool Sheet::Contains(int column, int row) const {
    return column >= 1 && row >= 1 && column <= columnCount_ && row <= rowCount_;
}

std::uint64_t Sheet::Key(int column, int row) {
    return (static_cast<std::uint64_t>(column) << 32) | static_cast<std::uint32_t>(row);
}

std::string_view Sheet::CellText(int column, int row) const {
    if (!Contains(column, row)) {
        return {};
    }
    if (!edited_.empty()) {
        const auto edit = edited_.find(Key(column, row));
        if (edit != edited_.end()) {
            return edit->second;
        }
    }
    if (column > loadedColumnLimit_ || row > loadedRowLimit_) {
        return {};
    }
    const auto index = static_cast<std::size_t>(column);
    const std::uint32_t first = loaded_.columnFirstSpan[index - 1];
    const std::uint32_t end = loaded_.columnFirstSpan[index];
    const auto rowIndex = static_cast<std::uint32_t>(row - 1);
    if (rowIndex >= end - first) {
        return {};
    }
    const CellSpan span = loaded_.spans[first + rowIndex];
    return std::string_view(*loaded_.buffer).substr(span.offset, span.length);
}

bool Sheet::SetCellText(int column, int row, std::string_view text) {
    if (!Contains(column, row)) {
        return false;
    }
    edited_.insert_or_assign(Key(column, row), std::string(text));
    return true;
}

void Sheet::Load(LoadedSheet loaded) {
    loaded_ = std::move(loaded);
    columnCount_ = std::max(loaded_.columnCount, 0);
    rowCount_ = std::max(loaded_.rowCount, 0);
    loadedColumnLimit_ =
        std::min(columnCount_, static_cast<int>(loaded_.columnFirstSpan.size()) - 1);
    loadedRowLimit_ = rowCount_;
    edited_.clear();
}

}  // namespace bladeway

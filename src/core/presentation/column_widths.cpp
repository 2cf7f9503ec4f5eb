#include "core/presentation/column_widths.h"

#include <algorithm>
#include <cstdint>

namespace bladeway {

void ColumnWidths::Reset(int count, int defaultWidth) {
    count_ = std::max(count, 0);
    default_ = std::max(defaultWidth, 1);
    resized_.clear();
}

void ColumnWidths::Rescale(int defaultWidth) {
    const int previous = default_;
    default_ = std::max(defaultWidth, 1);
    // Widths and defaults are positive: rounded to the nearest pixel.
    for (auto& [column, width] : resized_) {
        const std::int64_t scaled =
            (std::int64_t{width} * default_ + previous / 2) / std::int64_t{previous};
        width = std::max(static_cast<int>(scaled), 1);
    }
}

int ColumnWidths::Width(int column) const {
    const auto found = resized_.find(column);
    return found == resized_.end() ? default_ : found->second;
}

void ColumnWidths::SetWidth(int column, int width) {
    if (column < 1 || column > count_)
        return;
    width = std::max(width, 1);
    if (width == default_)
        resized_.erase(column);
    else
        resized_[column] = width;
}

int ColumnWidths::Left(int column) const {
    int left = (column - 1) * default_;
    for (auto it = resized_.begin(); it != resized_.end() && it->first < column; ++it)
        left += it->second - default_;
    return left;
}

int ColumnWidths::ColumnAt(int x) const {
    if (count_ == 0 || x < 0)
        return 1;
    int column = 1;
    int start = 0;  // where `column` begins
    for (const auto& [resized, width] : resized_) {
        const int plain = (resized - column) * default_;
        if (x < start + plain)
            return column + (x - start) / default_;
        start += plain;
        if (x < start + width)
            return resized;
        start += width;
        column = resized + 1;
    }
    return std::min(column + (x - start) / default_, count_);
}

}  // namespace bladeway

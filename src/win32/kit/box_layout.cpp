#include "win32/kit/box_layout.h"

#include <algorithm>
#include <utility>

#include "win32/kit/text_layout.h"

namespace bladeway::win32 {
namespace {

// Whether the control is to show, whether or not its window shows yet.
bool Shown(HWND control) {
    return (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

}  // namespace

ControlRow& ControlRow::Left(HWND control, int width) {
    left_.push_back({control, width});
    return *this;
}

ControlRow& ControlRow::Right(HWND control, int width) {
    right_.push_back({control, width});
    return *this;
}

void ControlRow::Place(int left, int top, int right, int height) const {
    for (const Item& item : left_) {
        if (!Shown(item.control))
            continue;
        PlaceChild(item.control, left, top, item.width, height);
        left += item.width + spacing_;
    }
    for (const Item& item : right_) {
        if (!Shown(item.control))
            continue;
        right -= item.width;
        PlaceChild(item.control, right, top, item.width, height);
        right -= spacing_;
    }
}

ControlColumn& ControlColumn::Line(HWND control) {
    items_.push_back({Kind::kLine, control, 0});
    return *this;
}

ControlColumn& ControlColumn::Fixed(HWND control, int height) {
    items_.push_back({Kind::kFixed, control, height});
    return *this;
}

ControlColumn& ControlColumn::Rest(HWND control) {
    items_.push_back({Kind::kRest, control, 0});
    return *this;
}

ControlColumn& ControlColumn::Row(ControlRow row, int height) {
    items_.push_back({Kind::kRow, nullptr, height, std::move(row)});
    return *this;
}

ControlColumn& ControlColumn::Space(int height) {
    items_.push_back({Kind::kSpace, nullptr, height});
    return *this;
}

void ControlColumn::Place(int width, int height) const {
    const int inner = std::max(width - 2 * margin_, 0);
    // Each item's height (-1: it takes no room), then the rest's.
    std::vector<int> heights;
    heights.reserve(items_.size());
    int used = 0;
    int placed = 0;
    for (const Item& item : items_) {
        int itemHeight = item.height;
        if (item.kind == Kind::kLine)
            itemHeight = Shown(item.control) && GetWindowTextLengthW(item.control) > 0
                             ? WrappedTextHeight(item.control, inner)
                             : -1;
        else if (item.control != nullptr && !Shown(item.control))
            itemHeight = -1;
        heights.push_back(itemHeight);
        if (itemHeight < 0)
            continue;
        used += itemHeight;
        if (item.kind != Kind::kSpace)
            ++placed;
    }
    used += std::max(placed - 1, 0) * spacing_;
    const int rest = std::max(height - 2 * margin_ - used, 0);
    int top = margin_;
    for (std::size_t index = 0; index < items_.size(); ++index) {
        const Item& item = items_[index];
        const int itemHeight = item.kind == Kind::kRest ? rest : heights[index];
        // A line without room keeps the column's width, at no height, so that
        // what is measured against its width once it has a text holds.
        if (itemHeight < 0 && item.kind == Kind::kLine)
            PlaceChild(item.control, margin_, top, inner, 0);
        if (itemHeight < 0)
            continue;
        if (item.kind == Kind::kRow)
            item.row.Place(margin_, top, margin_ + inner, itemHeight);
        else if (item.control != nullptr)
            PlaceChild(item.control, margin_, top, inner, itemHeight);
        // A static control keeps what it drew when it shrinks: its text
        // wraps anew only when drawn again.
        if (item.kind == Kind::kLine)
            InvalidateRect(item.control, nullptr, TRUE);
        top += itemHeight + (item.kind == Kind::kSpace ? 0 : spacing_);
    }
}

}  // namespace bladeway::win32

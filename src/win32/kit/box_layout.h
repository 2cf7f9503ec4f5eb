#pragma once
// Rows and columns of controls, as the Qt windows lay the same windows out
// with their box layouts. A column stacks its items from the top, `spacing`
// apart inside `margin`, each as tall as it needs and one (the rest) taking
// the height left; a row puts controls side by side, some from its left end
// and some from its right. A hidden control, or a line without text, takes
// no room (such a line keeps the column's width at no height). Sizes are
// pixels of the parent's client area.
#include <vector>

#include "win32/kit/windows_api.h"

namespace bladeway::win32 {

class ControlRow {
  public:
    explicit ControlRow(int spacing) : spacing_(spacing) {}
    // The next control from the left end, or from the right end inward.
    ControlRow& Left(HWND control, int width);
    ControlRow& Right(HWND control, int width);
    // Places the row's controls `height` tall at `top`, between `left` and `right`.
    void Place(int left, int top, int right, int height) const;

  private:
    struct Item {
        HWND control;
        int width;
    };
    int spacing_;
    std::vector<Item> left_, right_;
};

class ControlColumn {
  public:
    ControlColumn(int margin, int spacing) : margin_(margin), spacing_(spacing) {}
    // A text control as tall as its text wrapped to the column's width.
    ControlColumn& Line(HWND control);
    // A control of this height.
    ControlColumn& Fixed(HWND control, int height);
    // The control that takes the height the others leave.
    ControlColumn& Rest(HWND control);
    // A row of controls of this height.
    ControlColumn& Row(ControlRow row, int height);
    // Room of this height beside the spacing.
    ControlColumn& Space(int height);
    // Places every item in a client area this large.
    void Place(int width, int height) const;

  private:
    enum class Kind { kLine, kFixed, kRest, kRow, kSpace };
    struct Item {
        Kind kind;
        HWND control;
        int height;
        ControlRow row{0};  // a kRow item's
    };
    int margin_;
    int spacing_;
    std::vector<Item> items_;
};

}  // namespace bladeway::win32

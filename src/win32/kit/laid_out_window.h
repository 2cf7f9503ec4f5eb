#pragma once
// A window that blocks no other and lays its controls out itself, as its
// model asks of a window whose table or text grows with it: the controls go
// where Layout puts them each time the size or the DPI changes. Escape and
// the close box hide it (DialogWindow without a modal loop); the program's
// message loop gives it Tab and Escape (IsDialogMessage on its root window).
#include <memory>
#include <string_view>

#include "core/presentation/twips.h"
#include "win32/kit/dialog_window.h"
#include "win32/kit/tooltips.h"

namespace bladeway::win32 {

class LaidOutWindow : public DialogWindow {
  public:
    // Shows the window, or brings it to the front when it shows already.
    void ShowModeless();

  protected:
    static constexpr DWORD kResizableStyle =
        WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX;

    // Makes the resizable window over `owner` with `client` twips at first.
    bool CreateLaidOut(const wchar_t* className, std::string_view caption, const TwipsRect& client,
                       HWND owner, Stacking stacking = Stacking::kAboveOwner);
    // Places the controls in a client area this large (pixels).
    virtual void Layout(int width, int height) = 0;
    // The tip `control` shows under the pointer (UTF-8); an empty one takes
    // the tip away.
    void AddTip(HWND control, std::string_view tip);
    // A table's cell that its column cuts short shows whole as the table's
    // tip while the pointer rests on it.
    void ShowCutCellsAsTips(HWND table);
    // A multi-line text that is only read: Tab, Enter and Escape act on the
    // window, as in a dialog box, instead of staying in the text.
    static void LeaveDialogKeysToWindow(HWND text);
    // Lays the controls out again for the size now (a text changed).
    void LayoutNow();
    // The window grows, up to the work area's width, until `control` is at
    // least `width` pixels wide, and cannot be made narrower by hand: a path
    // or command in it stays in sight whole.
    void KeepWideEnough(HWND control, int width);
    // The gap between controls and around the edges, at the window's DPI.
    int Gap() const;
    // A push button's height and the width its caption needs.
    int ButtonHeight() const;
    int ButtonWidth(HWND button) const;

    void OnDpiChanged() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    static LRESULT CALLBACK TipCutCells(HWND table, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR window);

    std::unique_ptr<Tooltips> tips_;  // made with the first tip
    int narrowestWidth_ = 0;          // outer pixels; 0 for the system's own
};

}  // namespace bladeway::win32

#include "win32/kit/laid_out_window.h"

#include <algorithm>
#include <string>

#include "win32/kit/dpi.h"
#include "win32/kit/list_view.h"
#include "win32/kit/text_layout.h"
#include "win32/kit/wide_text.h"

namespace bladeway::win32 {
namespace {

// A gap of 120 twips, a button 375 twips high as on the main window, and at
// least 1215 twips wide.
constexpr std::int64_t kGapTwips = 120;
constexpr std::int64_t kButtonHeightTwips = 375;
constexpr std::int64_t kButtonMinimumWidthTwips = 1215;

constexpr UINT_PTR kDialogKeysSubclass = 1;
constexpr UINT_PTR kCutCellsSubclass = 2;

LRESULT CALLBACK LeaveDialogKeys(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR /*id*/, DWORD_PTR /*data*/) {
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(hwnd, &LeaveDialogKeys, kDialogKeysSubclass);
    const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
    if (message == WM_GETDLGCODE)
        return result & ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
    return result;
}

}  // namespace

bool LaidOutWindow::CreateLaidOut(const wchar_t* className, std::string_view caption,
                                  const TwipsRect& client, HWND owner, Stacking stacking) {
    return CreateFrame(className, caption, client, owner, kResizableStyle, 0, stacking);
}

void LaidOutWindow::ShowModeless() {
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    BringWindowToTop(Handle());
    // The keys go to the window from now on, also when it was up already
    // and another window of the program had them.
    SetActiveWindow(Handle());
    RestoreFocus();
}

void LaidOutWindow::AddTip(HWND control, std::string_view tip) {
    if (control == nullptr || (tip.empty() && !tips_))
        return;
    if (!tips_)
        tips_ = std::make_unique<Tooltips>(Handle());
    tips_->Set(control, tip);
}

void LaidOutWindow::ShowCutCellsAsTips(HWND table) {
    SetWindowSubclass(table, &TipCutCells, kCutCellsSubclass, reinterpret_cast<DWORD_PTR>(this));
}

// The tip follows the pointer from cell to cell; the tooltip control sees
// the same moves and shows, moves or hides it.
LRESULT CALLBACK LaidOutWindow::TipCutCells(HWND table, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR /*id*/, DWORD_PTR window) {
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(table, &TipCutCells, kCutCellsSubclass);
    if (message == WM_MOUSEMOVE) {
        auto* self = reinterpret_cast<LaidOutWindow*>(window);
        const std::string tip =
            Utf8(CutCellTextAt(table, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
        if (!self->tips_ || self->tips_->TextOf(table) != tip)
            self->AddTip(table, tip);
    }
    return DefSubclassProc(table, message, wParam, lParam);
}

void LaidOutWindow::LeaveDialogKeysToWindow(HWND text) {
    SetWindowSubclass(text, &LeaveDialogKeys, kDialogKeysSubclass, 0);
}

void LaidOutWindow::LayoutNow() {
    RECT client{};
    GetClientRect(Handle(), &client);
    Layout(client.right, client.bottom);
}

void LaidOutWindow::KeepWideEnough(HWND control, int width) {
    RECT inside{};
    GetClientRect(control, &inside);
    RECT outer{};
    GetWindowRect(Handle(), &outer);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int outerWidth = static_cast<int>(outer.right - outer.left);
    const int needed = std::min(outerWidth + width - static_cast<int>(inside.right - inside.left),
                                static_cast<int>(work.right - work.left));
    narrowestWidth_ = needed;
    if (needed > outerWidth) {
        SetWindowPos(Handle(), nullptr, 0, 0, needed, static_cast<int>(outer.bottom - outer.top),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        KeepOnScreen();  // grown to the right, it may reach past the screen
    }
}

int LaidOutWindow::Gap() const {
    return TwipsToPixels(kGapTwips, Dpi());
}

int LaidOutWindow::ButtonHeight() const {
    return TwipsToPixels(kButtonHeightTwips, Dpi());
}

int LaidOutWindow::ButtonWidth(HWND button) const {
    return std::max(TextWidth(button) + 2 * Gap(), TwipsToPixels(kButtonMinimumWidthTwips, Dpi()));
}

void LaidOutWindow::OnDpiChanged() {
    LayoutNow();
}

LRESULT LaidOutWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE && wParam != SIZE_MINIMIZED) {
        Layout(LOWORD(lParam), HIWORD(lParam));
        return 0;
    }
    if (message == WM_GETMINMAXINFO && narrowestWidth_ > 0) {
        auto& limits = *reinterpret_cast<MINMAXINFO*>(lParam);
        limits.ptMinTrackSize.x =
            std::max(limits.ptMinTrackSize.x, static_cast<LONG>(narrowestWidth_));
        return 0;
    }
    return DialogWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace bladeway::win32

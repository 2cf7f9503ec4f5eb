#include "win32/views/run_progress_window.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "core/presentation/pixel_rect.h"
#include "win32/kit/wide_text.h"

namespace bladeway::win32 {
namespace {

constexpr const wchar_t* kClassName = L"BladewayRunProgress";

// The model names the controls and their order (text, bar, Cancel at the
// right) and the least width; the rows are stacked here as a dialog box
// stacks them, with the usual margins and a button of the usual size.
constexpr std::int64_t kMargin = 180;
constexpr std::int64_t kGap = 120;
constexpr std::int64_t kTextHeight = 270;
constexpr std::int64_t kBarHeight = 255;
constexpr std::int64_t kButtonWidth = 1125;
constexpr std::int64_t kButtonHeight = 345;
constexpr std::int64_t kWidth = kRunProgressMinimumWidth;
constexpr std::int64_t kInnerWidth = kWidth - 2 * kMargin;
constexpr std::int64_t kBarTop = kMargin + kTextHeight + kGap;
constexpr std::int64_t kWaitingTop = kBarTop + kBarHeight + kGap;
constexpr std::int64_t kButtonTop = kWaitingTop + kTextHeight + kGap;

constexpr TwipsRect kClient{0, 0, kWidth, kButtonTop + kButtonHeight + kMargin};
constexpr ControlPlace kTextPlace{kRunProgressText.objectName,
                                  {kMargin, kMargin, kInnerWidth, kTextHeight}};
constexpr ControlPlace kBarPlace{"ProgressBar", {kMargin, kBarTop, kInnerWidth, kBarHeight}};
constexpr ControlPlace kWaitingPlace{kRunProgressWaiting.objectName,
                                     {kMargin, kWaitingTop, kInnerWidth, kTextHeight}};
constexpr ControlPlace kCancelPlace{
    kRunProgressCancel.objectName,
    {kWidth - kMargin - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight}};

// The bar counts in keys; a run of more keys than an int holds is not met.
WPARAM BarValue(std::size_t count) {
    return static_cast<WPARAM>(
        std::min<std::size_t>(count, static_cast<std::size_t>(std::numeric_limits<int>::max())));
}

}  // namespace

RunProgressWindow::RunProgressWindow(HWND owner, RunProgressModel& model) : model_(model) {
    if (!CreateFrame(kClassName, kRunProgressWindow.caption, kClient, owner))
        return;
    AddControl(kTextPlace, WC_STATICW, SS_LEFT | SS_NOPREFIX);
    AddControl(kBarPlace, PROGRESS_CLASSW, 0);
    // One line: a long path loses its middle rather than its file name.
    AddControl(kWaitingPlace, WC_STATICW, SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS);
    AddControl(kCancelPlace, WC_BUTTONW, WS_TABSTOP | BS_DEFPUSHBUTTON, kRunProgressCancel.caption);
    model_.SetView(this);
}

// Centred over the main window, and kept on its screen, so that Cancel is
// within reach wherever the main window is.
void RunProgressWindow::Show() {
    if (IsWindowVisible(Handle()) != FALSE)
        return;
    KeepOnScreen();
    ShowWindow(Handle(), SW_SHOW);
}

void RunProgressWindow::Hide() {
    ShowWindow(Handle(), SW_HIDE);
}

void RunProgressWindow::OnCommand(int id, int code) {
    if (id == ControlId(kRunProgressCancel.objectName) && code == BN_CLICKED)
        model_.Cancel();
    else
        DialogWindow::OnCommand(id, code);
}

void RunProgressWindow::ShowCount(const std::string& text, std::size_t done, std::size_t total) {
    SetWindowTextUtf8(Control(kRunProgressText.objectName), text);
    const HWND bar = Control("ProgressBar");
    SendMessageW(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(BarValue(total)));
    SendMessageW(bar, PBM_SETPOS, BarValue(done), 0);
}

void RunProgressWindow::ShowWaiting(const std::string& text) {
    SetWindowTextUtf8(Control(kRunProgressWaiting.objectName), text);
}

void RunProgressWindow::ShowCancel(std::string_view caption, bool enabled) {
    const HWND cancel = Control(kRunProgressCancel.objectName);
    SetWindowTextUtf8(cancel, caption);
    EnableWindow(cancel, enabled ? TRUE : FALSE);
}

}  // namespace bladeway::win32

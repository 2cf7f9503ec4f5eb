#include "win32/views/run_progress_window.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "core/os/tool_command.h"
#include "core/presentation/pixel_rect.h"
#include "core/presentation/unbroken_text.h"
#include "win32/kit/text_layout.h"
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
constexpr std::int64_t kLeastInnerWidth = kRunProgressMinimumWidth - 2 * kMargin;

// The rows for a text this wide and a waiting line this tall (twips).
struct ProgressPlaces {
    TwipsRect client;
    ControlPlace text, bar, waiting, cancel;
};

constexpr ProgressPlaces PlacesFor(std::int64_t innerWidth, std::int64_t waitingHeight) {
    const std::int64_t width = innerWidth + 2 * kMargin;
    const std::int64_t barTop = kMargin + kTextHeight + kGap;
    const std::int64_t waitingTop = barTop + kBarHeight + kGap;
    const std::int64_t buttonTop = waitingTop + waitingHeight + kGap;
    return {
        {0, 0, width, buttonTop + kButtonHeight + kMargin},
        {kRunProgressText.objectName, {kMargin, kMargin, innerWidth, kTextHeight}},
        {"ProgressBar", {kMargin, barTop, innerWidth, kBarHeight}},
        {kRunProgressWaiting.objectName, {kMargin, waitingTop, innerWidth, waitingHeight}},
        {kRunProgressCancel.objectName,
         {width - kMargin - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight}},
    };
}

constexpr ProgressPlaces kFirstPlaces = PlacesFor(kLeastInnerWidth, kTextHeight);

// The bar counts in keys; a run of more keys than an int holds is not met.
WPARAM BarValue(std::size_t count) {
    return static_cast<WPARAM>(
        std::min<std::size_t>(count, static_cast<std::size_t>(std::numeric_limits<int>::max())));
}

}  // namespace

RunProgressWindow::RunProgressWindow(HWND owner, RunProgressModel& model) : model_(model) {
    if (!CreateFrame(kClassName, kRunProgressWindow.caption, kFirstPlaces.client, owner))
        return;
    AddControl(kFirstPlaces.text, WC_STATICW, SS_LEFT | SS_NOPREFIX);
    AddControl(kFirstPlaces.bar, PROGRESS_CLASSW, 0);
    // Its lines are made here and never wrapped (Wine splits a path at "\").
    AddControl(kFirstPlaces.waiting, WC_STATICW, SS_LEFTNOWORDWRAP | SS_NOPREFIX);
    AddControl(kFirstPlaces.cancel, WC_BUTTONW, WS_TABSTOP | BS_DEFPUSHBUTTON,
               kRunProgressCancel.caption);
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

// The line's path begins a line of its own, kept whole: the window widens,
// up to its screen, to the longest line and grows to the lines' height; it
// never narrows during a run, so that it does not jump when a wait ends.
void RunProgressWindow::ShowWaiting(const std::string& text) {
    const HWND line = Control(kRunProgressWaiting.objectName);
    SetWindowTextUtf8(line, SpansOnOwnLines(text, ToolCommand()));
    const std::int64_t screenWidth = TwipsOf(static_cast<int>(WorkArea().width)) - 4 * kMargin;
    innerWidth_ = std::max({kLeastInnerWidth, innerWidth_,
                            std::min(TwipsOf(LongestLineWidth(line) + 1), screenWidth)});
    const std::int64_t height = std::max(
        kTextHeight, TwipsOf(WrappedTextHeight(line, PixelsOf({0, 0, innerWidth_, 0}).right)));
    const ProgressPlaces places = PlacesFor(innerWidth_, height);
    for (const ControlPlace& control : {places.text, places.bar, places.waiting, places.cancel})
        PlaceControl(control.objectName, control.place);
    SetClientSize(places.client);
    KeepOnScreen();
}

void RunProgressWindow::ShowCancel(std::string_view caption, bool enabled) {
    const HWND cancel = Control(kRunProgressCancel.objectName);
    SetWindowTextUtf8(cancel, caption);
    EnableWindow(cancel, enabled ? TRUE : FALSE);
}

}  // namespace bladeway::win32

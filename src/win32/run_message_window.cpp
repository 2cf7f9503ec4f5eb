#include "win32/run_message_window.h"

#include <algorithm>
#include <string>
#include <utility>

#include "win32/dpi.h"
#include "win32/gdi.h"
#include "win32/sheet_text.h"

namespace bladeway::win32 {
namespace {

constexpr const wchar_t* kClassName = L"BladewayRunMessage";
// The box's own controls besides the model's Stop Processing: the warning
// icon, the text and the system's OK, as every message box has them.
constexpr std::string_view kIconName = "Icon";
constexpr std::string_view kTextName = "Text";
constexpr std::string_view kOkName = "OK";
constexpr std::string_view kOkCaption = "OK";

// A message box's usual measures, in twips.
constexpr std::int64_t kMargin = 240;
constexpr std::int64_t kGap = 120;
constexpr std::int64_t kMostTextWidth = 7200;
constexpr std::int64_t kButtonWidth = 1125;
constexpr std::int64_t kButtonHeight = 345;
constexpr std::int64_t kButtonPadding = 360;

// The extent of `text` in `font`, wrapped at `width` pixels.
SIZE TextExtent(HFONT font, const std::wstring& text, int width, UINT format) {
    const WindowDc screen(nullptr);
    const SelectedObject selected(screen.Dc(), font);
    RECT extent{0, 0, width, 0};
    DrawTextW(screen.Dc(), text.c_str(), static_cast<int>(text.size()), &extent,
              format | DT_CALCRECT | DT_NOPREFIX);
    return SIZE{extent.right - extent.left, extent.bottom - extent.top};
}

}  // namespace

RunMessageWindow::RunMessageWindow(HWND owner, std::string_view message,
                                   std::function<void(bool stop)> answered)
    : model_(std::move(answered)) {
    // Sized to its controls once the font is known.
    if (!CreateFrame(kClassName, kRunMessageCaption, TwipsRect{0, 0, kMostTextWidth, 1440}, owner))
        return;
    const std::wstring text = WideFromCellBytes(message);
    const auto twips = [this](int pixels) { return TwipsOf(pixels); };

    const std::int64_t icon = twips(GetSystemMetrics(SM_CXICON));
    const SIZE textSize = TextExtent(MessageFont(), text, TwipsToPixels(kMostTextWidth, Dpi()),
                                     DT_WORDBREAK | DT_EXPANDTABS);
    const std::int64_t textLeft = kMargin + icon + kMargin;
    const std::int64_t textWidth = twips(textSize.cx) + kGap;
    const std::int64_t bodyHeight = std::max(icon, twips(textSize.cy));

    const auto buttonWidth = [&](std::string_view caption) {
        const std::wstring wide(caption.begin(), caption.end());
        return std::max(kButtonWidth, twips(TextExtent(MessageFont(), wide, 0, DT_SINGLELINE).cx) +
                                          kButtonPadding);
    };
    const std::int64_t okWidth = buttonWidth(kOkCaption);
    const std::int64_t stopWidth = buttonWidth(kRunMessageStop.caption);
    const std::int64_t buttonsWidth = okWidth + kGap + stopWidth;
    const std::int64_t width =
        std::max(textLeft + textWidth + kMargin, kMargin + buttonsWidth + kMargin);
    const std::int64_t buttonTop = kMargin + bodyHeight + kMargin;

    const HWND iconControl =
        AddControl({kIconName, {kMargin, kMargin, icon, icon}}, WC_STATICW, SS_ICON);
    SendMessageW(iconControl, STM_SETICON,
                 reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_WARNING)), 0);
    AddControl({kTextName, {textLeft, kMargin, textWidth, bodyHeight}}, WC_STATICW,
               SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL);
    SetWindowTextW(Control(kTextName), text.c_str());
    const std::int64_t okLeft = width - kMargin - buttonsWidth;
    const auto style = [](RunMessageButton button) -> DWORD {
        return WS_TABSTOP | (button == kRunMessageDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    };
    AddControl({kOkName, {okLeft, buttonTop, okWidth, kButtonHeight}}, WC_BUTTONW,
               style(RunMessageButton::kOk), kOkCaption);
    AddControl({kRunMessageStop.objectName,
                {okLeft + okWidth + kGap, buttonTop, stopWidth, kButtonHeight}},
               WC_BUTTONW, style(RunMessageButton::kStopProcessing), kRunMessageStop.caption);
    Place(TwipsRect{0, 0, width, buttonTop + kButtonHeight + kMargin});

    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    SetFocus(GetDlgItem(Handle(), ButtonId(kRunMessageDefault)));
}

int RunMessageWindow::ButtonId(RunMessageButton button) const {
    return ControlId(button == RunMessageButton::kOk ? kOkName : kRunMessageStop.objectName);
}

void RunMessageWindow::Place(const TwipsRect& client) {
    RECT outer = PixelsOf(client);
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE)));
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    SetWindowPos(Handle(), nullptr, 0, 0, width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT progress{};
    if (Owner() == nullptr || IsWindowVisible(Owner()) == FALSE ||
        GetWindowRect(Owner(), &progress) == FALSE)
        return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(Owner(), MONITOR_DEFAULTTONEAREST), &monitor) == FALSE)
        return;
    const RECT& work = monitor.rcWork;
    const PixelPoint place = RunMessagePlace(
        PixelRect{progress.left, progress.top, progress.right - progress.left,
                  progress.bottom - progress.top},
        width, height,
        PixelRect{work.left, work.top, work.right - work.left, work.bottom - work.top});
    MoveTo(static_cast<int>(place.x), static_cast<int>(place.y));
}

void RunMessageWindow::OnCommand(int id, int code) {
    if (code != BN_CLICKED)
        return;
    if (id == ButtonId(RunMessageButton::kOk))
        Answer(RunMessageButton::kOk);
    else if (id == ButtonId(RunMessageButton::kStopProcessing))
        Answer(RunMessageButton::kStopProcessing);
    else if (id == IDCANCEL)
        OnClose();
}

// Escape and the close box.
void RunMessageWindow::OnClose() {
    Answer(kRunMessageEscape);
}

void RunMessageWindow::Answer(RunMessageButton button) {
    model_.Answer(button);
    // The object stays until its owner lets it go; only the window goes.
    DestroyWindow(Handle());
}

LRESULT RunMessageWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // Enter presses the model's default button.
    if (message == DM_GETDEFID)
        return MAKELRESULT(ButtonId(kRunMessageDefault), DC_HASDEFID);
    return DialogWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace bladeway::win32

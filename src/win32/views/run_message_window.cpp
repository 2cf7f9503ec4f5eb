#include "win32/views/run_message_window.h"

#include <array>
#include <utility>

#include "win32/kit/sheet_text.h"

namespace bladeway::win32 {
namespace {

constexpr const wchar_t* kClassName = L"BladewayRunMessage";
// The system's OK, as every message box has it, then the model's Stop Processing.
constexpr ControlText kOk{"OK", "OK"};
constexpr std::array<ControlText, 2> kButtons{kOk, kRunMessageStop};

std::string_view NameOf(RunMessageButton button) {
    return button == RunMessageButton::kOk ? kOk.objectName : kRunMessageStop.objectName;
}

}  // namespace

RunMessageWindow::RunMessageWindow(HWND owner, std::string_view message,
                                   std::function<void(bool stop)> answered)
    : model_(std::move(answered)) {
    if (!CreateMessage(kClassName, kRunMessageCaption, owner, IDI_WARNING,
                       WideFromCellBytes(message), kButtons, NameOf(kRunMessageDefault)))
        return;
    PlaceBesideOwner();
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    SetFocus(GetDlgItem(Handle(), IdOf(kRunMessageDefault)));
}

int RunMessageWindow::IdOf(RunMessageButton button) const {
    return ButtonId(NameOf(button));
}

void RunMessageWindow::PlaceBesideOwner() {
    RECT progress{};
    if (Owner() == nullptr || IsWindowVisible(Owner()) == FALSE ||
        GetWindowRect(Owner(), &progress) == FALSE)
        return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(Owner(), MONITOR_DEFAULTTONEAREST), &monitor) == FALSE)
        return;
    const RECT& work = monitor.rcWork;
    const PixelRect outer = OuterRect();
    const PixelPoint place = RunMessagePlace(
        PixelRect{progress.left, progress.top, progress.right - progress.left,
                  progress.bottom - progress.top},
        outer.width, outer.height,
        PixelRect{work.left, work.top, work.right - work.left, work.bottom - work.top});
    MoveTo(static_cast<int>(place.x), static_cast<int>(place.y));
}

void RunMessageWindow::OnCommand(int id, int code) {
    if (code != BN_CLICKED)
        return;
    if (id == IdOf(RunMessageButton::kOk))
        Answer(RunMessageButton::kOk);
    else if (id == IdOf(RunMessageButton::kStopProcessing))
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

}  // namespace bladeway::win32

#include "win32/kit/dialog_window.h"

#include <algorithm>

#include "win32/kit/dpi.h"
#include "win32/kit/wide_text.h"

namespace bladeway::win32 {

DialogWindow::~DialogWindow() {
    if (running_ && owner_ != nullptr)
        EnableWindow(owner_, TRUE);
    Destroy();
}

namespace {

PixelRect PixelRectOf(const RECT& rect) {
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

bool DialogWindow::CreateFrame(const wchar_t* className, std::string_view caption,
                               const TwipsRect& client, HWND owner, DWORD style, DWORD exStyle,
                               Stacking stacking) {
    owner_ = owner;
    RegisterClassOnce(className, 0, LoadCursorW(nullptr, IDC_ARROW), nullptr,
                      GetSysColorBrush(COLOR_BTNFACE));
    const std::wstring title = Wide(caption);
    if (Create(className, exStyle | WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME, style, title.c_str(),
               RECT{0, 0, 0, 0}, stacking == Stacking::kAboveOwner ? owner : nullptr, 0) == nullptr)
        return false;
    dpi_ = owner != nullptr ? DpiOf(owner) : DpiOf(Handle());
    UpdateFont();
    SizeForClient(client, style, exStyle | WS_EX_DLGMODALFRAME);
    const RECT outer = [this] {
        RECT rect{};
        GetWindowRect(Handle(), &rect);
        return rect;
    }();
    RECT ownerRect{};
    if (stacking == Stacking::kBesideOwner && owner != nullptr &&
        GetWindowRect(owner, &ownerRect) != FALSE) {
        // Never narrower: its row of buttons needs the width.
        const int width = outer.right - outer.left;
        const int height = outer.bottom - outer.top;
        SetOuterRect(
            BesidePlace(PixelRectOf(ownerRect), width, height, width, height / 2, WorkArea()));
    } else {
        CentreOverOwner();
    }
    return true;
}

bool DialogWindow::CreateMainFrame(const wchar_t* className, std::string_view caption,
                                   const TwipsRect& client, HICON icon) {
    constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RegisterClassOnce(className, 0, LoadCursorW(nullptr, IDC_ARROW), icon,
                      GetSysColorBrush(COLOR_BTNFACE));
    const std::wstring title = Wide(caption);
    if (Create(className, 0, kStyle, title.c_str(),
               RECT{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT}, nullptr,
               0) == nullptr)
        return false;
    dpi_ = DpiOf(Handle());
    UpdateFont();
    SizeForClient(client, kStyle, 0);
    return true;
}

void DialogWindow::SizeForClient(const TwipsRect& client, DWORD style, DWORD exStyle) {
    RECT outer = PixelsOf(client);
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    SetWindowPos(Handle(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DialogWindow::SetClientSize(const TwipsRect& client) {
    SizeForClient(client, static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE)),
                  static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE)));
}

void DialogWindow::CentreOverOwner() {
    RECT over{};
    const PixelRect on =
        owner_ != nullptr && GetWindowRect(owner_, &over) != FALSE ? PixelRectOf(over) : WorkArea();
    SetOuterRect(FitOnScreen(CentredOn(OuterRect(), on), WorkArea()));
}

void DialogWindow::KeepOnScreen() {
    SetOuterRect(FitOnScreen(OuterRect(), WorkArea()));
}

PixelRect DialogWindow::OuterRect() const {
    RECT outer{};
    GetWindowRect(Handle(), &outer);
    return PixelRectOf(outer);
}

PixelRect DialogWindow::WorkArea() const {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(
        MonitorFromWindow(owner_ != nullptr ? owner_ : Handle(), MONITOR_DEFAULTTOPRIMARY),
        &monitor);
    return PixelRectOf(monitor.rcWork);
}

void DialogWindow::SetOuterRect(const PixelRect& place) {
    SetWindowPos(Handle(), nullptr, static_cast<int>(place.left), static_cast<int>(place.top),
                 static_cast<int>(place.width), static_cast<int>(place.height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND DialogWindow::AddControl(const ControlPlace& control, const wchar_t* windowClass, DWORD style,
                              std::string_view caption, DWORD exStyle) {
    const RECT place = PixelsOf(control.place);
    const std::wstring text = Wide(caption);
    const int id = kFirstDialogControlId + static_cast<int>(controls_.size());
    const HWND hwnd = CreateWindowExW(
        exStyle, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, place.left, place.top,
        place.right - place.left, place.bottom - place.top, Handle(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    controls_.push_back(Placed{control.objectName, control.place, hwnd});
    return hwnd;
}

HWND DialogWindow::AddControl(const ControlPlace& control,
                              const std::function<HWND(const RECT& place, int id)>& make) {
    const int id = kFirstDialogControlId + static_cast<int>(controls_.size());
    const HWND hwnd = make(PixelsOf(control.place), id);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    controls_.push_back(Placed{control.objectName, control.place, hwnd});
    return hwnd;
}

void DialogWindow::PlaceControl(std::string_view objectName, const TwipsRect& place) {
    const auto found = std::find_if(controls_.begin(), controls_.end(),
                                    [&](const Placed& c) { return c.name == objectName; });
    if (found == controls_.end())
        return;
    found->place = place;
    const RECT pixels = PixelsOf(place);
    SetWindowPos(found->hwnd, nullptr, pixels.left, pixels.top, pixels.right - pixels.left,
                 pixels.bottom - pixels.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND DialogWindow::Control(std::string_view objectName) const {
    const auto found = std::find_if(controls_.begin(), controls_.end(),
                                    [&](const Placed& c) { return c.name == objectName; });
    return found != controls_.end() ? found->hwnd : nullptr;
}

int DialogWindow::ControlId(std::string_view objectName) const {
    const HWND hwnd = Control(objectName);
    return hwnd != nullptr ? GetDlgCtrlID(hwnd) : 0;
}

void DialogWindow::MoveTo(int left, int top) {
    SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

OuterPosition DialogWindow::OuterPositionNow() const {
    RECT outer{};
    GetWindowRect(Handle(), &outer);
    return OuterPosition{.top = TwipsOf(outer.top), .left = TwipsOf(outer.left)};
}

RECT DialogWindow::PixelsOf(const TwipsRect& place) const {
    return PixelRectOf(place, dpi_);
}

std::int64_t DialogWindow::TwipsOf(int pixels) const {
    return PixelsToTwips(pixels, dpi_);
}

int DialogWindow::RunModal() {
    running_ = true;
    ended_ = false;
    result_ = IDCANCEL;
    if (owner_ != nullptr)
        EnableWindow(owner_, FALSE);
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    MSG message{};
    while (!ended_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // The program is ending: the loop outside must see the quit too.
            if (got == 0)
                PostQuitMessage(static_cast<int>(message.wParam));
            result_ = IDCANCEL;
            break;
        }
        const bool copyKey = message.message == WM_KEYDOWN && message.wParam == 'C' &&
                             GetKeyState(VK_CONTROL) < 0 &&
                             (message.hwnd == Handle() || IsChild(Handle(), message.hwnd));
        if (copyKey && OnCopyKey())
            continue;
        if (IsDialogMessageW(Handle(), &message) != FALSE)
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    running_ = false;
    // The owner is enabled before the window hides, so that it, not some
    // other program, becomes active.
    if (owner_ != nullptr)
        EnableWindow(owner_, TRUE);
    ShowWindow(Handle(), SW_HIDE);
    return result_;
}

void DialogWindow::EndModal(int result) {
    result_ = result;
    ended_ = true;
    if (!running_)
        ShowWindow(Handle(), SW_HIDE);
    // Wakes the loop, which may be waiting for a message.
    PostMessageW(Handle(), WM_NULL, 0, 0);
}

void DialogWindow::OnCommand(int id, int /*code*/) {
    if (id == IDCANCEL)
        OnClose();
}

void DialogWindow::OnClose() {
    EndModal(IDCANCEL);
}

void DialogWindow::RestoreFocus() {
    HWND focus = focus_ != nullptr ? focus_ : GetNextDlgTabItem(Handle(), nullptr, FALSE);
    // Without a control to take it the window keeps the keys itself.
    if (focus == nullptr || IsWindow(focus) == FALSE || IsWindowEnabled(focus) == FALSE)
        focus = Handle();
    if (GetFocus() == focus)
        return;
    restoringFocus_ = true;
    SetFocus(focus);
    restoringFocus_ = false;
}

void DialogWindow::UpdateFont() {
    const LOGFONTW font = MessageFontAt(dpi_);
    font_.Reset(CreateFontIndirectW(&font));
}

void DialogWindow::PlaceControls() {
    for (const Placed& control : controls_) {
        const RECT place = PixelsOf(control.place);
        SetWindowPos(control.hwnd, nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
    }
}

LRESULT DialogWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case DM_GETDEFID:
            // Enter presses the push button that has the focus, as in a dialog
            // box, whose manager makes the focused button the default. The
            // focus given back by RestoreFocus does not pass through that.
            if (const HWND focus = GetFocus(); focus != nullptr &&
                                               IsChild(Handle(), focus) != FALSE &&
                                               (SendMessageW(focus, WM_GETDLGCODE, 0, 0) &
                                                (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0)
                return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
            break;
        case WM_ACTIVATE:
            // As a dialog box does: the focus goes back where it was.
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus != nullptr && IsChild(Handle(), focus) != FALSE)
                    focus_ = focus;
            } else if (HIWORD(wParam) == 0) {
                RestoreFocus();
            }
            return 0;
        case WM_DPICHANGED: {
            dpi_ = HIWORD(wParam);
            // The old font goes only once the controls have the new one.
            const Font previous = std::move(font_);
            UpdateFont();
            TakeSuggestedPlace(Handle(), lParam);
            PlaceControls();
            OnDpiChanged();
            return 0;
        }
        default:
            break;
    }
    return Default(message, wParam, lParam);
}

}  // namespace bladeway::win32

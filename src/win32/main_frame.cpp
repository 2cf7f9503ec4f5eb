#include "win32/main_frame.h"

#include <algorithm>
#include <utility>

#include "core/os/windows/win32_text.h"
#include "core/presentation/main_window_model.h"
#include "core/presentation/program_title.h"
#include "win32/dpi.h"

namespace bladeway::win32 {
namespace {

constexpr const wchar_t* kClassName = L"BladewayMainWindow";
constexpr int kIconResource = 1;

std::wstring Wide(std::string_view utf8) {
    return WideFromUtf8(utf8).value_or(std::wstring());
}

// The standard control and caption for each entry of the control table;
// the grid is made apart.
struct StandardControl {
    std::string_view name;
    const wchar_t* windowClass;
    DWORD style;
    std::string_view caption;
};

constexpr StandardControl kStandardControls[] = {
    {"File1", WC_LISTBOXW, WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, ""},
    {"Proc", WC_BUTTONW, BS_PUSHBUTTON, kProcessCaption},
    {"Prf", WC_BUTTONW, BS_PUSHBUTTON, kPreferencesCaption},
    {"Ext", WC_BUTTONW, BS_PUSHBUTTON, kExitCaption},
    {"BtnVars", WC_BUTTONW, BS_PUSHBUTTON, kVarsCaption},
};

}  // namespace

MainFrame::MainFrame() {
    RegisterClassOnce(kClassName, 0, LoadCursorW(nullptr, IDC_ARROW),
                      LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResource)));
    const std::wstring title = Wide(kProgramTitle);
    Create(kClassName, 0, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, title.c_str(),
           RECT{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT}, nullptr, 0);
    if (Handle() == nullptr)
        return;
    dpi_ = DpiOf(Handle());
    // The designed client area, at this DPI.
    RECT outer = PixelsOf(kMainWindowClient);
    AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0);
    SetWindowPos(Handle(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CreateControls();
}

MainFrame::~MainFrame() {
    grid_.reset();
    Destroy();
}

RECT MainFrame::PixelsOf(const TwipsRect& place) const {
    const int left = TwipsToPixels(place.left, dpi_);
    const int top = TwipsToPixels(place.top, dpi_);
    return RECT{left, top, left + TwipsToPixels(place.width, dpi_),
                top + TwipsToPixels(place.height, dpi_)};
}

void MainFrame::CreateControls() {
    UpdateFont();
    int id = 100;
    for (const StandardControl& control : kStandardControls) {
        const RECT place = PixelsOf(MainWindowControlPlace(control.name));
        const std::wstring caption = Wide(control.caption);
        const HWND hwnd =
            CreateWindowExW(0, control.windowClass, caption.c_str(),
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | control.style, place.left,
                            place.top, place.right - place.left, place.bottom - place.top, Handle(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)),
                            GetModuleHandleW(nullptr), nullptr);
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
        controls_.emplace_back(control.name, hwnd);
    }
    grid_ = std::make_unique<KeyGrid>(Handle(), PixelsOf(MainWindowControlPlace("KeyData")), id);
}

void MainFrame::PlaceControls() {
    for (const auto& [name, hwnd] : controls_) {
        const RECT place = PixelsOf(MainWindowControlPlace(name));
        SetWindowPos(hwnd, nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
    }
    if (grid_) {
        const RECT place = PixelsOf(MainWindowControlPlace("KeyData"));
        SetWindowPos(grid_->Handle(), nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void MainFrame::UpdateFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW font = metrics.lfMessageFont;
    const WindowDc screen(nullptr);
    font.lfHeight =
        MulDiv(font.lfHeight, dpi_, std::max(GetDeviceCaps(screen.Dc(), LOGPIXELSY), 1));
    font_.Reset(CreateFontIndirectW(&font));
}

LRESULT MainFrame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DPICHANGED: {
            // The system suggests the place at the new DPI; the controls follow.
            dpi_ = HIWORD(wParam);
            // The old font goes only once the controls have the new one.
            const Font previous = std::move(font_);
            UpdateFont();
            const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(Handle(), nullptr, suggested.left, suggested.top,
                         suggested.right - suggested.left, suggested.bottom - suggested.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            PlaceControls();
            // Systems before per-monitor v2 send the grid no DPI change of its own.
            if (grid_)
                grid_->ApplyDpi(dpi_);
            return 0;
        }
        case WM_SETFOCUS:
            if (grid_)
                SetFocus(grid_->Handle());
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return Default(message, wParam, lParam);
}

}  // namespace bladeway::win32
